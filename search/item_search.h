#pragma once

#include "storage/record_index.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace search {

// Finding the items of a database whose name and/or stored description contain
// a text, ignoring case. A text contains the search text when, both taken in
// lower case, the search text occurs in it; an empty search text is contained
// in every non-empty text and in no empty text. "|" counts like any character.
enum class SearchIn { Names, Descriptions, Both };

// The numbers (from 0, in file order) of the indexed records of `bytes` that
// are hits.
QVector<int> findRecords(const QByteArray &bytes, const storage::RecordIndex &index, const QString &text,
                         SearchIn where);

// True when text contains what, both taken in lower case.
bool containsIgnoringCase(const QString &text, const QString &what);

} // namespace search
