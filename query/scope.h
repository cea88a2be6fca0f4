#pragma once

#include "fields/field_store.h"
#include "fields/registry.h"
#include "fields/rules.h"
#include "storage/record_index.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Queries, scores and rankings over the fields of fields/, used together
// ------------------------------------------------------------------------
// For the scope of one database or all of them (a Scope: each database's
// bytes, record index and field store, as the program object keeps them):
//
//     fields::Registry known = query::registryOf(rules, scope);
//     query::QueryParse parsed = query::parseQuery(text, known);   // or parsed.error
//     QVector<query::Hit> hits = query::evaluate(*parsed.query, scope);
//     query::countLine(hits);                                       // "37 items in 4 databases"
//     std::vector<double> scores = query::scoresOf(*query::parseScore(weights, known).score, scope, hits);
//     QVector<int> order = query::sortedOrder(scope, hits, {query::SortKey::By::Field, "level"}, scores);
//     query::bestPerSlot(scope, hits, scores);                      // the best 3 of each slot
//     query::compareText({query::comparedItem(scope, a), query::comparedItem(scope, b)});
//
// A results table shows hits[order[row]]; its cells are
// scope[hit.database].fields->number(field, hit.record) (numbers) or ->text(...),
// its rows are spoken as query::rowDescription(query::comparedItem(scope, hit),
// shownFields). Every function here is plain and reads only what it is given,
// so it may run on any thread while the scope stays unchanged. See
// fields/field_store.h for how the field stores are built.
namespace query {

// One catalogued database as the program object keeps it. The pointers must
// stay valid, and what they point to unchanged, while a call uses them.
struct DatabaseView
{
    QString name;
    const QByteArray *bytes = nullptr;
    const storage::RecordIndex *index = nullptr;
    const fields::FieldStore *fields = nullptr;
};

// One database or all of them, in the catalogue's order.
using Scope = QVector<DatabaseView>;

// An item of the scope: its database (an index into the scope) and its record there.
struct Hit
{
    int database = 0;
    int record = 0;

    bool operator==(const Hit &other) const { return database == other.database && record == other.record; }
};

// The fields known in the scope: the rules' and those found in its stores.
fields::Registry registryOf(const fields::Rules &rules, const Scope &scope);

QString itemName(const Scope &scope, const Hit &hit);
// The stored description, "|" standing for each line break.
QString itemDescription(const Scope &scope, const Hit &hit);

// "37 items in 4 databases", "1 item in 1 database".
QString countLine(const QVector<Hit> &hits);

// Compares two items' names as the main search folds case: <0, 0 or >0.
int compareNames(const Scope &scope, const Hit &a, const Hit &b);

} // namespace query
