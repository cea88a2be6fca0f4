#include "catalogue/download_merge.h"

#include "base/failure.h"
#include "storage/record_index.h"
#include "storage/text_file.h"

#include <QSet>

namespace catalogue {
namespace {

// How many items are looked at between two reports of the progress.
constexpr qsizetype kReportEvery = 16384;

// A line of the bytes as a key that compares and hashes by its bytes, without a copy.
QByteArray keyOf(const QByteArray &bytes, const storage::Span &span)
{
    return QByteArray::fromRawData(bytes.constData() + span.begin, span.length);
}

// The whole items of a download: its index without the empty last line the
// download adds; a name that lacks its description fails.
storage::RecordIndex downloadedIndex(const QByteArray &bytes, const QString &name)
{
    storage::RecordIndex index = storage::indexRecords(bytes);
    if (index.danglingName && index.danglingName->length == 0)
        index.danglingName.reset(); // the line end the download added after the text's own
    if (index.danglingName)
        throw storage::danglingNameFailure(index, name);
    return index;
}

} // namespace

QByteArray newDownloadedRecords(const QByteArray &target, const QString &targetName, const QByteArray &download,
                                int *taken, const QString &downloadName,
                                const std::function<bool(qsizetype done, qsizetype total)> &carryOn)
{
    const storage::RecordIndex incoming = downloadedIndex(download, downloadName);
    const storage::RecordIndex own = storage::wholeRecords(target, targetName);
    const qsizetype total = own.records.size() + incoming.records.size();
    // False when the work is to stop; asked every kReportEvery items.
    const auto goOn = [&](qsizetype done) {
        if (!carryOn || done % kReportEvery != 0 || carryOn(done, total))
            return true;
        *taken = -1;
        return false;
    };
    QSet<QByteArray> names;
    QSet<QByteArray> descriptions;
    names.reserve(own.records.size() + incoming.records.size());
    descriptions.reserve(own.records.size() + incoming.records.size());
    for (qsizetype r = 0; r < own.records.size(); ++r) {
        if (!goOn(r))
            return QByteArray();
        const storage::Record &record = own.records[r];
        names.insert(keyOf(target, record.name));
        descriptions.insert(keyOf(target, record.description));
    }
    QByteArray records;
    *taken = 0;
    for (qsizetype r = 0; r < incoming.records.size(); ++r) {
        if (!goOn(own.records.size() + r))
            return QByteArray();
        const storage::Record &record = incoming.records[r];
        const QByteArray name = keyOf(download, record.name);
        const QByteArray description = keyOf(download, record.description);
        if (names.contains(name) || descriptions.contains(description))
            continue;
        names.insert(name);
        descriptions.insert(description);
        records += name + "\r\n" + description + "\r\n";
        ++*taken;
    }
    return records;
}

QVector<storage::Item> distinctDownloadedItems(const QByteArray &download)
{
    int taken = 0;
    return storage::readItemsFromBytes(newDownloadedRecords(QByteArray(), QString(), download, &taken));
}

} // namespace catalogue
