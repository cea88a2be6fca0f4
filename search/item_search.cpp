#include "search/item_search.h"

#include "storage/cpu_features.h"
#include "storage/windows1252.h"

#include <algorithm>
#include <array>
#include <limits>

namespace search {
namespace {

using storage::Record;
using storage::Span;

// Lower case of every Windows-1252 character, as Qt maps it: A-Z, the Latin-1
// capitals from À to Þ but ×, and Š, Œ, Ž, Ÿ of the 0x80 row. Every lower-case
// form is itself a Windows-1252 character of one byte, so folding keeps offsets.
constexpr std::array<unsigned char, 256> makeFoldTable()
{
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<unsigned char>(b);
    for (int b = 'A'; b <= 'Z'; ++b)
        table[b] = static_cast<unsigned char>(b + 0x20);
    for (int b = 0xC0; b <= 0xDE; ++b) {
        if (b != 0xD7)
            table[b] = static_cast<unsigned char>(b + 0x20);
    }
    table[0x8A] = 0x9A;
    table[0x8C] = 0x9C;
    table[0x8E] = 0x9E;
    table[0x9F] = 0xFF;
    return table;
}
constexpr std::array<unsigned char, 256> kFold = makeFoldTable();

// The byte other than f that folds to f (f itself when there is none).
constexpr std::array<unsigned char, 256> makeOtherCaseTable()
{
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<unsigned char>(b);
    for (int b = 0; b < 256; ++b) {
        if (kFold[b] != b)
            table[kFold[b]] = static_cast<unsigned char>(b);
    }
    return table;
}
constexpr std::array<unsigned char, 256> kOtherCase = makeOtherCaseTable();

// The vector scan below tests each candidate byte against two values only.
constexpr bool atMostTwoBytesFoldToEach()
{
    for (int f = 0; f < 256; ++f) {
        int count = 0;
        for (int b = 0; b < 256; ++b)
            count += kFold[b] == f;
        if (count > 2)
            return false;
    }
    return true;
}
static_assert(atMostTwoBytesFoldToEach());

// A non-empty folded search text, found in unfolded bytes: the haystack is
// never folded as a whole. Candidates are the places where the first and the
// last byte match in either case (16 or 32 places a step), then checked byte
// by byte through the fold table.
class FoldedNeedle
{
public:
    explicit FoldedNeedle(const QByteArray &folded)
        : bytes_(reinterpret_cast<const unsigned char *>(folded.constData())), size_(folded.size())
    {
    }

    qsizetype size() const { return size_; }

    // The first place in [from, end - size()] where the text occurs, or -1.
    qsizetype find(const unsigned char *hay, qsizetype from, qsizetype end) const
    {
#if defined(GEARLEDGER_X86_64)
        if (storage::hasAvx2())
            return findAvx2(hay, from, end);
        return findSse2(hay, from, end);
#else
        return findFrom(hay, from, end);
#endif
    }

private:
    bool matchesAt(const unsigned char *p) const
    {
        for (qsizetype k = 0; k < size_; ++k) {
            if (kFold[p[k]] != bytes_[k])
                return false;
        }
        return true;
    }

    qsizetype findFrom(const unsigned char *hay, qsizetype from, qsizetype end) const
    {
        for (qsizetype i = from; i + size_ <= end; ++i) {
            if (matchesAt(hay + i))
                return i;
        }
        return -1;
    }

#if defined(GEARLEDGER_X86_64)
    qsizetype findSse2(const unsigned char *hay, qsizetype from, qsizetype end) const
    {
        const unsigned char first = bytes_[0];
        const unsigned char last = bytes_[size_ - 1];
        const __m128i first1 = _mm_set1_epi8(char(first));
        const __m128i first2 = _mm_set1_epi8(char(kOtherCase[first]));
        const __m128i last1 = _mm_set1_epi8(char(last));
        const __m128i last2 = _mm_set1_epi8(char(kOtherCase[last]));
        qsizetype i = from;
        for (; i + 15 + size_ <= end; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hay + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hay + i + size_ - 1));
            const __m128i atFirst = _mm_or_si128(_mm_cmpeq_epi8(a, first1), _mm_cmpeq_epi8(a, first2));
            const __m128i atLast = _mm_or_si128(_mm_cmpeq_epi8(b, last1), _mm_cmpeq_epi8(b, last2));
            for (unsigned bits = unsigned(_mm_movemask_epi8(_mm_and_si128(atFirst, atLast))); bits; bits &= bits - 1) {
                if (matchesAt(hay + i + __builtin_ctz(bits)))
                    return i + __builtin_ctz(bits);
            }
        }
        return findFrom(hay, i, end);
    }

    __attribute__((target("avx2,bmi"))) qsizetype findAvx2(const unsigned char *hay, qsizetype from,
                                                           qsizetype end) const
    {
        const unsigned char first = bytes_[0];
        const unsigned char last = bytes_[size_ - 1];
        const __m256i first1 = _mm256_set1_epi8(char(first));
        const __m256i first2 = _mm256_set1_epi8(char(kOtherCase[first]));
        const __m256i last1 = _mm256_set1_epi8(char(last));
        const __m256i last2 = _mm256_set1_epi8(char(kOtherCase[last]));
        qsizetype i = from;
        for (; i + 31 + size_ <= end; i += 32) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(hay + i));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(hay + i + size_ - 1));
            const __m256i atFirst = _mm256_or_si256(_mm256_cmpeq_epi8(a, first1), _mm256_cmpeq_epi8(a, first2));
            const __m256i atLast = _mm256_or_si256(_mm256_cmpeq_epi8(b, last1), _mm256_cmpeq_epi8(b, last2));
            for (unsigned bits = unsigned(_mm256_movemask_epi8(_mm256_and_si256(atFirst, atLast))); bits;
                 bits &= bits - 1) {
                if (matchesAt(hay + i + __builtin_ctz(bits)))
                    return i + __builtin_ctz(bits);
            }
        }
        return findSse2(hay, i, end);
    }
#endif

    const unsigned char *bytes_;
    qsizetype size_;
};

qsizetype endOf(const Span &span)
{
    return span.begin + span.length;
}

// Collects hits in file order up to the limit.
class Hits
{
public:
    Hits(int limit, bool *more) : limit_(limit), more_(more) { *more_ = false; }

    // False once the limit is passed: the search stops.
    bool add(int record)
    {
        if (list.size() >= limit_) {
            *more_ = true;
            return false;
        }
        list.append(record);
        return true;
    }

    QVector<int> list;

private:
    int limit_;
    bool *more_;
};

// Every record whose searched text is not empty: the empty search text's hits.
QVector<int> findNonEmpty(const storage::RecordIndex &index, SearchIn where, int limit, bool *more)
{
    Hits hits(limit, more);
    for (int r = 0; r < index.records.size(); ++r) {
        const Record &record = index.records[r];
        const bool nameCounts = where != SearchIn::Descriptions && record.name.length > 0;
        const bool descriptionCounts = where != SearchIn::Names && record.description.length > 0;
        if ((nameCounts || descriptionCounts) && !hits.add(r))
            break;
    }
    return hits.list;
}

// One scan over the bytes from the first searched line to the last: each
// occurrence is mapped to its record by a galloping search over the spans, and
// kept only when it lies wholly inside a searched line. After a hit the scan
// goes on at the next record, after a miss at the next searched line.
QVector<int> findOccurrences(const QByteArray &bytes, const storage::RecordIndex &index, const FoldedNeedle &needle,
                             SearchIn where, int limit, bool *more)
{
    Hits hits(limit, more);
    const QVector<Record> &records = index.records;
    const int count = records.size();
    if (count == 0)
        return hits.list;
    // The line of a record where its searched text starts.
    const auto firstLine = [where](const Record &record) -> const Span & {
        return where == SearchIn::Descriptions ? record.description : record.name;
    };
    const auto holds = [&needle](const Span &span, qsizetype at) {
        return at >= span.begin && at + needle.size() <= endOf(span);
    };
    const auto *hay = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype end = endOf(where == SearchIn::Names ? records.last().name : records.last().description);
    int r = 0;
    qsizetype from = firstLine(records[0]).begin;
    while (r < count) {
        const qsizetype at = needle.find(hay, from, end);
        if (at < 0)
            break;
        // The record is most often the current one or the next: gallop from it.
        int past = r + 1;
        for (int step = 1; past < count && firstLine(records[past]).begin <= at; step *= 2) {
            r = past;
            past = r + step;
        }
        r = int(std::upper_bound(records.begin() + r, records.begin() + qMin(past, count), at,
                                 [&](qsizetype pos, const Record &record) { return pos < firstLine(record).begin; })
                - records.begin())
            - 1;
        const Record &record = records[r];
        if (holds(firstLine(record), at) || (where == SearchIn::Both && holds(record.description, at))) {
            if (!hits.add(r))
                break;
        } else if (where == SearchIn::Both && at < record.description.begin) {
            from = record.description.begin;
            continue;
        }
        if (++r < count)
            from = firstLine(records[r]).begin;
    }
    return hits.list;
}

// Decodes every searched line: for search texts whose lower case has no
// Windows-1252 form.
QVector<int> findByDecoding(const QByteArray &bytes, const storage::RecordIndex &index, const QString &text,
                            SearchIn where, int limit, bool *more)
{
    const auto contains = [&](const Span &span) {
        return containsIgnoringCase(
            storage::decodeWindows1252(QByteArray::fromRawData(bytes.constData() + span.begin, span.length)), text);
    };
    Hits hits(limit, more);
    for (int r = 0; r < index.records.size(); ++r) {
        const Record &record = index.records[r];
        bool hit = false;
        switch (where) {
        case SearchIn::Names:
            hit = contains(record.name);
            break;
        case SearchIn::Descriptions:
            hit = contains(record.description);
            break;
        case SearchIn::Both:
            hit = contains(record.description) || contains(record.name);
            break;
        }
        if (hit && !hits.add(r))
            break;
    }
    return hits.list;
}

} // namespace

unsigned char foldedByte(unsigned char byte)
{
    return kFold[byte];
}

bool containsIgnoringCase(const QString &text, const QString &what)
{
    if (text.isEmpty())
        return false;
    return text.toLower().contains(what.toLower());
}

QVector<int> findRecords(const QByteArray &bytes, const storage::RecordIndex &index, const QString &text,
                         SearchIn where, int limit, bool *more)
{
    if (text.isEmpty())
        return findNonEmpty(index, where, limit, more);
    QByteArray folded;
    if (!storage::encodeWindows1252(text.toLower(), &folded))
        return findByDecoding(bytes, index, text, where, limit, more);
    return findOccurrences(bytes, index, FoldedNeedle(folded), where, limit, more);
}

QVector<int> findRecords(const QByteArray &bytes, const storage::RecordIndex &index, const QString &text,
                         SearchIn where)
{
    bool more = false;
    return findRecords(bytes, index, text, where, std::numeric_limits<int>::max(), &more);
}

} // namespace search
