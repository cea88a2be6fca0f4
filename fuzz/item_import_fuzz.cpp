// Importing a file of records into a database (the input holds the database,
// a NUL, then the import file): cleaning a name only takes characters away,
// the database's items stay as they were, the new names are new, the result
// writes and reads back whole, and importing the same file again adds nothing.
#include "base/failure.h"
#include "editing/item_import.h"
#include "fuzz_check.h"
#include "storage/item_database.h"

#include <QSet>

namespace {

editing::NameTable namesOf(const QVector<storage::Item> &items)
{
    editing::NameTable names;
    for (const storage::Item &item : items)
        names.add(item.name);
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [databaseBytes, importBytes] = twoFiles(fuzzBytes(data, size));
    QVector<storage::Item> database;
    try {
        database = storage::readItemsFromBytes(databaseBytes);
    } catch (const base::Failure &) {
        return 0; // an import refuses a database that is not whole
    }
    for (storage::LineReader lines = storage::LineReader::fromBytes(importBytes); !lines.atEnd();) {
        const QString line = lines.readLine();
        FUZZ_CHECK(line.contains(editing::cleanedImportName(line)));
    }

    editing::NameTable names = namesOf(database);
    storage::LineReader importFile = storage::LineReader::fromBytes(importBytes);
    const QVector<storage::Item> added = editing::readNewImportItems(importFile, names);
    QSet<QString> seen;
    for (const storage::Item &item : database)
        seen.insert(item.name);
    for (const storage::Item &item : added) {
        FUZZ_CHECK(!seen.contains(item.name));
        seen.insert(item.name);
    }

    const QVector<storage::Item> after = storage::readItemsFromBytes(storage::encodeItems(database + added));
    FUZZ_CHECK(after == database + added);
    editing::NameTable namesAfter = namesOf(after);
    storage::LineReader again = storage::LineReader::fromBytes(importBytes);
    FUZZ_CHECK(editing::readNewImportItems(again, namesAfter).isEmpty());
    return 0;
}
