#pragma once

#include "app/record_index.h"
#include "fields/field_store.h"
#include "fields/registry.h"
#include "fields/rules.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The databases a query, a score or a ranking looks at. See
// fields/field_store.h for how fields/ and query/ are used together.
namespace query {

// One catalogued database as the program object keeps it. The pointers must
// stay valid, and what they point to unchanged, while a call uses them.
struct DatabaseView
{
    QString name;
    const QByteArray *bytes = nullptr;
    const recordindex::Index *index = nullptr;
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
