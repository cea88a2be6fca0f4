#pragma once

#include "fields/rules.h"

#include <QtGlobal>

#include <array>
#include <string>
#include <vector>

// Reading the placeholders of patterns at a place of a description's bytes.
// Every reader gets the place and the end of the description, and gives the
// place after what it read, or -1 when the text there is not of its kind. No
// reader passes a "|" (a line break) or the end.
namespace fields {

// Which Windows-1252 bytes are letters or digits (in any script the encoding
// holds). Bytes are folded with search::FoldedNeedle::fold, never decoded.
class ByteClasses
{
public:
    // The table of the program's encoding (built once, never changed).
    static const ByteClasses &windows1252();

    bool isLetterOrDigit(unsigned char byte) const { return letterOrDigit_[byte]; }

private:
    ByteClasses();
    std::array<bool, 256> letterOrDigit_{};
};

struct Number
{
    qsizetype end = -1;
    double value = 0;
};

// The text a pattern matched at its placeholders.
struct Capture
{
    const PatternPart *part = nullptr;
    double number = 0;
    // A word, words, or a name from the text (with `number` its value).
    qsizetype begin = 0;
    qsizetype end = 0;
};

class TextReader
{
public:
    TextReader(const char *bytes, const QVector<Coin> &coins);

    qsizetype blanks(qsizetype at, qsizetype end) const;
    // A number with optional sign and decimals, ending where a word ends.
    Number number(qsizetype at, qsizetype end, bool signAllowed = true) const;
    // NdM, NdM+K, NdM-K: its average.
    Number dice(qsizetype at, qsizetype end) const;
    // Amounts of coins separated by blanks, commas and "and": their worth.
    Number money(qsizetype at, qsizetype end) const;
    // One word: letters, digits, ' - _, beginning with a letter or digit.
    qsizetype word(qsizetype at, qsizetype end) const;
    // Words separated by blanks.
    qsizetype words(qsizetype at, qsizetype end) const;
    // A word that may be part of a field's name: ASCII letters, digits, - and _.
    qsizetype nameWord(qsizetype at, qsizetype end, bool first) const;
    // Blanks, commas and "and" between the items of a list.
    qsizetype listSeparators(qsizetype at, qsizetype end) const;
    // Whether a placeholder-free text part matches at `at`.
    bool textAt(const QByteArray &folded, qsizetype at, qsizetype end) const;
    // A field name of the words [begin, end): folded, runs of blanks and - as "_".
    void normalisedName(qsizetype begin, qsizetype end, std::string *out) const;
    // The folded bytes of [begin, end).
    void folded(qsizetype begin, qsizetype end, std::string *out) const;

private:
    uchar at(qsizetype i) const { return uchar(bytes_[i]); }
    uchar foldedAt(qsizetype i) const;
    bool isBlankAt(qsizetype i) const { return bytes_[i] == ' ' || bytes_[i] == '\t'; }
    bool isDigitAt(qsizetype i) const { return bytes_[i] >= '0' && bytes_[i] <= '9'; }
    bool isWordAt(qsizetype i) const;
    qsizetype digits(qsizetype at, qsizetype end, int most) const;
    const Coin *coin(qsizetype begin, qsizetype end) const;

    const char *bytes_;
    const QVector<Coin> &coins_;
    const ByteClasses &classes_;
};

// Matches the parts of a pattern after its first text, appending what the
// placeholders read to *captures. Returns the end of the match, or -1.
qsizetype matchRest(const TextReader &reader, const Pattern &pattern, qsizetype at, qsizetype end,
                    std::vector<Capture> *captures);

} // namespace fields
