#pragma once

#include "storage/item_database.h"
#include "storage/text_file.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVector>

#include <functional>

// Importing items from a text file of records: a name line, any number of
// description lines, and an empty line (or the end of the file). Names are
// cleaned, names already present are skipped, and the new items go to the end
// of the database.
namespace editing {

// A name is cleaned in two steps, on the line's bytes (one byte a character):
// a name line in quoted form, starting with "'", loses its first and its last
// two characters ("'Vorpal Blade'," gives "Vorpal Blade"; a quoted line too
// short for that stays as it stands); then one leading English article goes
// with its blank: "a ", "A ", "the ", "The ", "some ", "Some ", "an ", "An "
// (case-sensitive; "THE KEY" and "anvil" stay; "the" alone stays).
QByteArrayView cleanedImportName(QByteArrayView line);
// The same for a line as text.
QString cleanedImportName(const QString &line);

// The names of the database and of the items added so far. A name is new when
// it equals none of them; the empty name is never new (the table always has
// room for one more name, and room counts as holding the empty name).
// Names are held as the bytes the files hold them in, which compare as the
// names do.
class NameTable
{
public:
    // Room for about `expected` names at first; the table grows as needed.
    explicit NameTable(qsizetype expected = 0);

    bool isNew(const QByteArray &name) const;
    // Adds the name. A name made with QByteArray::fromRawData must outlive the table.
    void add(const QByteArray &name);
    // The same for names as text (Failure 5 for text the files cannot hold).
    bool isNew(const QString &name) const { return isNew(storage::encodeLines({name}).chopped(2)); }
    void add(const QString &name) { add(storage::encodeLines({name}).chopped(2)); }
    qsizetype count() const { return count_; }

private:
    QSet<QByteArray> filled_;
    qsizetype count_ = 0;
};

// Reads every record of an import file. The items whose cleaned names are new
// are returned in file order, their description lines in stored form ("line|"
// for each); their names are added to the table. Records whose names are not
// new are skipped with their description lines.
QVector<storage::Item> readNewImportItems(storage::LineReader &file, NameTable &names);

// The records of an import file whose cleaned names are new, in file order, as
// a database file holds them: the name line and the stored description line
// ("line|" for each description line), each ending in CR LF; their names are
// added to the table and *count says how many. carryOn, when given, is told
// every so often how many bytes of the import were read; when it answers
// false the reading stops: nothing is returned and *count is -1.
QByteArray newImportRecords(QByteArrayView importBytes, NameTable &names, int *count,
                            const std::function<bool(qsizetype done)> &carryOn = {});

} // namespace editing
