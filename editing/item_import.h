#pragma once

#include "app/item_database.h"
#include "app/text_file.h"
#include "app/item_database.h"

#include <QSet>
#include <QString>
#include <QVector>

// Importing items from a text file of records: a name line, any number of
// description lines, and an empty line (or the end of the file). Names are
// cleaned, names already present are skipped, and the new items go to the end
// of the database.
namespace itemimport {

// A name line in quoted form, starting with "'", loses its first and its last
// two characters ("'Vorpal Blade'," gives "Vorpal Blade"). A quoted line too
// short for that stays as it stands.
QString unquoted(const QString &line);

// Removes one leading English article with its blank: "a ", "A ", "the ",
// "The ", "some ", "Some ", "an ", "An " (case-sensitive; "THE KEY" and
// "anvil" stay). A name that is only the article without its blank ("the")
// stays as it stands.
QString withoutArticle(const QString &name);

// unquoted, then withoutArticle.
QString cleanedName(const QString &line);

// The names of the database and of the items added so far, in a table of a
// fixed number of slots, empty at first. A name is new when it equals none of
// the slots, the empty ones included: so the empty name is never new while a
// slot is free. Lookups are hashed, not a scan of the slots.
class NameTable
{
public:
    explicit NameTable(int slotCount = itemdb::kListCapacity);

    bool isNew(const QString &name) const;
    // Puts the name into the next free slot. Throws Failure 9 when every slot is taken.
    void add(const QString &name);
    int count() const { return count_; }

private:
    QSet<QString> filled_;
    int count_ = 0;
    int slots_;
};

// Reads every record of an import file. The items whose cleaned names are new
// are returned in file order, their description lines in stored form ("line|"
// for each); their names are added to the table. Records whose names are not
// new are skipped with their description lines.
QVector<Item> readNewItems(textfile::LineReader &file, NameTable &names);

// The items of an import file that are new to a database holding `items`, in
// file order. Throws Failure 9 when they would not fit the main window's list.
QVector<Item> newItemsFor(const QVector<Item> &items, textfile::LineReader importFile);

// The whole import into a database file: its items, then the new items of the
// import file, written back atomically (also when nothing is new). Returns the
// items added. Throws a Failure (53 for a missing database, 9 when the items
// would not fit the main window's list); the database file is then unchanged.
QVector<Item> importItems(const QString &dbPath, textfile::LineReader importFile);

} // namespace itemimport
