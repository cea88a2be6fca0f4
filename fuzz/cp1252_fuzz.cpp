// The Windows-1252 conversion: every byte reads as one character and writes
// back as the same byte; text the files cannot hold is refused, never changed.
#include "fuzz_check.h"
#include "storage/windows1252.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = storage::decodeWindows1252(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    FUZZ_CHECK(storage::canEncodeWindows1252(text));
    QByteArray back;
    FUZZ_CHECK(storage::encodeWindows1252(text, &back));
    FUZZ_CHECK(back == bytes);

    // The same input taken as UTF-16 text, as a text box hands it over.
    QString typed(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(typed.data(), data, (size / 2) * 2);
    QString bad;
    const bool encoded = storage::encodeWindows1252(typed, &back, &bad);
    FUZZ_CHECK(encoded == storage::canEncodeWindows1252(typed));
    if (encoded)
        FUZZ_CHECK(storage::decodeWindows1252(back) == typed);
    else
        FUZZ_CHECK(!bad.isEmpty() && typed.contains(bad) && !storage::canEncodeWindows1252(bad));
    return 0;
}
