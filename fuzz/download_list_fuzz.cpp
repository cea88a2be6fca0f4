// downlist.txt from the server: entries come in whole pairs, never more than
// the count or the window's capacity, and a list of the entries read, written
// the way the server's list is, reads back as the same entries.
#include "storage/text_file.h"
#include "download/download_list.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DownloadList list = parseDownloadList(fuzzBytes(data, size));
    const qsizetype count = list.names.size();
    FUZZ_CHECK(list.files.size() == count);
    FUZZ_CHECK(count <= DownloadList::kCapacity && count <= qMax<qint64>(list.announced, 0));
    FUZZ_CHECK(list.isShort() == (count < qMin<qint64>(list.announced, DownloadList::kCapacity)));

    QStringList lines{QString::number(count)};
    for (qsizetype i = 0; i < count; ++i)
        lines << list.names[i] << list.files[i];
    const DownloadList again = parseDownloadList(storage::encodeLines(lines));
    FUZZ_CHECK(again.names == list.names && again.files == list.files && !again.isShort());
    return 0;
}
