#include "storage/pref_file.h"

#include "storage/text_file.h"

#include <algorithm>
#include <limits>

namespace storage {

quint32 colourFromPrefLine(const QString &line, int lineNumber)
{
    const auto value = wholeNumber(line);
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

QStringList firstThreeLines(LineReader reader)
{
    QStringList lines;
    for (int i = 0; i < 3; ++i)
        lines.append(reader.readLine());
    return lines;
}

Prefs fromLines(const QStringList &lines)
{
    Prefs prefs;
    prefs.background = colourFromPrefLine(lines[0], 1);
    prefs.itemText = colourFromPrefLine(lines[1], 2);
    prefs.descriptionText = colourFromPrefLine(lines[2], 3);
    return prefs;
}

} // namespace

QStringList readPrefLines(const QString &path)
{
    return firstThreeLines(LineReader(path));
}

Prefs readPrefs(const QString &path)
{
    return fromLines(readPrefLines(path));
}

Prefs readPrefsFromBytes(const QByteArray &bytes)
{
    return fromLines(firstThreeLines(LineReader::fromBytes(bytes, kPrefFile)));
}

QByteArray encodeDefaultPrefs(const Prefs &defaults)
{
    return encodeLines({printedNumber(defaults.background), printedNumber(defaults.itemText),
                        printedNumber(defaults.descriptionText)});
}

void writeDefaultPrefs(const QString &path, const Prefs &defaults)
{
    saveAtomically(path, encodeDefaultPrefs(defaults));
}

QByteArray encodePrefs(const Prefs &prefs)
{
    return encodeLines(
        {QString::number(prefs.background), QString::number(prefs.itemText), QString::number(prefs.descriptionText)});
}

void writePrefs(const QString &path, const Prefs &prefs)
{
    saveAtomically(path, encodePrefs(prefs));
}

} // namespace storage
