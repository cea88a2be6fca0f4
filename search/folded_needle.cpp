#include "search/folded_needle.h"

#include "storage/cpu_features.h"

namespace search {
namespace {

// Lower case of every Windows-1252 character, as Qt maps it: A-Z, the Latin-1
// capitals from À to Þ but ×, and Š, Œ, Ž, Ÿ of the 0x80 row.
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

constexpr std::array<unsigned char, 256> makeOtherCaseTable(const std::array<unsigned char, 256> &fold)
{
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<unsigned char>(b);
    for (int b = 0; b < 256; ++b) {
        if (fold[b] != b)
            table[fold[b]] = static_cast<unsigned char>(b);
    }
    return table;
}

// The vector scans test each candidate byte against two values only.
constexpr bool atMostTwoBytesFoldToEach(const std::array<unsigned char, 256> &fold)
{
    for (int f = 0; f < 256; ++f) {
        int count = 0;
        for (int b = 0; b < 256; ++b)
            count += fold[b] == f;
        if (count > 2)
            return false;
    }
    return true;
}
static_assert(atMostTwoBytesFoldToEach(makeFoldTable()));

} // namespace

const std::array<unsigned char, 256> FoldedNeedle::kFold = makeFoldTable();
const std::array<unsigned char, 256> FoldedNeedle::kOtherCase = makeOtherCaseTable(makeFoldTable());

FoldedNeedle::FoldedNeedle(QByteArray folded) : folded_(std::move(folded)) {}

qsizetype FoldedNeedle::find(const char *hay, qsizetype from, qsizetype end) const
{
#if defined(GEARLEDGER_X86_64)
    if (storage::hasAvx2())
        return findAvx2(hay, from, end);
    return findSse2(hay, from, end);
#else
    return findPlain(hay, from, end);
#endif
}

qsizetype FoldedNeedle::findPlain(const char *hay, qsizetype from, qsizetype end) const
{
    for (qsizetype i = from; i + size() <= end; ++i) {
        if (matchesAt(hay + i))
            return i;
    }
    return -1;
}

#if defined(GEARLEDGER_X86_64)
qsizetype FoldedNeedle::findSse2(const char *hay, qsizetype from, qsizetype end) const
{
    const unsigned char first = uchar(folded_.front());
    const unsigned char last = uchar(folded_.back());
    const __m128i first1 = _mm_set1_epi8(char(first));
    const __m128i first2 = _mm_set1_epi8(char(kOtherCase[first]));
    const __m128i last1 = _mm_set1_epi8(char(last));
    const __m128i last2 = _mm_set1_epi8(char(kOtherCase[last]));
    const qsizetype size = folded_.size();
    qsizetype i = from;
    for (; i + 15 + size <= end; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hay + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hay + i + size - 1));
        const __m128i atFirst = _mm_or_si128(_mm_cmpeq_epi8(a, first1), _mm_cmpeq_epi8(a, first2));
        const __m128i atLast = _mm_or_si128(_mm_cmpeq_epi8(b, last1), _mm_cmpeq_epi8(b, last2));
        for (unsigned bits = unsigned(_mm_movemask_epi8(_mm_and_si128(atFirst, atLast))); bits; bits &= bits - 1) {
            if (matchesAt(hay + i + __builtin_ctz(bits)))
                return i + __builtin_ctz(bits);
        }
    }
    return findPlain(hay, i, end);
}

__attribute__((target("avx2,bmi"))) qsizetype FoldedNeedle::findAvx2(const char *hay, qsizetype from,
                                                                    qsizetype end) const
{
    const unsigned char first = uchar(folded_.front());
    const unsigned char last = uchar(folded_.back());
    const __m256i first1 = _mm256_set1_epi8(char(first));
    const __m256i first2 = _mm256_set1_epi8(char(kOtherCase[first]));
    const __m256i last1 = _mm256_set1_epi8(char(last));
    const __m256i last2 = _mm256_set1_epi8(char(kOtherCase[last]));
    const qsizetype size = folded_.size();
    qsizetype i = from;
    for (; i + 31 + size <= end; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(hay + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(hay + i + size - 1));
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

} // namespace search
