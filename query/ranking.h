#pragma once

#include "query/scope.h"

#include <QString>
#include <QVector>

#include <vector>

// Ordering the hits of a query: the results table's sort keys and the best
// items of each slot. See fields/field_store.h for the whole picture.
namespace query {

struct SortKey
{
    enum class By { Field, Name, Database, Score };
    By by = By::Name;
    // By::Field: the field's own name.
    QString field;
    bool descending = false;
};

// The order of the hits for a key, as indices into hits. Numbers sort as
// numbers and words as text; items without the field come last in both
// directions; names compare as the main search folds case; databases in
// scope order. Stable: equal keys keep the order of the hits. `scores` (one
// per hit) is needed for By::Score only.
QVector<int> sortedOrder(const Scope &scope, const QVector<Hit> &hits, const SortKey &key,
                         const std::vector<double> &scores = {});

inline const QString kNoSlot = QStringLiteral("(no slot)");

struct SlotGroup
{
    // The item's words of the slot field joined by a blank (in alphabetical
    // order), or kNoSlot.
    QString slot;
    // Indices into the hits, best first.
    QVector<int> best;
};

// The hits grouped by their slot field, the `perSlot` best of each by score
// (ties: name, then database order, then file order), groups in alphabetical
// order with kNoSlot last.
QVector<SlotGroup> bestPerSlot(const Scope &scope, const QVector<Hit> &hits, const std::vector<double> &scores,
                               int perSlot = 3);

} // namespace query
