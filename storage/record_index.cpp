#include "storage/record_index.h"

#include "storage/cpu_features.h"
#include "storage/large_pages.h"
#include "storage/text_file.h"

#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

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

namespace {

// Indexes bytes as they arrive: the records of every chunk that the bytes
// read so far hold whole (with the byte after it, which tells whether a CR at
// the chunk's end is followed by LF), then the rest once the size is final.
class RecordIndexer
{
public:
    void indexArrived(const char *data, qsizetype arrived, qsizetype expectedSize)
    {
        data_ = data;
        while (chunk_ + kChunk < arrived)
            indexChunk(expectedSize, kChunk);
    }

    RecordIndex finish(const char *data, qsizetype size)
    {
        data_ = data;
        size_ = size;
        while (chunk_ < size)
            indexChunk(size, qMin(kChunk, size - chunk_));
        if (start_ < size)
            lineEnd(size);
        RecordIndex index;
        if (inDescription_)
            index.danglingName = name_;
        index.records = keptWithRoom(std::move(records_));
        return index;
    }

private:
    void indexChunk(qsizetype expectedSize, qsizetype length)
    {
        const int found = findCrs_(data_ + chunk_, length, crs_);
        // Room is kept at once for the density of line ends in the first
        // chunk: memory reserved and never written costs nothing.
        if (chunk_ == 0) {
            records_.reserve((found / 2 + 1) * (expectedSize / kChunk + 1) * 9 / 8 + 16);
            askForLargePages(records_.data(), records_.capacity() * qsizetype(sizeof(Record)));
        }
        for (int k = 0; k < found; ++k)
            lineEnd(chunk_ + crs_[k]);
        chunk_ += length;
    }

    // The line being read ends at `end`; it is a description after a name.
    Q_ALWAYS_INLINE void lineEnd(qsizetype end)
    {
        const Span line{start_, end - start_};
        start_ = end + 1 + ((end + 1 < size_ || size_ < 0) && data_[end + 1] == '\n');
        if (inDescription_)
            records_.append(Record{name_, line});
        else
            name_ = line;
        inDescription_ = !inDescription_;
    }

    // A file whose first items are shorter than the rest is indexed with room
    // to spare; what is kept is room for items added one at a time.
    static QVector<Record> keptWithRoom(QVector<Record> records)
    {
        const qsizetype count = records.size();
        const qsizetype room = kRoomForAdded + count / 256;
        if (records.capacity() <= count + count / 4 + room)
            return records;
        QVector<Record> kept;
        kept.reserve(count + room);
        kept.append(records);
        return kept;
    }

    const FindCrs findCrs_ = fastestFindCrs();
    const char *data_ = nullptr;
    qsizetype size_ = -1; // not known until finish
    qsizetype chunk_ = 0;
    qsizetype start_ = 0;
    bool inDescription_ = false;
    Span name_;
    QVector<Record> records_;
    quint32 crs_[kChunk + kSlack];
};

} // namespace

RecordIndex indexRecords(const QByteArray &bytes)
{
    return RecordIndexer().finish(bytes.constData(), bytes.size());
}

IndexedFile readIndexedFile(const QString &path, FileStamp *stamp, qsizetype room)
{
    // The records are found on a second thread while the file is read: a
    // large file is read and indexed in little more than the time of reading it.
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable changed;
        const char *data = nullptr;
        qsizetype arrived = 0;
        qsizetype expectedSize = 0;
        bool ended = false;
    } shared;
    RecordIndexer indexer;
    std::exception_ptr indexerFailure;
    qsizetype prepared = 0;
    const auto prepareAhead = [&](const char *data, qsizetype expected) {
        qsizetype reading = 0;
        {
            const std::lock_guard lock(shared.mutex);
            reading = shared.arrived;
        }
        const qsizetype from = qMax(prepared, reading + kReadPiece);
        prepared = qMin(reading + 2 * kReadPiece, expected);
        prepareMemory(data + from, prepared - from);
    };
    const auto indexArrived = [&] {
        try {
            for (qsizetype seen = 0;;) {
                std::unique_lock lock(shared.mutex);
                shared.changed.wait(lock, [&] { return shared.ended || shared.arrived > seen; });
                if (shared.ended)
                    return;
                seen = shared.arrived;
                const char *data = shared.data;
                const qsizetype expected = shared.expectedSize;
                lock.unlock();
                indexer.indexArrived(data, seen, expected);
                // The piece after the one being read gets its memory meanwhile.
                prepareAhead(data, expected);
            }
        } catch (...) {
            indexerFailure = std::current_exception();
        }
    };
    std::thread worker;
    bool alone = false; // no second thread to be had: indexed after the reading
    // The worker ends before the bytes it reads can move or go.
    const auto endWorker = [&] {
        if (!worker.joinable())
            return;
        {
            const std::lock_guard lock(shared.mutex);
            shared.ended = true;
        }
        shared.changed.notify_one();
        worker.join();
    };
    const char *indexedData = nullptr;
    IndexedFile file;
    file.bytes = readFile(path, stamp, room, [&](const char *data, qsizetype count) {
        if (count < 0) // no more comes: the bytes may move or go once this returns
            return endWorker();
        if (!worker.joinable()) {
            // One piece that is the whole file has nothing to share.
            if (alone || count == stamp->size)
                return;
            try {
                worker = std::thread(indexArrived);
            } catch (const std::system_error &) {
                alone = true;
                return;
            }
        }
        {
            const std::lock_guard lock(shared.mutex);
            shared.data = indexedData = data;
            shared.arrived = count;
            shared.expectedSize = stamp->size;
        }
        shared.changed.notify_one();
    });
    // The worker ended when readFile said no more comes, failing or not.
    if (indexerFailure)
        std::rethrow_exception(indexerFailure);
    // Bytes that moved (the file grew while it was read) are indexed afresh.
    file.index = indexedData == file.bytes.constData() ? indexer.finish(file.bytes.constData(), file.bytes.size())
                                                        : indexRecords(file.bytes);
    return file;
}

void RecordCounter::take(const char *data, qsizetype length)
{
    // Every CR ends a line (an LF after it belongs to that line end), so the
    // lines are the CRs and the bytes after the last line end, if any.
    const FindCrs findCrs = fastestFindCrs();
    quint32 crs[kChunk + kSlack];
    for (qsizetype from = 0; from < length; from += kChunk)
        lineEnds_ += findCrs(data + from, qMin(kChunk, length - from), crs);
    if (length <= 0)
        return;
    taken_ = true;
    beforeLast_ = length > 1 ? data[length - 2] : last_;
    last_ = data[length - 1];
}

qsizetype RecordCounter::records() const
{
    const bool endsInsideALine = taken_ && last_ != '\r' && !(last_ == '\n' && beforeLast_ == '\r');
    return (lineEnds_ + (endsInsideALine ? 1 : 0)) / 2;
}

qsizetype countRecords(const QString &path, FileStamp *stamp, qsizetype enough, qsizetype piece)
{
    RecordCounter counter;
    readPieces(path, stamp, piece, [&](const char *data, qsizetype length) {
        counter.take(data, length);
        return counter.records() < enough;
    });
    return qMin(counter.records(), enough);
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
