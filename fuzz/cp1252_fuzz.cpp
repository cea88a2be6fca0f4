// The Windows-1252 conversion: every byte reads as one character and writes
// back as the same byte; text the files cannot hold is refused, never changed.
#include "app/cp1252.h"
#include "fuzz_check.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = cp1252::decode(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    FUZZ_CHECK(cp1252::canEncode(text));
    QByteArray back;
    FUZZ_CHECK(cp1252::encode(text, &back));
    FUZZ_CHECK(back == bytes);

    // The same input taken as UTF-16 text, as a text box hands it over.
    QString typed(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(typed.data(), data, (size / 2) * 2);
    QString bad;
    const bool encoded = cp1252::encode(typed, &back, &bad);
    FUZZ_CHECK(encoded == cp1252::canEncode(typed));
    if (encoded)
        FUZZ_CHECK(cp1252::decode(back) == typed);
    else
        FUZZ_CHECK(!bad.isEmpty() && typed.contains(bad) && !cp1252::canEncode(bad));
    return 0;
}
