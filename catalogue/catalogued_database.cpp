#include "catalogue/catalogued_database.h"

#include "base/failure.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/new_database_name.h"
#include "storage/data_folder.h"
#include "storage/text_file.h"

namespace catalogue {

std::optional<QString> whyEntryFileIsRefused(const Entry &entry)
{
    if (storage::isPlainDatabaseFileName(entry.fileName))
        return std::nullopt;
    return QStringLiteral("The catalogue gives the database \"%1\" the file name \"%2\", which is not a database "
                          "file of the program folder, so it is left alone. Please correct %3.")
        .arg(entry.displayName, entry.fileName, storage::kCatalogueFile);
}

void createDatabase(const storage::DataFolder &folder, Catalogue &catalogue, const QString &name,
                    const QVector<storage::Item> &items)
{
    if (const auto refusal = whyNewNameIsRefused(name, catalogue, folder))
        throw base::Failure(base::ErrInvalidArgument, *refusal);
    const QString databasePath = folder.file(databaseFileFor(name));
    storage::rewriteItems(databasePath, items);
    try {
        appendEntry(folder.file(storage::kCatalogueFile), catalogue, name);
    } catch (const base::Failure &) {
        try {
            storage::removeFile(databasePath);
        } catch (const base::Failure &) {
            // The catalogue failure is the one to report.
        }
        throw;
    }
}

std::optional<QString> whyRemovalIsRefused(const QString &text, const Catalogue &catalogue)
{
    const QString primary = QStringLiteral("You cannot delete the primary database");
    if (text.isEmpty())
        return QStringLiteral("You must select a proper database");
    if (text == storage::kPrimaryDbName)
        return primary;
    const int index = catalogue.lastIndexOfName(text);
    if (index < 0)
        return QStringLiteral("A proper database must be selected");
    const QString &fileName = catalogue.entries[index].fileName;
    if (fileName == storage::kPrimaryDbFile)
        return primary;
    if (!catalogue.complete)
        return QStringLiteral("The catalogue file %1 could not be read in full, so no database can be removed from "
                              "it. Please correct the file and open this window again.")
            .arg(storage::kCatalogueFile);
    if (!storage::isPlainDatabaseFileName(fileName))
        return QStringLiteral("The database \"%1\" is kept: the catalogue gives it the file name \"%2\", which is not "
                              "a database file of the program folder.")
            .arg(text, fileName);
    return std::nullopt;
}

void removeDatabase(const storage::DataFolder &folder, Catalogue &catalogue, int index)
{
    if (index < 0 || index >= catalogue.count())
        throw base::Failure(base::ErrSubscriptOutOfRange,
                            QStringLiteral("Subscript out of range: no catalogue entry %1").arg(index));
    // The catalogue first: should deleting the file fail afterwards, the file
    // stays whole, out of the catalogue, instead of an entry without its file.
    const QString file = catalogue.entries[index].fileName;
    removeEntry(folder.file(storage::kCatalogueFile), catalogue, index);
    storage::removeFile(folder.file(file));
}

} // namespace catalogue
