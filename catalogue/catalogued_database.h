#pragma once

#include "storage/data_folder.h"
#include "storage/item_database.h"

#include <QString>
#include <QVector>

#include <optional>

// Creating and removing a database together with its catalogue entry.
namespace catalogue {

struct Catalogue;
struct Entry;

// Why the file a catalogue entry names must not be read or written, as the
// message to show; nothing for a plain database file of the program folder. A
// hand-edited catalogue may name a path ("../x.txt") or a program file.
std::optional<QString> whyEntryFileIsRefused(const Entry &entry);

// Creates the database `name`: its file name + ".txt" in the program folder,
// holding `items`, and the entry (name, name + ".txt") at the end of the
// catalogue file and of `catalogue`. Nothing existing is ever overwritten: a
// name that whyNewNameIsRefused refuses throws Failure 5 with that message
// before anything is written. When the catalogue cannot be written, the new
// database file is removed again, so a later try starts clean. Throws Failure.
void createDatabase(const storage::DataFolder &folder, Catalogue &catalogue, const QString &name,
                    const QVector<storage::Item> &items);

// Why the text of the Current Database window cannot be removed, as the
// message to show; nothing when it names a catalogue entry that may go.
// Refused: the empty text; "database" and any entry whose file is
// database.txt (the primary database); a text that names no entry (exact);
// a catalogue not read in full; an entry whose file name is not a plain
// database file of the program folder (a path, a control character or
// one of the program's own files), which a hand-edited catalogue could hold.
std::optional<QString> whyRemovalIsRefused(const QString &text, const Catalogue &catalogue);

// Removes the entry at `index`: rewrites the catalogue without the entry, then
// deletes its own file (a file already gone is fine). Call it only for an entry
// whyRemovalIsRefused accepts. Throws Failure.
void removeDatabase(const storage::DataFolder &folder, Catalogue &catalogue, int index);

} // namespace catalogue
