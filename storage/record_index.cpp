#include "storage/record_index.h"

#include "storage/cpu_features.h"
#include "storage/text_file.h"

#include <cstring>

namespace storage {
namespace {

// The bytes are indexed in chunks: a vector scan writes the offsets of the
// chunk's CRs into a small table, then a plain loop turns them into records.
// Both loops branch little, which matters more here than the bytes scanned:
// a call of memchr for each line, or a branch for each line end, costs more
// than scanning a short line.
constexpr qsizetype kChunk = 4096;
// The scans write up to 2 offsets past the last CR found.
constexpr qsizetype kSlack = 64;
// Records an index keeps room for beyond those it holds.
constexpr qsizetype kRoomForAdded = 64;

// Writes the offset of every bit of `bits` (64 bytes from `base`); returns their count.
Q_ALWAYS_INLINE int writeOffsets(quint64 bits, quint32 base, quint32 *out, int count)
{
    // Two unconditional writes cover most blocks without a branch. Where
    // `bits` has run out they write offset 63 (instead of an undefined count)
    // into a slot past the count, which a later block writes again.
    for (int k = 0; k < 2; ++k) {
        out[k] = base + quint32(__builtin_ctzll(bits | quint64(1) << 63));
        bits &= bits - 1;
    }
    for (int k = 2; k < count; ++k) {
        out[k] = base + quint32(__builtin_ctzll(bits));
        bits &= bits - 1;
    }
    return count;
}

int crsAfter(const char *data, qsizetype from, qsizetype length, quint32 *out, int found)
{
    for (qsizetype i = from; i < length; ++i) {
        if (data[i] == '\r')
            out[found++] = quint32(i);
    }
    return found;
}

#if defined(GEARLEDGER_X86_64)
int findCrsSse2(const char *data, qsizetype length, quint32 *out)
{
    const __m128i cr = _mm_set1_epi8('\r');
    int found = 0;
    qsizetype i = 0;
    for (; i + 64 <= length; i += 64) {
        quint64 bits = 0;
        for (int part = 0; part < 4; ++part) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i + 16 * part));
            bits |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr)))) << (16 * part);
        }
        found += writeOffsets(bits, quint32(i), out + found, __builtin_popcountll(bits));
    }
    return crsAfter(data, i, length, out, found);
}

__attribute__((target("avx2,bmi,popcnt"))) int findCrsAvx2(const char *data, qsizetype length, quint32 *out)
{
    const __m256i cr = _mm256_set1_epi8('\r');
    int found = 0;
    qsizetype i = 0;
    for (; i + 64 <= length; i += 64) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data + i));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data + i + 32));
        const quint64 bits = quint64(unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, cr))))
                             | quint64(unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, cr)))) << 32;
        found += writeOffsets(bits, quint32(i), out + found, __builtin_popcountll(bits));
    }
    return crsAfter(data, i, length, out, found);
}
#endif

using FindCrs = int (*)(const char *data, qsizetype length, quint32 *out);

FindCrs fastestFindCrs()
{
#if defined(GEARLEDGER_X86_64)
    return hasAvx2() ? findCrsAvx2 : findCrsSse2;
#else
    return [](const char *data, qsizetype length, quint32 *out) { return crsAfter(data, 0, length, out, 0); };
#endif
}

} // namespace

Span lineAt(const QByteArray &bytes, qsizetype from, qsizetype *next)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    const void *cr = std::memchr(data + from, '\r', size_t(size - from));
    if (!cr) {
        *next = size;
        return {from, size - from};
    }
    const qsizetype end = static_cast<const char *>(cr) - data;
    qsizetype after = end + 1;
    if (after < size && data[after] == '\n')
        ++after;
    *next = after;
    return {from, end - from};
}

RecordIndex indexRecords(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    const FindCrs findCrs = fastestFindCrs();
    quint32 crs[kChunk + kSlack];
    QVector<Record> records;
    qsizetype count = 0;
    // The line being read starts at `start`; it is a description after a name.
    qsizetype start = 0;
    bool inDescription = false;
    Span name;
    const auto lineEnd = [&](qsizetype end, Record *&out) {
        const Span line{start, end - start};
        start = end + 1 + (end + 1 < size && data[end + 1] == '\n');
        if (inDescription)
            *out++ = Record{name, line};
        else
            name = line;
        inDescription = !inDescription;
    };
    for (qsizetype chunk = 0; chunk < size; chunk += kChunk) {
        const int found = findCrs(data + chunk, qMin(kChunk, size - chunk), crs);
        // Records are written straight into the storage, sized at first for
        // the density of line ends in the first chunk.
        if (records.size() - count < found / 2 + 1) {
            const qsizetype guess = chunk == 0 ? (found / 2 + 1) * (size / kChunk + 1) * 9 / 8 + 16 : 0;
            records.resize(qMax(qMax(records.size() * 2, count + found / 2 + 1), guess));
        }
        Record *out = records.data() + count;
        for (int k = 0; k < found; ++k)
            lineEnd(chunk + crs[k], out);
        count = out - records.data();
    }
    RecordIndex index;
    if (start < size) {
        records.resize(qMax(records.size(), count + 1));
        Record *out = records.data() + count;
        lineEnd(size, out);
        count = out - records.data();
    }
    if (inDescription)
        index.danglingName = name;
    records.resize(count);
    // A file whose first items are shorter than the rest is indexed with room
    // to spare; what is kept is room for items added one at a time.
    const qsizetype room = kRoomForAdded + count / 256;
    if (records.capacity() > count + count / 4 + room) {
        QVector<Record> kept;
        kept.reserve(count + room);
        kept.append(records);
        records = std::move(kept);
    }
    index.records = std::move(records);
    return index;
}

RecordIndex wholeRecords(const QByteArray &bytes, const QString &fileName)
{
    RecordIndex index = indexRecords(bytes);
    if (index.danglingName)
        throw danglingNameFailure(index, fileName);
    return index;
}

base::Failure danglingNameFailure(const RecordIndex &index, const QString &fileName)
{
    return base::Failure(
        base::ErrInputPastEndOfFile,
        QStringLiteral("Input past end of file (%1, after line %2)").arg(fileName).arg(index.records.size() * 2 + 1));
}

} // namespace storage
