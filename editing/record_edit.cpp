#include "editing/record_edit.h"

#include "storage/record_index.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

namespace editing {
namespace {

// The pieces joined in one buffer: a database is copied once per change.
QByteArray joined(std::initializer_list<QByteArrayView> pieces)
{
    qsizetype size = 0;
    for (const QByteArrayView piece : pieces)
        size += piece.size();
    QByteArray out;
    out.reserve(size);
    for (const QByteArrayView piece : pieces)
        out.append(piece);
    return out;
}

QString textAt(const QByteArray &bytes, const storage::Span &span)
{
    return storage::decodeWindows1252(QByteArray::fromRawData(bytes.constData() + span.begin, span.length));
}

// Where the expected record lies, from its name to after its description's
// line end, and the index of the bytes; nothing when it is not there.
std::optional<storage::Span> locate(const QByteArray &bytes, const QString &fileName, int record,
                                    const storage::Item &expected, storage::RecordIndex *index)
{
    *index = storage::wholeRecords(bytes, fileName);
    if (record < 0 || record >= index->records.size())
        return std::nullopt;
    const storage::Record &found = index->records[record];
    if (textAt(bytes, found.name) != expected.name || textAt(bytes, found.description) != expected.description)
        return std::nullopt;
    const qsizetype end = record + 1 < index->records.size() ? index->records[record + 1].name.begin : bytes.size();
    return storage::Span{found.name.begin, end - found.name.begin};
}

// The records after `record` moved by `delta` bytes.
void shiftAfter(storage::RecordIndex &index, int record, qsizetype delta)
{
    for (qsizetype r = record + 1; r < index.records.size(); ++r) {
        index.records[r].name.begin += delta;
        index.records[r].description.begin += delta;
    }
}

// The length of a line's text without its line end.
qsizetype textLength(QByteArrayView line)
{
    if (line.endsWith("\r\n"))
        return line.size() - 2;
    return line.endsWith('\r') ? line.size() - 1 : line.size();
}

} // namespace

std::optional<Edited> withRecordReplaced(const QByteArray &bytes, QString fileName, int record,
                                         const storage::Item &expected, const std::optional<QString> &name,
                                         const std::optional<QString> &storedDescription)
{
    Edited edited;
    const std::optional<storage::Span> extent = locate(bytes, fileName, record, expected, &edited.index);
    if (!extent)
        return std::nullopt;
    const storage::Record found = edited.index.records[record];
    const qsizetype end = extent->begin + extent->length;
    const QByteArrayView all(bytes);
    // Each line as it was read, with its own line end, unless it is written anew.
    const QByteArray newName = name ? storage::encodeLines({*name}) : QByteArray();
    const QByteArray newDescription = storedDescription ? storage::encodeLines({*storedDescription}) : QByteArray();
    const QByteArrayView nameLine =
        name ? QByteArrayView(newName) : all.sliced(found.name.begin, found.description.begin - found.name.begin);
    const QByteArrayView descriptionLine =
        storedDescription ? QByteArrayView(newDescription)
                          : all.sliced(found.description.begin, end - found.description.begin);
    edited.bytes = joined({all.first(extent->begin), nameLine, descriptionLine, all.sliced(end)});
    storage::Record &changed = edited.index.records[record];
    changed.name.length = textLength(nameLine);
    changed.description = {extent->begin + nameLine.size(), textLength(descriptionLine)};
    shiftAfter(edited.index, record, nameLine.size() + descriptionLine.size() - extent->length);
    return edited;
}

std::optional<Edited> withRecordRemoved(const QByteArray &bytes, QString fileName, int record,
                                        const storage::Item &expected)
{
    Edited edited;
    const std::optional<storage::Span> extent = locate(bytes, fileName, record, expected, &edited.index);
    if (!extent)
        return std::nullopt;
    const QByteArrayView all(bytes);
    edited.bytes = joined({all.first(extent->begin), all.sliced(extent->begin + extent->length)});
    shiftAfter(edited.index, record, -extent->length);
    edited.index.records.removeAt(record);
    return edited;
}

Edited withItemsAppended(const QByteArray &bytes, const QVector<storage::Item> &items)
{
    return withRecordsAppended(bytes, storage::encodeItems(items));
}

Edited withRecordsAppended(const QByteArray &bytes, const QByteArray &encoded)
{
    // A last line without its line end would otherwise swallow the first new name.
    const bool open = !encoded.isEmpty() && !bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith("\r\n");
    Edited edited{joined({bytes, open ? QByteArrayView("\r\n") : QByteArrayView(), encoded}), {}};
    // Only the new items are indexed anew, unless the old bytes ended inside an item.
    edited.index = storage::indexRecords(bytes);
    if (edited.index.danglingName) {
        edited.index = storage::indexRecords(edited.bytes);
        return edited;
    }
    const qsizetype offset = edited.bytes.size() - encoded.size();
    for (storage::Record record : storage::indexRecords(encoded).records) {
        record.name.begin += offset;
        record.description.begin += offset;
        edited.index.records.append(record);
    }
    return edited;
}

} // namespace editing
