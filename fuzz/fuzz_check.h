#pragma once

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

// A property of the code under fuzzing: when it does not hold, the input is
// reported as a crash (and kept by scripts/fuzz.sh as a regression input).
#define FUZZ_CHECK(condition)                                                                              \
    do {                                                                                                   \
        if (!(condition)) {                                                                                \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);        \
            std::abort();                                                                                  \
        }                                                                                                  \
    } while (0)

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Two files from one input: the bytes before the first NUL and those after it
// (all of them the second file when there is no NUL).
inline std::pair<QByteArray, QByteArray> twoFiles(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul < 0)
        return {QByteArray(), bytes};
    return {bytes.left(nul), bytes.mid(nul + 1)};
}
