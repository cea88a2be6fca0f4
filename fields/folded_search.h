#pragma once

#include <QByteArray>

#include <array>

// Case-blind byte scanning of Windows-1252 text, as the main search does it:
// bytes are folded with search::FoldedNeedle::fold, never decoded.
namespace fields {

// What the scans need to know of each Windows-1252 byte.
class ByteClasses
{
public:
    // The table of the program's encoding (built once, never changed).
    static const ByteClasses &windows1252();

    unsigned char fold(unsigned char byte) const { return fold_[byte]; }
    // The byte other than `folded` that folds to it (`folded` itself when none does).
    unsigned char otherCase(unsigned char folded) const { return otherCase_[folded]; }
    // A letter or a digit in any script Windows-1252 holds.
    bool isLetterOrDigit(unsigned char byte) const { return letterOrDigit_[byte]; }

private:
    ByteClasses();
    std::array<unsigned char, 256> fold_{};
    std::array<unsigned char, 256> otherCase_{};
    std::array<bool, 256> letterOrDigit_{};
};

// A non-empty folded text to find in unfolded bytes. Candidates are the places
// where its first and last bytes match in either case, many at a step, then
// checked byte by byte.
class FoldedNeedle
{
public:
    explicit FoldedNeedle(QByteArray folded);

    qsizetype size() const { return folded_.size(); }
    const QByteArray &text() const { return folded_; }
    // The first place in [from, end - size()] where the text occurs, or -1.
    qsizetype find(const char *hay, qsizetype from, qsizetype end) const;
    // Whether the text occurs at `at` (the caller keeps it within the bytes).
    bool matchesAt(const char *at) const;

private:
    qsizetype findPlain(const char *hay, qsizetype from, qsizetype end) const;
    qsizetype findSse2(const char *hay, qsizetype from, qsizetype end) const;
    qsizetype findAvx2(const char *hay, qsizetype from, qsizetype end) const;

    QByteArray folded_;
    const ByteClasses &classes_;
};

} // namespace fields
