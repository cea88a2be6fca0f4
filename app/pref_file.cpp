#include "app/pref_file.h"

#include "app/text_file.h"

#include <algorithm>
#include <limits>

namespace preffile {

quint32 colourFromLine(const QString &line, int lineNumber)
{
    const auto value = textfile::wholeNumber(line);
    if (!value) {
        // A run of digits too long for 64 bits is still a number, just too large.
        const QString t = line.trimmed();
        const bool digits = !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit(); });
        if (digits)
            throw base::Failure(base::ErrOverflow, QStringLiteral("Overflow (pref.txt line %1)").arg(lineNumber));
        throw base::Failure(base::ErrTypeMismatch,
                            QStringLiteral("Type mismatch (pref.txt line %1 is not a number)").arg(lineNumber));
    }
    if (*value < std::numeric_limits<qint32>::min() || *value > std::numeric_limits<qint32>::max())
        throw base::Failure(base::ErrOverflow, QStringLiteral("Overflow (pref.txt line %1)").arg(lineNumber));
    if (*value < 0 || *value > 0xFFFFFF)
        throw base::Failure(
            base::ErrInvalidArgument,
            QStringLiteral("Invalid property value (pref.txt line %1 is not a colour)").arg(lineNumber));
    return quint32(*value);
}

namespace {

QStringList firstThreeLines(textfile::LineReader reader)
{
    QStringList lines;
    for (int i = 0; i < 3; ++i)
        lines.append(reader.readLine());
    return lines;
}

Prefs fromLines(const QStringList &lines)
{
    Prefs prefs;
    prefs.background = colourFromLine(lines[0], 1);
    prefs.itemText = colourFromLine(lines[1], 2);
    prefs.descriptionText = colourFromLine(lines[2], 3);
    return prefs;
}

} // namespace

QStringList readLines(const QString &path)
{
    return firstThreeLines(textfile::LineReader(path));
}

Prefs read(const QString &path)
{
    return fromLines(readLines(path));
}

Prefs readFromBytes(const QByteArray &bytes)
{
    return fromLines(firstThreeLines(textfile::LineReader::fromBytes(bytes, kFileName)));
}

QByteArray encodeDefaults(const Prefs &defaults)
{
    return textfile::encodeLines({textfile::printedNumber(defaults.background), textfile::printedNumber(defaults.itemText),
                                  textfile::printedNumber(defaults.descriptionText)});
}

void writeDefaults(const QString &path, const Prefs &defaults)
{
    textfile::saveAtomically(path, encodeDefaults(defaults));
}

QByteArray encode(const Prefs &prefs)
{
    return textfile::encodeLines({QString::number(prefs.background), QString::number(prefs.itemText),
                                  QString::number(prefs.descriptionText)});
}

void write(const QString &path, const Prefs &prefs)
{
    textfile::saveAtomically(path, encode(prefs));
}

} // namespace preffile
