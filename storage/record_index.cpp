#include "storage/record_index.h"

#include "storage/cpu_features.h"
#include "storage/large_pages.h"
#include "storage/text_file.h"

#include <QScopeGuard>

#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
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

// Indexes the lines of bytes from a point where a line starts, as far as the
// bytes read so far allow, then to their end.
class RecordIndexer
{
public:
    // The bytes are `size` long once read; the indexing starts at `from`,
    // with a name line, and keeps room for the records of `reserveFor` bytes
    // as dense as the first chunk's.
    RecordIndexer(const char *data, qsizetype size, qsizetype from, qsizetype reserveFor)
        : data_(data), size_(size), chunk_(from), start_(from), reserveFor_(reserveFor)
    {
    }

    // Indexes the bytes read so far, up to `read`: every line whose end and
    // the byte after it have been read.
    void indexRead(qsizetype read) { indexTo(read < size_ ? read - 1 : size_); }

    // Indexes every line end before `end`; the byte after the last must be read.
    void indexTo(qsizetype end)
    {
        while (chunk_ < end)
            indexChunk(qMin(kChunk, end - chunk_));
    }

    // The index of every line to the end of the bytes.
    RecordIndex finish()
    {
        indexTo(size_);
        if (start_ < size_)
            lineEnd(size_);
        RecordIndex index;
        if (inDescription_)
            index.danglingName = name_;
        index.records = std::move(records_);
        return index;
    }

    // The index of the lines up to where `rest` started, indexed here, and of
    // the rest's lines, which it paired as if the first were a name.
    RecordIndex finishWith(const RecordIndex &rest)
    {
        RecordIndex index;
        if (!inDescription_) {
            records_.append(rest.records);
            index.danglingName = rest.danglingName;
        } else {
            // The name read last here pairs with the rest's first line, and so on.
            Span name = name_;
            for (const Record &record : rest.records) {
                records_.append(Record{name, record.name});
                name = record.description;
            }
            if (rest.danglingName)
                records_.append(Record{name, *rest.danglingName});
            else
                index.danglingName = name;
        }
        index.records = std::move(records_);
        return index;
    }

private:
    void indexChunk(qsizetype length)
    {
        const int found = findCrs_(data_ + chunk_, length, crs_);
        // Room is kept at once for the density of line ends in the first
        // chunk: memory reserved and never written costs nothing.
        if (!reserved_ && length == kChunk) {
            reserved_ = true;
            records_.reserve((found / 2 + 1) * (reserveFor_ / kChunk + 1) * 9 / 8 + 16);
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
        start_ = end + 1 + (end + 1 < size_ && data_[end + 1] == '\n');
        if (inDescription_)
            records_.append(Record{name_, line});
        else
            name_ = line;
        inDescription_ = !inDescription_;
    }

    const FindCrs findCrs_ = fastestFindCrs();
    const char *data_;
    const qsizetype size_;
    qsizetype chunk_;
    qsizetype start_;
    const qsizetype reserveFor_;
    bool reserved_ = false;
    bool inDescription_ = false;
    Span name_;
    QVector<Record> records_;
    quint32 crs_[kChunk + kSlack];
};

// An index whose records have no more room to spare than what is kept for
// items added one at a time.
RecordIndex withRoomForAdded(RecordIndex index)
{
    const qsizetype count = index.records.size();
    const qsizetype room = kRoomForAdded + count / 256;
    if (index.records.capacity() <= count + count / 4 + room)
        return index;
    QVector<Record> kept;
    kept.reserve(count + room);
    kept.append(index.records);
    index.records = std::move(kept);
    return index;
}

// Reads [from, to) of the file into data in pieces of `piece` bytes, telling
// `read` after each piece how far the bytes are read. Returns where the
// reading stopped: before `to` only at the file's end.
template<typename Read>
qsizetype readRange(const ReadingFile &file, char *data, qsizetype from, qsizetype to, qsizetype piece,
                    const Read &read)
{
    for (qsizetype at = from; at < to;) {
        const qsizetype length = qMin(piece, to - at);
        const qsizetype got = file.readAt(data + at, length, at);
        at += got;
        read(at);
        if (got < length)
            return at;
    }
    return to;
}

// The second half of a file read and indexed by one thread while another
// reads the first: it is indexed from the first line that starts in it, which
// the reader of the first half indexes up to.
class SecondHalf
{
public:
    SecondHalf(const ReadingFile &file, char *data, qsizetype from, qsizetype size, qsizetype piece)
        : file_(file), data_(data), from_(from), size_(size), piece_(piece)
    {
    }

    void read()
    {
        try {
            std::optional<RecordIndexer> indexer;
            qsizetype searched = from_;
            readTo_ = readRange(file_, data_, from_, size_, piece_, [&](qsizetype read) {
                if (!indexer && searched < size_) {
                    const qsizetype start = firstLineStart(&searched, read);
                    if (start < size_)
                        indexer.emplace(data_, size_, start, size_ - start);
                }
                if (indexer)
                    indexer->indexRead(read);
            });
            if (indexer && readTo_ == size_)
                index_ = indexer->finish();
        } catch (...) {
            failure_ = std::current_exception();
        }
        tellLineStart(size_); // nothing more to wait for, if not told yet
    }

    // Where the first line that starts in this half starts (the end of the
    // bytes when none does), once the bytes up to it are read.
    qsizetype lineStart()
    {
        std::unique_lock lock(mutex_);
        told_.wait(lock, [this] { return lineStart_ >= 0; });
        return lineStart_;
    }

    // Once read: where the reading stopped, the index from the line start,
    // and any failure.
    qsizetype readTo() const { return readTo_; }
    const RecordIndex &index() const { return index_; }
    const std::exception_ptr &failure() const { return failure_; }

private:
    // Looks for the first CR from *searched on in the bytes read up to `read`;
    // the line after it starts past its LF, if one follows.
    qsizetype firstLineStart(qsizetype *searched, qsizetype read)
    {
        const void *cr = std::memchr(data_ + *searched, '\r', size_t(read - *searched));
        if (!cr) {
            *searched = read;
            return size_;
        }
        const qsizetype end = static_cast<const char *>(cr) - data_;
        if (end + 1 == read && read < size_) {
            *searched = end; // whether an LF follows is read with the next piece
            return size_;
        }
        const qsizetype start = end + 1 + (end + 1 < size_ && data_[end + 1] == '\n');
        *searched = size_;
        tellLineStart(start);
        return start;
    }

    void tellLineStart(qsizetype start)
    {
        {
            const std::lock_guard lock(mutex_);
            if (lineStart_ >= 0)
                return;
            lineStart_ = start;
        }
        told_.notify_one();
    }

    const ReadingFile &file_;
    char *const data_;
    const qsizetype from_;
    const qsizetype size_;
    const qsizetype piece_;
    std::mutex mutex_;
    std::condition_variable told_;
    qsizetype lineStart_ = -1;
    qsizetype readTo_ = 0;
    RecordIndex index_;
    std::exception_ptr failure_;
};

// Reads the file's `size` bytes into data and indexes them, the two halves
// at once on two threads: reading into new memory is the work of giving the
// memory as much as of copying the bytes, and each thread does both for its
// half. Returns where the reading stopped; the index only when the whole
// `size` was read.
qsizetype readInHalves(const ReadingFile &file, char *data, qsizetype size, qsizetype piece, RecordIndex *index)
{
    const qsizetype middle = size / 2 / piece * piece;
    SecondHalf second(file, data, middle, size, piece);
    std::thread worker;
    try {
        worker = std::thread([&second] { second.read(); });
    } catch (const std::system_error &) {
        second.read(); // no second thread to be had: the halves one after the other
    }
    // The worker ends before the bytes it writes can go.
    const auto joined = qScopeGuard([&worker] {
        if (worker.joinable())
            worker.join();
    });
    RecordIndexer first(data, size, 0, size);
    const qsizetype readTo =
        readRange(file, data, 0, middle, piece, [&first](qsizetype read) { first.indexRead(read); });
    const qsizetype lineStart = second.lineStart();
    if (readTo == middle && lineStart < size)
        first.indexTo(lineStart);
    if (worker.joinable())
        worker.join();
    if (second.failure())
        std::rethrow_exception(second.failure());
    if (readTo < middle)
        return readTo;
    if (second.readTo() < size)
        return second.readTo();
    *index = withRoomForAdded(lineStart < size ? first.finishWith(second.index()) : first.finish());
    return size;
}

} // namespace

RecordIndex indexRecords(const QByteArray &bytes)
{
    return withRoomForAdded(RecordIndexer(bytes.constData(), bytes.size(), 0, bytes.size()).finish());
}

IndexedFile readIndexedFile(const QString &path, FileStamp *stamp, qsizetype room, qsizetype piece)
{
    const ReadingFile file(path);
    *stamp = file.stamp();
    const qsizetype size = stamp->size;
    IndexedFile read;
    read.bytes = bufferFor(size, room);
    char *data = read.bytes.data();
    const bool inHalves = size >= 2 * piece;
    const qsizetype readTo = inHalves ? readInHalves(file, data, size, piece, &read.index) : file.readAt(data, size, 0);
    read.bytes.truncate(readTo);
    // A file that grew or shrank while it was read is indexed as it was read.
    if (readTo == size)
        file.readOn(read.bytes);
    if (read.bytes.size() != size || !inHalves)
        read.index = indexRecords(read.bytes);
    return read;
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
