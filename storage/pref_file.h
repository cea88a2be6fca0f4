#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace storage {

// pref.txt: the three colours of the main window, one a line, each packed as
// red + 256 * green + 65536 * blue.
struct Prefs
{
    quint32 background = 0;
    quint32 itemText = 65280;
    quint32 descriptionText = 65280;
};

inline const QString kPrefFile = QStringLiteral("pref.txt");

// The first three lines of the file. Throws a Failure: 53 when the file is
// missing, 62 when it has fewer than three lines.
QStringList readPrefLines(const QString &path);

// The colour of one line (numbered from 1, for the message). Throws a Failure:
// 13 for a line that is not a number, 6 for a number beyond 32 bits, 5 for a
// number that is no colour.
quint32 colourFromPrefLine(const QString &line, int lineNumber);

// Reads the three colours. Throws a Failure: 53 when the file is missing,
// 62 when it has fewer than three lines, 13 for a line that is not a number,
// 6 for a number beyond 32 bits, 5 for a number that is no colour.
Prefs readPrefs(const QString &path);
// The same from a file's bytes (no failure 53).
Prefs readPrefsFromBytes(const QByteArray &bytes);

// The file that start-up writes when pref.txt is missing: the default colours
// as printed numbers (" 0 ", " 65280 ", " 65280 ").
void writeDefaultPrefs(const QString &path, const Prefs &defaults);
QByteArray encodeDefaultPrefs(const Prefs &defaults);

// The file that the preferences window writes: the digits alone.
void writePrefs(const QString &path, const Prefs &prefs);
QByteArray encodePrefs(const Prefs &prefs);

} // namespace storage
