#include "search/item_search.h"

#include "search/folded_needle.h"
#include "storage/windows1252.h"

#include <algorithm>

namespace search {
namespace {

using storage::Record;
using storage::Span;

qsizetype endOf(const Span &span)
{
    return span.begin + span.length;
}

// Every record whose searched text is not empty: the empty search text's hits.
QVector<int> findNonEmpty(const storage::RecordIndex &index, SearchIn where)
{
    QVector<int> hits;
    for (int r = 0; r < index.records.size(); ++r) {
        const Record &record = index.records[r];
        const bool nameCounts = where != SearchIn::Descriptions && record.name.length > 0;
        const bool descriptionCounts = where != SearchIn::Names && record.description.length > 0;
        if (nameCounts || descriptionCounts)
            hits.append(r);
    }
    return hits;
}

// One scan over the bytes from the first searched line to the last: each
// occurrence is mapped to its record by a galloping search over the spans, and
// kept only when it lies wholly inside a searched line. After a hit the scan
// goes on at the next record, after a miss at the next searched line.
QVector<int> findOccurrences(const QByteArray &bytes, const storage::RecordIndex &index, const FoldedNeedle &needle,
                             SearchIn where)
{
    QVector<int> hits;
    const QVector<Record> &records = index.records;
    const int count = records.size();
    if (count == 0)
        return hits;
    // The line of a record where its searched text starts.
    const auto firstLine = [where](const Record &record) -> const Span & {
        return where == SearchIn::Descriptions ? record.description : record.name;
    };
    const auto holds = [&needle](const Span &span, qsizetype at) {
        return at >= span.begin && at + needle.size() <= endOf(span);
    };
    const char *hay = bytes.constData();
    const qsizetype end = endOf(where == SearchIn::Names ? records.last().name : records.last().description);
    int r = 0;
    qsizetype from = firstLine(records[0]).begin;
    while (r < count) {
        const qsizetype at = needle.find(hay, from, end);
        if (at < 0)
            break;
        // The record is most often the current one or the next: gallop from it.
        int past = r + 1;
        for (int step = 1; past < count && firstLine(records[past]).begin <= at; step *= 2) {
            r = past;
            past = r + step;
        }
        r = int(std::upper_bound(records.begin() + r, records.begin() + qMin(past, count), at,
                                 [&](qsizetype pos, const Record &record) { return pos < firstLine(record).begin; })
                - records.begin())
            - 1;
        const Record &record = records[r];
        if (holds(firstLine(record), at) || (where == SearchIn::Both && holds(record.description, at))) {
            hits.append(r);
        } else if (where == SearchIn::Both && at < record.description.begin) {
            from = record.description.begin;
            continue;
        }
        if (++r < count)
            from = firstLine(records[r]).begin;
    }
    return hits;
}

} // namespace

bool containsIgnoringCase(const QString &text, const QString &what)
{
    if (text.isEmpty())
        return false;
    return text.toLower().contains(what.toLower());
}

QVector<int> findRecords(const QByteArray &bytes, const storage::RecordIndex &index, const QString &text,
                         SearchIn where)
{
    if (text.isEmpty())
        return findNonEmpty(index, where);
    // The lower case of every Windows-1252 character is one too: a search text
    // whose lower case has no Windows-1252 form is in no item.
    QByteArray folded;
    if (!storage::encodeWindows1252(text.toLower(), &folded))
        return {};
    return findOccurrences(bytes, index, FoldedNeedle(folded), where);
}

} // namespace search
