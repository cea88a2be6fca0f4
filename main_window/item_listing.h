#pragma once

#include "app/failure.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// What a listing or a search of a database file puts into the main window's
// item table. Entry p shows names[p] and came from record records[p] of the
// file (records count from 0); descs[p] is its stored-form description.
struct ItemTableFill
{
    QStringList names;
    QStringList descs;
    QVector<int> records;
    // Set when reading stopped early. The entries read so far stay; a listing
    // that failed inside an item has already added that item's name, so names
    // (and records) may then hold one entry more than descs.
    std::optional<Failure> failure;
};

// The number of entries the main window's item table holds.
inline constexpr int kItemTableSlots = 10000;

// Every item of a database file, in file order. A missing file, an incomplete
// last item or a 10001st item end the listing with a failure (53, 62, 9).
ItemTableFill listItems(const QString &path);

enum class SearchIn { Names, Descriptions, Both };

// The items whose name and/or stored description contain the text, ignoring
// case, in file order. A 10001st hit ends the search with failure 9.
ItemTableFill searchItems(const QString &path, const QString &text, SearchIn where);

// True when text contains what, both taken in lower case. An empty "what" is
// contained in every non-empty text and in no empty text.
bool containsIgnoringCase(const QString &text, const QString &what);
