// The item database file: the reader, the byte index that listings and
// searches use, the count of items made piece by piece, and the writer agree;
// a whole file in the written form reads and writes back as the same bytes.
#include "base/failure.h"
#include "fuzz_check.h"
#include "storage/item_database.h"
#include "storage/record_index.h"
#include "storage/windows1252.h"

namespace {

// Every line ends in CR LF (no lone CR, no last line without its end).
bool inWrittenForm(const QByteArray &bytes)
{
    return bytes.count('\r') == bytes.count("\r\n") && (bytes.isEmpty() || bytes.endsWith("\r\n"));
}

QString textAt(const QByteArray &bytes, storage::Span span)
{
    return storage::decodeWindows1252(bytes.mid(span.begin, span.length));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const storage::RecordIndex index = storage::indexRecords(bytes);
    // Counted in pieces of 1 to 8 bytes, the items are those indexed.
    storage::RecordCounter counter;
    const qsizetype piece = 1 + (size > 0 ? data[0] % 8 : 0);
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        counter.take(bytes.constData() + at, qMin(piece, bytes.size() - at));
    FUZZ_CHECK(counter.records() == index.records.size());
    QVector<storage::Item> items;
    try {
        items = storage::readItemsFromBytes(bytes, QStringLiteral("db.txt"));
    } catch (const base::Failure &failure) {
        FUZZ_CHECK(failure.number() == base::ErrInputPastEndOfFile);
        FUZZ_CHECK(index.danglingName.has_value());
        return 0;
    }
    FUZZ_CHECK(!index.danglingName && index.records.size() == items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        FUZZ_CHECK(textAt(bytes, index.records[i].name) == items[i].name);
        FUZZ_CHECK(textAt(bytes, index.records[i].description) == items[i].description);
    }
    const QByteArray written = storage::encodeItems(items);
    FUZZ_CHECK(storage::readItemsFromBytes(written) == items);
    if (inWrittenForm(bytes))
        FUZZ_CHECK(written == bytes);
    return 0;
}
