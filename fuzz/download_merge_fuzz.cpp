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
    // The target's items, then each item taken, new to all before it.
    QSet<QString> names, descriptions;
    const QVector<storage::Item> all = target + added;
    for (qsizetype i = 0; i < all.size(); ++i) {
        FUZZ_CHECK(i < target.size() || (!names.contains(all[i].name) && !descriptions.contains(all[i].description)));
        names.insert(all[i].name);
        descriptions.insert(all[i].description);
    }

    const QByteArray merged = storage::encodeItems(target) + records;
    FUZZ_CHECK(storage::readItemsFromBytes(merged) == all);
    int again = -1;
    catalogue::newDownloadedRecords(merged, QString(), downloadBytes, &again);
    FUZZ_CHECK(again == 0);
    catalogue::newDownloadedRecords(storage::encodeItems(catalogue::distinctDownloadedItems(downloadBytes)), QString(),
                                    downloadBytes, &again);
    FUZZ_CHECK(again == 0);
    return 0;
}
