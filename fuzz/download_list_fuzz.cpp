// downlist.txt from the server: entries come in whole pairs, never more than
// the count or the window's capacity, and a list of the entries read, written
// the way the server's list is, reads back as the same entries.
#include "download/download_list.h"
#include "fuzz_check.h"
#include "storage/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const download::DownloadList list = download::parseDownloadList(fuzzBytes(data, size));
    const qsizetype count = list.names.size();
    FUZZ_CHECK(list.files.size() == count);
    FUZZ_CHECK(count <= download::DownloadList::kCapacity && count <= qMax<qint64>(list.announced, 0));
    FUZZ_CHECK(list.isShort() == (count < qMin<qint64>(list.announced, download::DownloadList::kCapacity)));

    QStringList lines{QString::number(count)};
    for (qsizetype i = 0; i < count; ++i)
        lines << list.names[i] << list.files[i];
    const download::DownloadList again = download::parseDownloadList(storage::encodeLines(lines));
    FUZZ_CHECK(again.names == list.names && again.files == list.files && !again.isShort());
    return 0;
}
