// The item database file: the reader, the byte index that listings and
// searches use, the index and the count of items made piece by piece (the
// index of a file read in two halves at once), and the writer agree;
// a whole file in the written form reads and writes back as the same bytes.
#include "base/failure.h"
#include "fuzz_check.h"
#include "storage/item_database.h"
#include "storage/record_index.h"
#include "storage/windows1252.h"

#include <QFile>
#include <QTemporaryDir>

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

bool sameSpan(storage::Span a, storage::Span b)
{
    return a.begin == b.begin && a.length == b.length;
}

bool sameIndex(const storage::RecordIndex &a, const storage::RecordIndex &b)
{
    if (a.records.size() != b.records.size() || a.danglingName.has_value() != b.danglingName.has_value())
        return false;
    for (qsizetype i = 0; i < a.records.size(); ++i) {
        if (!sameSpan(a.records[i].name, b.records[i].name)
            || !sameSpan(a.records[i].description, b.records[i].description))
            return false;
    }
    return !a.danglingName || sameSpan(*a.danglingName, *b.danglingName);
}

// The bytes written to a file and read back with their index in pieces of `piece` bytes.
storage::IndexedFile readBackInPieces(const QByteArray &bytes, qsizetype piece)
{
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("db.txt"));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();
    storage::FileStamp stamp;
    return storage::readIndexedFile(path, &stamp, 0, piece);
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
    const storage::IndexedFile read = readBackInPieces(bytes, piece);
    FUZZ_CHECK(read.bytes == bytes && sameIndex(read.index, index));
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
