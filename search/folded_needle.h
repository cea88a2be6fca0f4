#pragma once

#include <QByteArray>

#include <array>

namespace search {

// A non-empty folded text to find in unfolded Windows-1252 bytes, ignoring
// case: the bytes searched are never folded as a whole. Candidates are the
// places where the first and the last byte match in either case (16 or 32
// places a step), then checked byte by byte through the fold table.
class FoldedNeedle
{
public:
    // `folded` is non-empty and holds bytes as fold() gives them.
    explicit FoldedNeedle(QByteArray folded);

    // The byte of the lower-case form of the Windows-1252 character `byte`: the
    // same as decoding it, QString::toLower, and encoding the result. Every
    // lower-case form is one byte, so folding keeps offsets.
    static unsigned char fold(unsigned char byte) { return kFold[byte]; }

    qsizetype size() const { return folded_.size(); }
    const QByteArray &text() const { return folded_; }
    // The first place in [from, end - size()] where the text occurs, or -1.
    qsizetype find(const char *hay, qsizetype from, qsizetype end) const;
    // Whether the text occurs at `at` (the caller keeps it within the bytes).
    bool matchesAt(const char *at) const
    {
        const auto *p = reinterpret_cast<const unsigned char *>(at);
        const auto *needle = reinterpret_cast<const unsigned char *>(folded_.constData());
        for (qsizetype k = 0; k < folded_.size(); ++k) {
            if (kFold[p[k]] != needle[k])
                return false;
        }
        return true;
    }

private:
    qsizetype findPlain(const char *hay, qsizetype from, qsizetype end) const;
    qsizetype findSse2(const char *hay, qsizetype from, qsizetype end) const;
    qsizetype findAvx2(const char *hay, qsizetype from, qsizetype end) const;

    // Lower case of every byte.
    static const std::array<unsigned char, 256> kFold;
    // The byte other than f that folds to f (f itself when there is none).
    static const std::array<unsigned char, 256> kOtherCase;

    QByteArray folded_;
};

} // namespace search
