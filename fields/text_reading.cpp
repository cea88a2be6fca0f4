#include "fields/text_reading.h"

#include "search/folded_needle.h"
#include "storage/windows1252.h"

#include <cstring>

namespace fields {
namespace {

// More digits than a double holds exactly are not taken as a number.
constexpr int kMostDigits = 18;
// The most words a name from the text ({name}) may have.
constexpr int kMostNameWords = 4;

} // namespace

const ByteClasses &ByteClasses::windows1252()
{
    static const ByteClasses classes;
    return classes;
}

ByteClasses::ByteClasses()
{
    for (int b = 0; b < 256; ++b)
        letterOrDigit_[b] = storage::decodeWindows1252(QByteArray(1, char(b))).at(0).isLetterOrNumber();
}

TextReader::TextReader(const char *bytes, const QVector<Coin> &coins)
    : bytes_(bytes), coins_(coins), classes_(ByteClasses::windows1252())
{
}

uchar TextReader::foldedAt(qsizetype i) const
{
    return search::FoldedNeedle::fold(at(i));
}

bool TextReader::isWordAt(qsizetype i) const
{
    return classes_.isLetterOrDigit(at(i)) || bytes_[i] == '\'' || bytes_[i] == '-' || bytes_[i] == '_';
}

qsizetype TextReader::blanks(qsizetype i, qsizetype end) const
{
    const qsizetype from = i;
    while (i < end && isBlankAt(i))
        ++i;
    return i > from ? i : -1;
}

qsizetype TextReader::digits(qsizetype i, qsizetype end, int most) const
{
    const qsizetype from = i;
    while (i < end && isDigitAt(i) && i - from <= most)
        ++i;
    return i > from && i - from <= most ? i : -1;
}

Number TextReader::number(qsizetype i, qsizetype end, bool signAllowed) const
{
    const bool negative = signAllowed && i < end && bytes_[i] == '-';
    if (signAllowed && i < end && (bytes_[i] == '-' || bytes_[i] == '+'))
        ++i;
    const qsizetype whole = digits(i, end, kMostDigits);
    if (whole < 0)
        return {};
    double value = 0;
    for (qsizetype k = i; k < whole; ++k)
        value = value * 10 + (bytes_[k] - '0');
    qsizetype after = whole;
    if (whole + 1 < end && bytes_[whole] == '.' && isDigitAt(whole + 1)) {
        after = digits(whole + 1, end, kMostDigits - int(whole - i));
        if (after < 0)
            return {};
        double scale = 1;
        for (qsizetype k = whole + 1; k < after; ++k)
            value += (bytes_[k] - '0') / (scale *= 10);
    }
    if (after < end && classes_.isLetterOrDigit(at(after)))
        return {};
    return {after, negative ? -value : value};
}

Number TextReader::dice(qsizetype i, qsizetype end) const
{
    const qsizetype count = digits(i, end, 6);
    if (count < 0 || count >= end || foldedAt(count) != 'd')
        return {};
    const qsizetype sides = digits(count + 1, end, 6);
    if (sides < 0)
        return {};
    double value = QByteArray(bytes_ + i, count - i).toDouble()
                   * (QByteArray(bytes_ + count + 1, sides - count - 1).toDouble() + 1) / 2;
    qsizetype after = sides;
    if (sides + 1 < end && (bytes_[sides] == '+' || bytes_[sides] == '-')) {
        const qsizetype plus = digits(sides + 1, end, 6);
        if (plus > 0) {
            const double modifier = QByteArray(bytes_ + sides + 1, plus - sides - 1).toDouble();
            value += bytes_[sides] == '+' ? modifier : -modifier;
            after = plus;
        }
    }
    if (after < end && classes_.isLetterOrDigit(at(after)))
        return {};
    return {after, value};
}

const Coin *TextReader::coin(qsizetype begin, qsizetype end) const
{
    for (const Coin &coin : coins_) {
        if (coin.foldedUnit.size() == end - begin && textAt(coin.foldedUnit, begin, end))
            return &coin;
    }
    return nullptr;
}

Number TextReader::money(qsizetype i, qsizetype end) const
{
    Number total;
    while (true) {
        const Number amount = number(i, end, false);
        const qsizetype unit = amount.end < 0 ? -1 : blanks(amount.end, end);
        if (unit < 0)
            break;
        qsizetype unitEnd = unit;
        while (unitEnd < end && classes_.isLetterOrDigit(at(unitEnd)))
            ++unitEnd;
        const Coin *found = coin(unit, unitEnd);
        if (!found)
            break;
        total.value += amount.value * found->value;
        total.end = unitEnd;
        i = listSeparators(unitEnd, end);
    }
    return total;
}

qsizetype TextReader::listSeparators(qsizetype i, qsizetype end) const
{
    while (i < end) {
        if (isBlankAt(i) || bytes_[i] == ',')
            ++i;
        else if (i + 3 <= end && foldedAt(i) == 'a' && foldedAt(i + 1) == 'n'
                 && foldedAt(i + 2) == 'd' && (i + 3 == end || !isWordAt(i + 3)))
            i += 3;
        else
            break;
    }
    return i;
}

qsizetype TextReader::word(qsizetype i, qsizetype end) const
{
    if (i >= end || !classes_.isLetterOrDigit(at(i)))
        return -1;
    while (i < end && isWordAt(i))
        ++i;
    return i;
}

qsizetype TextReader::words(qsizetype i, qsizetype end) const
{
    qsizetype last = word(i, end);
    while (last >= 0) {
        const qsizetype next = blanks(last, end);
        const qsizetype after = next < 0 ? -1 : word(next, end);
        if (after < 0)
            break;
        last = after;
    }
    return last;
}

qsizetype TextReader::nameWord(qsizetype i, qsizetype end, bool first) const
{
    const auto isAsciiAlnum = [this](qsizetype k) {
        const uchar f = foldedAt(k);
        return (f >= 'a' && f <= 'z') || isDigitAt(k);
    };
    if (i >= end || !isAsciiAlnum(i) || (first && isDigitAt(i)))
        return -1;
    while (i < end && (isAsciiAlnum(i) || bytes_[i] == '-' || bytes_[i] == '_'))
        ++i;
    // A name word is a whole word: "épée" gives none.
    return i < end && isWordAt(i) ? -1 : i;
}

bool TextReader::textAt(const QByteArray &folded, qsizetype i, qsizetype end) const
{
    if (end - i < folded.size())
        return false;
    for (qsizetype k = 0; k < folded.size(); ++k) {
        if (foldedAt(i + k) != uchar(folded[k]))
            return false;
    }
    return true;
}

void TextReader::normalisedName(qsizetype begin, qsizetype end, std::string *out) const
{
    out->clear();
    for (qsizetype i = begin; i < end; ++i) {
        const bool gap = isBlankAt(i) || bytes_[i] == '-';
        if (!gap)
            out->push_back(char(foldedAt(i)));
        else if (out->empty() || out->back() != '_')
            out->push_back('_');
    }
}

void TextReader::folded(qsizetype begin, qsizetype end, std::string *out) const
{
    out->resize(size_t(end - begin));
    for (qsizetype i = begin; i < end; ++i)
        (*out)[size_t(i - begin)] = char(foldedAt(i));
}

namespace {

// Reads one placeholder other than {name}; the end, or -1.
qsizetype readPlaceholder(const TextReader &reader, const PatternPart &part, qsizetype at, qsizetype end,
                          std::vector<Capture> *captures)
{
    Number read;
    switch (part.reading) {
    case Reading::Number:
    case Reading::NamedNumber:
        read = reader.number(at, end);
        break;
    case Reading::Dice:
        read = reader.dice(at, end);
        break;
    case Reading::Money:
        read = reader.money(at, end);
        break;
    case Reading::Word:
    case Reading::Words: {
        const qsizetype after = part.reading == Reading::Word ? reader.word(at, end) : reader.words(at, end);
        if (after >= 0)
            captures->push_back({&part, 0, at, after});
        return after;
    }
    case Reading::Pairs: {
        qsizetype last = -1;
        for (qsizetype i = at;;) {
            const qsizetype name = reader.nameWord(i, end, true);
            const qsizetype gap = name < 0 ? -1 : reader.blanks(name, end);
            const Number value = gap < 0 ? Number() : reader.number(gap, end);
            if (value.end < 0)
                return last;
            captures->push_back({&part, value.value, i, name});
            last = value.end;
            i = reader.listSeparators(last, end);
        }
    }
    case Reading::Name:
        return -1;
    }
    if (read.end >= 0)
        captures->push_back({&part, read.value, at, read.end});
    return read.end;
}

} // namespace

namespace {

// Matches parts[k...] at `at`; the end of the match, or -1.
qsizetype matchFrom(const TextReader &reader, const QVector<PatternPart> &parts, qsizetype k, qsizetype at,
                    qsizetype end, std::vector<Capture> *captures)
{
    for (; k < parts.size() && at >= 0; ++k) {
        const PatternPart &part = parts[k];
        if (part.type == PatternPart::Type::Text) {
            at = reader.textAt(part.folded, at, end) ? at + part.folded.size() : -1;
        } else if (part.type == PatternPart::Type::Blanks) {
            at = reader.blanks(at, end);
        } else if (part.reading != Reading::Name) {
            at = readPlaceholder(reader, part, at, end, captures);
        } else {
            // The fewest words with which the rest of the pattern matches.
            const size_t mark = captures->size();
            qsizetype wordEnd = reader.nameWord(at, end, true);
            for (int words = 1; words <= kMostNameWords && wordEnd >= 0; ++words) {
                captures->push_back({&part, 0, at, wordEnd});
                const qsizetype matched = matchFrom(reader, parts, k + 1, wordEnd, end, captures);
                if (matched >= 0)
                    return matched;
                captures->resize(mark);
                const qsizetype gap = reader.blanks(wordEnd, end);
                wordEnd = gap < 0 ? -1 : reader.nameWord(gap, end, false);
            }
            return -1;
        }
    }
    return at;
}

} // namespace

qsizetype matchRest(const TextReader &reader, const Pattern &pattern, qsizetype at, qsizetype end,
                    std::vector<Capture> *captures)
{
    return matchFrom(reader, pattern.parts, 1, at, end, captures);
}

} // namespace fields
