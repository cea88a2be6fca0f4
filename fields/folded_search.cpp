#include "fields/folded_search.h"

#include "search/folded_needle.h"
#include "storage/cpu_features.h"
#include "storage/windows1252.h"

namespace fields {

const ByteClasses &ByteClasses::windows1252()
{
    static const ByteClasses classes;
    return classes;
}

ByteClasses::ByteClasses()
{
    for (int b = 0; b < 256; ++b) {
        fold_[b] = search::FoldedNeedle::fold(uchar(b));
        otherCase_[b] = uchar(b);
        letterOrDigit_[b] = storage::decodeWindows1252(QByteArray(1, char(b))).at(0).isLetterOrNumber();
    }
    for (int b = 0; b < 256; ++b) {
        if (fold_[b] != b)
            otherCase_[fold_[b]] = uchar(b);
    }
}

FoldedNeedle::FoldedNeedle(QByteArray folded) : folded_(std::move(folded)), classes_(ByteClasses::windows1252()) {}

bool FoldedNeedle::matchesAt(const char *at) const
{
    const auto *p = reinterpret_cast<const unsigned char *>(at);
    const auto *needle = reinterpret_cast<const unsigned char *>(folded_.constData());
    for (qsizetype k = 0; k < folded_.size(); ++k) {
        if (classes_.fold(p[k]) != needle[k])
            return false;
    }
    return true;
}

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
    const uchar first = uchar(folded_[0]);
    for (qsizetype i = from; i + size() <= end; ++i) {
        if (classes_.fold(uchar(hay[i])) == first && matchesAt(hay + i))
            return i;
    }
    return -1;
}

#if defined(GEARLEDGER_X86_64)
qsizetype FoldedNeedle::findSse2(const char *hay, qsizetype from, qsizetype end) const
{
    const uchar first = uchar(folded_.front());
    const uchar last = uchar(folded_.back());
    const __m128i first1 = _mm_set1_epi8(char(first));
    const __m128i first2 = _mm_set1_epi8(char(classes_.otherCase(first)));
    const __m128i last1 = _mm_set1_epi8(char(last));
    const __m128i last2 = _mm_set1_epi8(char(classes_.otherCase(last)));
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
    const uchar first = uchar(folded_.front());
    const uchar last = uchar(folded_.back());
    const __m256i first1 = _mm256_set1_epi8(char(first));
    const __m256i first2 = _mm256_set1_epi8(char(classes_.otherCase(first)));
    const __m256i last1 = _mm256_set1_epi8(char(last));
    const __m256i last2 = _mm256_set1_epi8(char(classes_.otherCase(last)));
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
#else
qsizetype FoldedNeedle::findSse2(const char *hay, qsizetype from, qsizetype end) const
{
    return findPlain(hay, from, end);
}

qsizetype FoldedNeedle::findAvx2(const char *hay, qsizetype from, qsizetype end) const
{
    return findPlain(hay, from, end);
}
#endif

} // namespace fields
