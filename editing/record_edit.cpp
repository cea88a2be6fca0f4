#include "editing/record_edit.h"

#include "storage/record_index.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <algorithm>
#include <cstring>

namespace editing {
namespace {

// The parts joined in one buffer.
QByteArray joined(const QVector<QByteArrayView> &parts)
{
    qsizetype size = 0;
    for (const QByteArrayView part : parts)
        size += part.size();
    QByteArray out;
    out.reserve(size);
    for (const QByteArrayView part : parts)
        out.append(part);
    return out;
}

QString textAt(const QByteArray &bytes, const storage::Span &span)
{
    return storage::decodeWindows1252(QByteArray::fromRawData(bytes.constData() + span.begin, span.length));
}

// Where the expected record lies, from its name to after its description's
// line end; nothing when it is not there.
std::optional<storage::Span> locate(const QByteArray &bytes, const storage::RecordIndex &index,
                                    const QString &fileName, int record, const storage::Item &expected)
{
    if (index.danglingName)
        throw storage::danglingNameFailure(index, fileName);
    if (record < 0 || record >= index.records.size())
        return std::nullopt;
    const storage::Record &found = index.records[record];
    if (textAt(bytes, found.name) != expected.name || textAt(bytes, found.description) != expected.description)
        return std::nullopt;
    const qsizetype end = record + 1 < index.records.size() ? index.records[record + 1].name.begin : bytes.size();
    return storage::Span{found.name.begin, end - found.name.begin};
}

// The records from `first` on moved by `delta` bytes.
void shiftFrom(storage::RecordIndex &index, qsizetype first, qsizetype delta)
{
    storage::Record *const records = index.records.data();
    for (qsizetype r = first; r < index.records.size(); ++r) {
        records[r].name.begin += delta;
        records[r].description.begin += delta;
    }
}

// A record moved by `delta` bytes.
storage::Record moved(storage::Record record, qsizetype delta)
{
    record.name.begin += delta;
    record.description.begin += delta;
    return record;
}

// The length of a line's text without its line end.
qsizetype textLength(QByteArrayView line)
{
    if (line.endsWith("\r\n"))
        return line.size() - 2;
    return line.endsWith('\r') ? line.size() - 1 : line.size();
}

// The bytes changed in their own buffer: the bytes after the change move.
void spliceInPlace(QByteArray &bytes, const RecordEdit &edit)
{
    const qsizetype oldSize = bytes.size();
    const qsizetype newSize = oldSize - edit.removed + edit.inserted.size();
    const qsizetype from = edit.at + edit.removed;
    if (newSize > oldSize)
        bytes.resize(newSize);
    char *const data = bytes.data();
    if (newSize != oldSize)
        std::memmove(data + edit.at + edit.inserted.size(), data + from, size_t(oldSize - from));
    if (!edit.inserted.isEmpty())
        std::memcpy(data + edit.at, edit.inserted.constData(), size_t(edit.inserted.size()));
    if (newSize < oldSize)
        bytes.truncate(newSize);
}

// The index of the bytes before the edit made that of the changed bytes.
void followInIndex(const RecordEdit &edit, const QByteArray &changed, storage::RecordIndex &index)
{
    if (edit.indexAnew) {
        index = storage::indexRecords(changed);
        return;
    }
    shiftFrom(index, edit.record + edit.recordsRemoved, edit.inserted.size() - edit.removed);
    const qsizetype common = qMin(edit.recordsRemoved, int(edit.records.size()));
    std::copy_n(edit.records.constBegin(), common, index.records.begin() + edit.record);
    if (edit.recordsRemoved > common)
        index.records.remove(edit.record + common, edit.recordsRemoved - common);
    else if (edit.records.size() > common)
        index.records.insert(edit.record + common, edit.records.size() - common, storage::Record{});
    std::copy(edit.records.constBegin() + common, edit.records.constEnd(),
              index.records.begin() + edit.record + common);
}

} // namespace

std::optional<RecordEdit> recordReplaced(const QByteArray &bytes, const storage::RecordIndex &index,
                                         const QString &fileName, int record, const storage::Item &expected,
                                         const std::optional<QString> &name,
                                         const std::optional<QString> &storedDescription)
{
    const std::optional<storage::Span> extent = locate(bytes, index, fileName, record, expected);
    if (!extent)
        return std::nullopt;
    const storage::Record &found = index.records[record];
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
    RecordEdit edit;
    edit.at = extent->begin;
    edit.removed = extent->length;
    edit.inserted = joined({nameLine, descriptionLine});
    edit.record = record;
    edit.recordsRemoved = 1;
    edit.records = {{{extent->begin, textLength(nameLine)},
                     {extent->begin + nameLine.size(), textLength(descriptionLine)}}};
    return edit;
}

std::optional<RecordEdit> recordRemoved(const QByteArray &bytes, const storage::RecordIndex &index,
                                        const QString &fileName, int record, const storage::Item &expected)
{
    const std::optional<storage::Span> extent = locate(bytes, index, fileName, record, expected);
    if (!extent)
        return std::nullopt;
    RecordEdit edit;
    edit.at = extent->begin;
    edit.removed = extent->length;
    edit.record = record;
    edit.recordsRemoved = 1;
    return edit;
}

RecordEdit itemsAppended(const QByteArray &bytes, const storage::RecordIndex &index,
                         const QVector<storage::Item> &items)
{
    return recordsAppended(bytes, index, storage::encodeItems(items));
}

RecordEdit recordsAppended(const QByteArray &bytes, const storage::RecordIndex &index, const QByteArray &records)
{
    // A last line without its line end would otherwise swallow the first new name.
    const bool open = !records.isEmpty() && !bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith("\r\n");
    RecordEdit edit;
    edit.at = bytes.size();
    edit.inserted = open ? "\r\n" + records : records;
    edit.record = int(index.records.size());
    // Only the new items are indexed, unless the bytes ended inside an item.
    edit.indexAnew = index.danglingName.has_value();
    if (edit.indexAnew)
        return edit;
    const qsizetype offset = bytes.size() + (open ? 2 : 0);
    edit.records = storage::indexRecords(records).records;
    for (storage::Record &record : edit.records)
        record = moved(record, offset);
    return edit;
}

QVector<QByteArrayView> editedParts(const QByteArray &bytes, const RecordEdit &edit)
{
    const QByteArrayView all(bytes);
    return {all.first(edit.at), edit.inserted, all.sliced(edit.at + edit.removed)};
}

std::optional<RecordEdit> takingBack(const RecordEdit &edit, const QByteArray &bytes,
                                     const storage::RecordIndex &index)
{
    if (edit.indexAnew)
        return std::nullopt;
    RecordEdit back;
    back.at = edit.at;
    back.removed = edit.inserted.size();
    back.inserted = bytes.sliced(edit.at, edit.removed);
    back.record = edit.record;
    back.recordsRemoved = int(edit.records.size());
    back.records = index.records.sliced(edit.record, edit.recordsRemoved);
    return back;
}

void applyEdit(const RecordEdit &edit, QByteArray &bytes, storage::RecordIndex &index)
{
    spliceInPlace(bytes, edit);
    followInIndex(edit, bytes, index);
}

Edited withRecordsAppended(const QByteArray &bytes, const QByteArray &records)
{
    Edited edited{QByteArray(), storage::indexRecords(bytes)};
    const RecordEdit edit = recordsAppended(bytes, edited.index, records);
    edited.bytes = joined(editedParts(bytes, edit));
    followInIndex(edit, edited.bytes, edited.index);
    return edited;
}

Edited withItemsAppended(const QByteArray &bytes, const QVector<storage::Item> &items)
{
    return withRecordsAppended(bytes, storage::encodeItems(items));
}

} // namespace editing
