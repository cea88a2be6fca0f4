#pragma once

#include "base/failure.h"
#include "storage/data_folder.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// The catalogue datalist.txt: which databases exist. Line 1 holds the number
// of entries N; then each entry is two lines, its display name and its file
// name (a bare file name in the program folder). The program writes line 1 as
// " 3 "; the seed catalogue holds "1"; a reader takes the number at the start
// of the line and ignores blanks. Names are compared exactly everywhere.
namespace catalogue {

// The most entries a catalogue keeps.
inline constexpr int kMaxEntries = 50;

struct Entry
{
    QString displayName;
    QString fileName;

    bool operator==(const Entry &other) const
    {
        return displayName == other.displayName && fileName == other.fileName;
    }
};

// The catalogue as read from its file (the program object keeps the one the windows show).
struct Catalogue
{
    // In file order, at most kMaxEntries.
    QVector<Entry> entries;
    // False when reading stopped at a failure: the file may hold entries that
    // are not in `entries`, so the file must not be rewritten from this copy.
    bool complete = true;

    int count() const { return int(entries.size()); }
    bool isFull() const { return entries.size() >= kMaxEntries; }
    // Position of the last entry with this display name (exact), -1 if none.
    // Lookups by name take the last match.
    int lastIndexOfName(const QString &displayName) const;
    // Position of the last entry with this file name (exact), -1 if none:
    // the entry a window preselects for the current database file.
    int lastIndexOfFile(const QString &fileName) const;
};

// What reading the file gave: the complete entries read, and the failure that
// stopped the reading, if any (then catalogue.complete is false).
struct CatalogueRead
{
    Catalogue catalogue;
    std::optional<base::Failure> failure;
};

// Reads the catalogue file. Failures (never thrown, returned with the entries
// read before them):
//   53 the file is missing (the caller writes the seed catalogue);
//   6  the count line is beyond 16 bits (-32768..32767);
//   9  the count is above 50 (the first 50 entries are kept);
//   62 the file ends before the entries its count line announces;
//   70/75 the file cannot be read.
// A count line that does not start with a number counts as 0.
CatalogueRead readCatalogue(const QString &path);
// The same from a file's bytes (failures 6, 9 and 62 only).
CatalogueRead readCatalogueFromBytes(const QByteArray &bytes);

// The bytes of the catalogue as the program writes it: the count in the
// printed-number form (" 2 ") and then every entry, lines ending in CR LF.
// Throws Failure 5 for text that Windows-1252 cannot hold.
QByteArray encodeCatalogue(const QVector<Entry> &entries);

// The seed catalogue: "1", "database", "database.txt".
QByteArray seedCatalogueBytes();
// Writes the seed catalogue (atomically). Throws Failure.
void writeSeedCatalogue(const QString &path);

// Both rewrites below start from the entries the file holds at that moment
// (the file may have changed since `catalogue` was read, by hand or by a restore;
// a missing file counts as holding `catalogue`), rewrite the whole file
// atomically, and then leave `catalogue` equal to what was written. They throw
// Failure with the file and `catalogue` unchanged: 5 when `catalogue` was not
// read in full, a failure of reading the file again, or the write failure.

// Appends the entry (displayName, displayName + ".txt") at the end. Throws
// Failure 9, writing nothing, when the catalogue already holds 50 entries.
void appendEntry(const QString &path, Catalogue &catalogue, const QString &displayName);

// Removes the entry at `index` (0-based) of `catalogue` (its last match in
// the file): the others keep their order and the count line is one less.
// An entry the file no longer holds leaves the file as it is.
void removeEntry(const QString &path, Catalogue &catalogue, int index);

// The file name the program gives a new database: displayName + ".txt".
QString databaseFileFor(const QString &displayName);

} // namespace catalogue
