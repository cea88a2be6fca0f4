#pragma once

#include "storage/item_database.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

class QMimeData;

// Game output as the catalogue takes it in: the text a game prints when an item
// is identified, pasted from the clipboard or read from a log, and the text
// Copy Item puts out.
namespace editing {

// A line as the catalogue keeps it: the colour and cursor escapes games send
// (ESC [ ... m and the other ESC [ sequences) removed, each tab expanded to
// blanks up to the next column that is a multiple of eight, trailing blanks removed.
QString cleanedLine(QStringView line);

// The text's lines, each cleaned, without the empty lines before the first
// line and after the last. A line ends at CR LF, LF CR, LF or CR.
QStringList cleanedLines(QStringView text);

// An item found in a block of game output.
struct IdentifiedItem
{
    QString name;
    QStringList descriptionLines;
};

// Finds the item in a block's cleaned lines. The name is, first to last:
//  - the quoted name of the first line of the form Object 'NAME' is ...
//    (single or double quotes; without " is", the first closing quote that
//    ends a word: Object 'Ogre's club', Item type: ...);
//  - the text after "Name:" at the start of a line (after blanks);
//  - the first line that is not empty.
// The name has no blanks at either end. The description is the other lines of
// the block: the Object line stays in it (it tells the item's type and flags),
// while a line that gave the name alone, "Name:" or the first line, does not;
// with an Object line, a first line that holds just the name (the heading Copy
// Item writes) is left out too. Nothing when the lines hold no text.
std::optional<IdentifiedItem> findIdentifiedItem(const QStringList &lines);

// findItem on the cleaned lines of a text (a paste).
std::optional<IdentifiedItem> identifiedItemFromText(QStringView text);

// The stored form of description lines: each line followed by "|", "|" for
// none, as the Add New Item window stores the same lines.
QString storedDescription(const QStringList &lines);

// An item as Copy Item puts it out: the name, then the description with each
// "|" as a line break ("\n"), for a game channel, a forum or another catalogue.
// itemFromText gives back the name and the lines it can tell apart.
QString itemAsText(const storage::Item &item);

// The clipboard format in which Copy Item also puts the item exactly as the
// database holds it: the name, a line break ("\n"), the stored description, in UTF-8.
inline const QString kItemMimeType = QStringLiteral("application/x-gearledger-item");

// What Copy Item puts on the clipboard: the item as text and in kItemMimeType.
// The caller owns it (QClipboard::setMimeData takes it).
QMimeData *itemAsMimeData(const storage::Item &item);

// The most characters Paste As New Item takes; a longer clipboard text is
// refused before it is cleaned. The name box holds kLongestPastedName.
inline constexpr qsizetype kPasteLimit = 1 << 20;
inline constexpr qsizetype kLongestPastedName = 32767;

// The item Paste As New Item makes of the clipboard's content: the item Copy
// Item put there exactly (kItemMimeType, when its content is one name line and
// one description line), else the item findItem finds in the text, its
// description in the stored form (storedDescription). Nothing, with the
// message for the user in *refusal, when there is no text to make an item of,
// more than kPasteLimit characters, or a name longer than kLongestPastedName.
std::optional<storage::Item> pastedItem(const QMimeData *clipboard, QString *refusal);

} // namespace editing
