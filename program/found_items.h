#pragma once

#include "fields/registry.h"
#include "program/field_cache.h"
#include "query/compare.h"
#include "query/ranking.h"
#include "query/scope.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

namespace program {

// What Find Items asks: a query, an optional score, the scope, and whether
// the best of each slot is wanted.
struct FindRequest
{
    QString query;
    QString score;
    bool allDatabases = false;
    bool bestPerSlot = false;
};

// The databases of a scope with their fields, kept alive as long as this is.
struct FieldScope
{
    std::vector<DatabaseFieldsPtr> databases;
    query::Scope scope;
    fields::Registry known;
};

// What a query found, with the scope it looked in (kept alive with it).
struct FoundItems
{
    FieldScope in;
    QVector<query::Hit> hits;
    // The score of each hit; empty without a score.
    std::vector<double> scores;
    // The fields the query and the score name, each once, in their order.
    QStringList queryFields;
    // With bestPerSlot: the best 3 of each slot.
    QVector<query::SlotGroup> groups;
    // "37 items in 4 databases"
    QString countLine;

    // A cell's text: a field's value, or "name", "database", "score".
    QString cell(const query::Hit &hit, const QString &column, int hitIndex) const;
    query::ComparedItem item(const query::Hit &hit) const { return query::comparedItem(in.scope, hit); }
};

// The columns a results table shows for a query: Name, Database, the fields
// the query uses, then level, type and slot; those the player added after
// them; those the player hid left out (never Name).
QStringList shownColumns(const QStringList &queryFields, const QStringList &added, const QStringList &hidden);

// Which columns the player added to and hid from the Find Items table.
struct ColumnChoice
{
    QStringList added;
    QStringList hidden;
};

inline const QString kNameColumn = QStringLiteral("name");
inline const QString kDatabaseColumn = QStringLiteral("database");
inline const QString kScoreColumn = QStringLiteral("score");

} // namespace program
