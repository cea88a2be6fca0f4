// Taking a downloaded database into a database (the input holds the target
// database, a NUL, then the download): the target's bytes all stay, in front;
// the records taken read back as whole items, each new to what came before;
// merging the same download again takes nothing, and neither does merging it
// into a new database made from it.
#include "base/failure.h"
#include "catalogue/download_merge.h"
#include "fuzz_check.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [targetBytes, downloadBytes] = twoFiles(fuzzBytes(data, size));
    QVector<storage::Item> target;
    try {
        target = storage::readItemsFromBytes(targetBytes);
    } catch (const base::Failure &) {
        return 0; // a merge refuses a target that is not whole
    }
    int taken = 0;
    QByteArray records;
    try {
        records = catalogue::newDownloadedRecords(targetBytes, QString(), downloadBytes, &taken);
    } catch (const base::Failure &failure) {
        FUZZ_CHECK(failure.number() == base::ErrInputPastEndOfFile);
        return 0;
    }
    const QVector<storage::Item> added = storage::readItemsFromBytes(records);
    FUZZ_CHECK(added.size() == taken);
    QSet<QString> names, descriptions;
    for (const storage::Item &item : target) {
        names.insert(item.name);
        descriptions.insert(item.description);
    }
    for (const storage::Item &item : added) {
        FUZZ_CHECK(!names.contains(item.name) && !descriptions.contains(item.description));
        names.insert(item.name);
        descriptions.insert(item.description);
    }

    const QByteArray merged = storage::encodeItems(target) + records;
    FUZZ_CHECK(storage::readItemsFromBytes(merged) == target + added);
    int again = -1;
    catalogue::newDownloadedRecords(merged, QString(), downloadBytes, &again);
    FUZZ_CHECK(again == 0);
    catalogue::newDownloadedRecords(storage::encodeItems(catalogue::distinctDownloadedItems(downloadBytes)), QString(),
                                    downloadBytes, &again);
    FUZZ_CHECK(again == 0);
    return 0;
}
