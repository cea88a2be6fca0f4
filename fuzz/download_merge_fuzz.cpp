// Taking a downloaded database into a database (the input holds the target
// database, a NUL, then the download): the target's own items all stay, in
// order, in front; the result writes and reads back whole; merging the same
// download again takes nothing, and neither does merging it into a new
// database made from it.
#include "app/failure.h"
#include "catalogue/download_merge.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [targetBytes, downloadBytes] = twoFiles(fuzzBytes(data, size));
    QVector<Item> target;
    QVector<Item> downloaded;
    try {
        target = itemdb::readItemsFromBytes(targetBytes);
    } catch (const Failure &) {
        return 0; // a merge refuses a target that is not whole
    }
    try {
        downloaded = downloadmerge::readDownloadedItemsFromBytes(downloadBytes);
    } catch (const Failure &failure) {
        FUZZ_CHECK(failure.number() == ErrInputPastEndOfFile);
        return 0;
    }

    downloadmerge::WorkingList list(target);
    const int taken = list.takeIn(downloaded);
    FUZZ_CHECK(list.items().size() == target.size() + taken);
    FUZZ_CHECK(list.items().mid(0, target.size()) == target);

    const QVector<Item> merged = itemdb::readItemsFromBytes(itemdb::encodeItems(list.items()));
    FUZZ_CHECK(merged == list.items());
    downloadmerge::WorkingList again(merged);
    FUZZ_CHECK(again.takeIn(downloaded) == 0 && again.items() == merged);

    downloadmerge::WorkingList fresh(downloadmerge::distinctItems(downloaded));
    FUZZ_CHECK(fresh.takeIn(downloaded) == 0);
    return 0;
}
