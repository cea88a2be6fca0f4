#include "catalogue/download_merge.h"

#include "base/failure.h"
#include "app/record_index.h"
#include "app/text_file.h"

#include <QSet>

namespace downloadmerge {
namespace {

// A line of the bytes as a key that compares and hashes by its bytes, without a copy.
QByteArray keyOf(const QByteArray &bytes, const recordindex::Span &span)
{
    return QByteArray::fromRawData(bytes.constData() + span.begin, span.length);
}

// The whole items of a download: its index without the empty last line the
// download adds; a name that lacks its description fails.
recordindex::Index downloadedIndex(const QByteArray &bytes, const QString &name)
{
    recordindex::Index index = recordindex::indexRecords(bytes);
    if (index.danglingName && index.danglingName->length == 0)
        index.danglingName.reset(); // the line end the download added after the text's own
    if (index.danglingName)
        throw recordindex::danglingNameFailure(index, name);
    return index;
}

} // namespace

QByteArray newRecords(const QByteArray &target, const QString &targetName, const QByteArray &download, int *taken,
                      const QString &downloadName)
{
    const recordindex::Index incoming = downloadedIndex(download, downloadName);
    const recordindex::Index own = recordindex::wholeRecords(target, targetName);
    QSet<QByteArray> names;
    QSet<QByteArray> descriptions;
    names.reserve(own.records.size() + incoming.records.size());
    descriptions.reserve(own.records.size() + incoming.records.size());
    for (const recordindex::Record &record : own.records) {
        names.insert(keyOf(target, record.name));
        descriptions.insert(keyOf(target, record.description));
    }
    QByteArray records;
    *taken = 0;
    for (const recordindex::Record &record : incoming.records) {
        const QByteArray name = keyOf(download, record.name);
        const QByteArray description = keyOf(download, record.description);
        if (names.contains(name) || descriptions.contains(description))
            continue;
        names.insert(name);
        descriptions.insert(description);
        records += name + "\r\n" + description + "\r\n";
        ++*taken;
    }
    const qsizetype total = own.records.size() + *taken;
    if (total > itemdb::kListCapacity)
        throw base::Failure(base::ErrSubscriptOutOfRange,
                            QStringLiteral("Subscript out of range: the database would hold %1 items, more than the %2 "
                                           "the program can list; nothing was written")
                                .arg(total)
                                .arg(itemdb::kListCapacity));
    return records;
}

QVector<Item> distinctItems(const QByteArray &download)
{
    int taken = 0;
    return itemdb::readItemsFromBytes(newRecords(QByteArray(), QString(), download, &taken));
}

} // namespace downloadmerge
