// The program object's operations on the catalogue and on downloaded databases.
#include "program/program.h"

#include "catalogue/catalogued_database.h"
#include "catalogue/download_merge.h"
#include "catalogue/new_database_name.h"
#include "download/download_files.h"
#include "editing/record_edit.h"
#include "storage/text_file.h"

#include <QFileInfo>

namespace program {

catalogue::CatalogueRead Program::readCatalogue() const
{
    return catalogue::readCatalogue(folder_.file(storage::kCatalogueFile));
}

Program::OpenedCatalogue Program::readOrSeedCatalogue() const
{
    OpenedCatalogue opened{readCatalogue()};
    if (!opened.read.failure || !opened.read.failure->isMissingFile())
        return opened;
    opened.wasMissing = true;
    const base::Outcome seeded =
        base::attempt([&] { catalogue::writeSeedCatalogue(folder_.file(storage::kCatalogueFile)); });
    // A seed catalogue that could not be written is no catalogue to write over
    // it: a new entry would then stand alone, hiding the primary database.
    opened.read = seeded.ok() ? readCatalogue() : catalogue::CatalogueRead{{{}, false}, seeded.failure()};
    return opened;
}

void Program::keepCatalogue(const catalogue::Catalogue &catalogue)
{
    catalogue_ = catalogue;
    emit catalogueChanged();
}

Program::CatalogueOpening Program::openCatalogue()
{
    const OpenedCatalogue opened = readOrSeedCatalogue();
    keepCatalogue(opened.read.catalogue);
    return {opened.wasMissing, opened.read.failure};
}

QStringList Program::catalogueNames() const
{
    QStringList names;
    for (const catalogue::Entry &entry : catalogue_.entries)
        names.append(entry.displayName);
    return names;
}

int Program::catalogueRowOfCurrentDatabase() const
{
    return catalogue_.lastIndexOfFile(current_.fileName);
}

int Program::catalogueRowOf(const QString &name, int formerRow) const
{
    if (formerRow >= 0 && formerRow < catalogue_.count() && catalogue_.entries[formerRow].displayName == name)
        return formerRow;
    return catalogue_.lastIndexOfName(name);
}

base::Outcome Program::chooseDatabase(const QString &text)
{
    if (text.isEmpty())
        return base::Outcome::refused(QStringLiteral("You must select a proper database"));
    const int index = catalogue_.lastIndexOfName(text);
    if (index < 0)
        return base::Outcome::refused(QStringLiteral("A proper database must be selected"));
    if (const auto refusal = catalogue::whyEntryFileIsRefused(catalogue_.entries[index]))
        return base::Outcome::refused(*refusal);
    selectDatabase(catalogue_.entries[index]);
    return base::Outcome::done();
}

base::Outcome Program::createDatabase(const QString &name)
{
    if (const auto refusal = catalogue::whyNewNameIsRefused(name, catalogue_, folder_))
        return base::Outcome::refused(*refusal);
    return base::attempt([&] {
        versions_.setAside(catalogue::databaseFileFor(name));
        emit databaseFileChanged(catalogue::databaseFileFor(name));
        catalogue::createDatabase(folder_, catalogue_, name, {storage::sampleItem()});
        emit catalogueChanged();
    });
}

base::Outcome Program::checkRemoval(const QString &text) const
{
    if (const auto refusal = catalogue::whyRemovalIsRefused(text, catalogue_))
        return base::Outcome::refused(*refusal);
    return base::Outcome::done();
}

base::Outcome Program::removeDatabase(const QString &text)
{
    if (base::Outcome refused = checkRemoval(text); !refused.ok())
        return refused;
    const int entries = catalogue_.count();
    const base::Outcome removed = base::attempt([&] {
        const int index = catalogue_.lastIndexOfName(text);
        Change change = openChange(catalogue_.entries[index].fileName,
                                   QStringLiteral("Removal of the database %1").arg(text));
        // Its last content stays as a version, from which the database can come back.
        change.keepVersion();
        catalogue::removeDatabase(folder_, catalogue_, index);
        change.commit();
    });
    // The entry may be gone although its file could not be deleted.
    if (catalogue_.count() != entries)
        emit catalogueChanged();
    // After a failure the current database's file may be gone: the program
    // must not stay on a database that is not there.
    if (removed.ok() || !QFileInfo::exists(currentDatabasePath()))
        selectPrimary();
    return removed;
}

base::Outcome Program::mergeDownload(int index, const base::ProgressReport &progress)
{
    if (index < 0 || index >= catalogue_.count())
        return base::Outcome::refused(QStringLiteral("Please select a database to add the new items to."));
    if (const auto refusal = catalogue::whyEntryFileIsRefused(catalogue_.entries[index]))
        return base::Outcome::refused(*refusal);
    const QString file = catalogue_.entries[index].fileName;
    return base::attempt([&] {
        const QByteArray downloaded = storage::readFile(download::databaseFilePath());
        const QByteArray bytes = readDatabase(file);
        int taken = 0;
        const QByteArray records =
            catalogue::newDownloadedRecords(bytes, file, downloaded, &taken, download::kDatabaseFileName, progress);
        if (taken < 0 || (progress && !progress(1, 1)))
            return base::Outcome::cancelled();
        Change change = openChange(file, QStringLiteral("Merge of %1 downloaded items").arg(taken));
        editing::Edited written = editing::withRecordsAppended(bytes, records);
        if (file == current_.fileName) {
            writeCurrentDatabase(change, std::move(written), false); // the description view keeps what it shows
        } else {
            change.write(written.bytes);
            // Another database took the items; the list shows the current one again.
            if (const std::optional<base::Failure> failure = fillWithCurrentDatabase())
                emit listingFailed(failure->longMessage());
            emit listingChanged();
        }
        change.commit();
        return base::Outcome::done();
    });
}

base::Outcome Program::newDatabaseFromDownload(const QString &name)
{
    if (const auto refusal = catalogue::whyNewNameIsRefused(name, catalogue_, folder_))
        return base::Outcome::refused(*refusal);
    return base::attempt([&] {
        const QVector<storage::Item> items =
            catalogue::distinctDownloadedItems(storage::readFile(download::databaseFilePath()));
        // The database file first, then its catalogue entry.
        versions_.setAside(catalogue::databaseFileFor(name));
        emit databaseFileChanged(catalogue::databaseFileFor(name));
        catalogue::createDatabase(folder_, catalogue_, name, items);
        emit catalogueChanged();
        selectDatabase({name, catalogue::databaseFileFor(name)});
        // Listed from the items just written, which the file holds.
        const QByteArray written = storage::encodeItems(items);
        if (const std::optional<base::Failure> failure = fillWith(written, storage::indexRecords(written)))
            emit listingFailed(failure->longMessage());
        emit listingChanged();
    });
}

base::Outcome Program::discardDownload()
{
    return base::attempt([] { storage::removeFile(download::databaseFilePath()); });
}

} // namespace program
