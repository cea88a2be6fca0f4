#include "editing/record_edit.h"

#include "app/cp1252.h"
#include "app/record_index.h"
#include "app/text_file.h"

namespace recordedit {
namespace {

QString textAt(const QByteArray &bytes, const recordindex::Span &span)
{
    return cp1252::decode(QByteArray::fromRawData(bytes.constData() + span.begin, span.length));
}

// Where the expected record lies, from its name to after its description's
// line end; nothing when it is not there.
std::optional<recordindex::Span> locate(const QByteArray &bytes, const QString &fileName, int record,
                                        const Item &expected, recordindex::Record *found)
{
    const recordindex::Index index = recordindex::indexRecords(bytes);
    if (index.danglingName)
        throw recordindex::danglingNameFailure(index, fileName);
    if (record < 0 || record >= index.records.size())
        return std::nullopt;
    *found = index.records[record];
    if (textAt(bytes, found->name) != expected.name || textAt(bytes, found->description) != expected.description)
        return std::nullopt;
    const qsizetype end = record + 1 < index.records.size() ? index.records[record + 1].name.begin : bytes.size();
    return recordindex::Span{found->name.begin, end - found->name.begin};
}

} // namespace

std::optional<QByteArray> withRecordReplaced(const QByteArray &bytes, QString fileName, int record,
                                             const Item &expected, const std::optional<QString> &name,
                                             const std::optional<QString> &storedDescription)
{
    recordindex::Record found;
    const std::optional<recordindex::Span> extent = locate(bytes, fileName, record, expected, &found);
    if (!extent)
        return std::nullopt;
    const qsizetype end = extent->begin + extent->length;
    // Each line as it was read, with its own line end, unless it is written anew.
    const QByteArray nameLine = name ? textfile::encodeLines({*name})
                                     : bytes.mid(found.name.begin, found.description.begin - found.name.begin);
    const QByteArray descriptionLine = storedDescription ? textfile::encodeLines({*storedDescription})
                                                         : bytes.mid(found.description.begin,
                                                                     end - found.description.begin);
    return bytes.left(extent->begin) + nameLine + descriptionLine + bytes.mid(end);
}

std::optional<QByteArray> withRecordRemoved(const QByteArray &bytes, QString fileName, int record,
                                            const Item &expected)
{
    recordindex::Record found;
    const std::optional<recordindex::Span> extent = locate(bytes, fileName, record, expected, &found);
    if (!extent)
        return std::nullopt;
    return bytes.left(extent->begin) + bytes.mid(extent->begin + extent->length);
}

QByteArray withItemsAppended(QByteArray bytes, const QVector<Item> &items)
{
    const QByteArray encoded = itemdb::encodeItems(items);
    // A last line without its line end would otherwise swallow the first new name.
    if (!items.isEmpty() && !bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith("\r\n"))
        bytes += "\r\n";
    return bytes + encoded;
}

} // namespace recordedit
