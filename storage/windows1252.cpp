#include "storage/windows1252.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace storage {
namespace {

// Unicode code points of the bytes 0x80 to 0x9F; the other bytes are Latin-1.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Returns the byte for a code point, or -1 when there is none.
int byteFor(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < int(kHighTable.size()); ++i) {
        if (kHighTable[i] == u)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString decodeWindows1252(const QByteArray &bytes)
{
    // Latin-1 holds every byte but 0x80 to 0x9F as the same code point, and Qt
    // converts it a block at a time; those few bytes are mended afterwards.
    QString text = QString::fromLatin1(bytes);
    const char *src = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        // Eight bytes without a high bit at a time: most game text is ASCII.
        if (i + 8 <= size) {
            quint64 word;
            std::memcpy(&word, src + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const auto b = static_cast<unsigned char>(src[i]);
        if (b >= 0x80 && b < 0xA0)
            text[i] = QChar(kHighTable[b - 0x80]);
        ++i;
    }
    return text;
}

bool encodeWindows1252(const QString &text, QByteArray *out, QString *badChar)
{
    // ASCII text, most of what the files hold, converts a block at a time.
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
        *out = text.toLatin1();
        return true;
    }
    out->resize(text.size());
    char *dst = out->data();
    const QChar *src = text.constData();
    for (int i = 0; i < text.size(); ++i) {
        const int b = byteFor(src[i].unicode());
        if (b < 0) {
            if (badChar) {
                // Report a whole surrogate pair as one character.
                if (src[i].isHighSurrogate() && i + 1 < text.size())
                    *badChar = text.mid(i, 2);
                else
                    *badChar = QString(src[i]);
            }
            return false;
        }
        dst[i] = static_cast<char>(b);
    }
    return true;
}

bool canEncodeWindows1252(const QString &text)
{
    for (const QChar c : text) {
        if (byteFor(c.unicode()) < 0)
            return false;
    }
    return true;
}

} // namespace storage
