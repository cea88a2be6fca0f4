#pragma once

#include "fields/field_store.h"
#include "query/scope.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Items side by side as text, for the Compare window, a screen reader and the
// clipboard, and the spoken description of a results row.
namespace query {

struct ComparedItem
{
    QString name;
    QString database;
    // The stored description, "|" standing for each line break.
    QString description;
    QVector<fields::ItemField> fields;
};

ComparedItem comparedItem(const Scope &scope, const Hit &hit);

// How a number differs from the first item's, sign first: "+2", "-1", "=".
QString differenceText(double value, double first);

// One line per field any of the items has (in the first item's order, then
// the others'), each item's value after its name and, for numbers, its
// difference from the first item's ("+2", "-1", "="):
//     hitroll: ring of fire 3, copper band 1, -2
// then "name: ...", "database: ring of fire Emberfall, ..." and a line
// "description of NAME: ..." for each item (its lines joined by " / ").
// Lines end with "\n". Meant for 2 to 4 items; any number works.
QString compareText(const QVector<ComparedItem> &items);

// "ring of fire, Emberfall, level 18, slot finger, hitroll 2": the name, the
// database, then each of `shown` the item has (all its fields when `shown` is empty).
QString rowDescription(const ComparedItem &item, const QStringList &shown = {});

} // namespace query
