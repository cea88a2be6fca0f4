#pragma once

#include <QString>

// The two forms of an item description: the stored form of the database file
// (one line, "|" after every line of the description) and the text the editing
// windows show and take.
namespace editing {

// Turns a typed description into its stored form through the scratch file: the
// text is written to the file followed by one line end and read back line by
// line, each line followed by "|". A text of the lines x and y becomes "x|y|",
// an empty text "|", a text ending in a line end gains an empty last line.
// The scratch file keeps the typed text afterwards. Throws a Failure when the
// scratch file cannot be written or read, and Failure 5 (writing nothing)
// when the text holds a character the program's files cannot hold.
QString encodeThroughScratch(const QString &scratchPath, const QString &typed);

// The text an editor shows for a stored description: one line per stored line,
// without the empty line after the final "|" that every encoding adds, so that
// encoding the shown text unchanged gives the stored form back ("x|" shows "x").
// Line breaks are "\n", as Qt's text boxes hold them.
QString editableForm(const QString &stored);

// The longest line a text box is given. Qt lays out a line at once, in time
// that grows with the square of its length when it has no blank to wrap at.
inline constexpr qsizetype kShownLineLength = 2000;

// A text ("\n" between lines) as a text box shows it: every line longer than
// kShownLineLength broken into lines of that many characters (one fewer where
// the cut would part a surrogate pair). Sets *broken to whether a line was broken.
QString shownForm(const QString &text, bool *broken = nullptr);

} // namespace editing
