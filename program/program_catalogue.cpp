// The program object's operations on the catalogue and on downloaded databases.
#include "program/program.h"

#include "app/text_file.h"
#include "catalogue/catalogued_database.h"
#include "catalogue/download_merge.h"
#include "catalogue/new_database_name.h"
#include "download/download_files.h"
#include "editing/record_edit.h"

#include <QFileInfo>

catalogue::CatalogueRead Program::readCatalogue() const
{
    return catalogue::read(folder_.file(catalogue::kFileName));
}

Outcome Program::writeSeedCatalogue() const
{
    try {
        catalogue::writeSeed(folder_.file(catalogue::kFileName));
    } catch (const Failure &failure) {
        return Outcome::failed(failure);
    }
    return Outcome::done();
}

Outcome Program::chooseDatabase(const catalogue::Catalogue &copy, const QString &text)
{
    if (text.isEmpty())
        return Outcome::refused(QStringLiteral("You must select a proper database"));
    const int index = copy.lastIndexOfName(text);
    if (index < 0)
        return Outcome::refused(QStringLiteral("A proper database must be selected"));
    if (const auto refusal = catalogue::whyEntryFileIsRefused(copy.entries[index]))
        return Outcome::refused(*refusal);
    selectDatabase(copy.entries[index]);
    return Outcome::done();
}

Outcome Program::createDatabase(catalogue::Catalogue &copy, const QString &name)
{
    if (const auto refusal = catalogue::whyNewNameIsRefused(name, copy, folder_))
        return Outcome::refused(*refusal);
    try {
        versions_.setAside(catalogue::fileNameFor(name));
        catalogue::createDatabase(folder_, copy, name, {itemdb::sampleItem()});
    } catch (const Failure &failure) {
        return Outcome::failed(failure);
    }
    return Outcome::done();
}

Outcome Program::checkRemoval(const catalogue::Catalogue &copy, const QString &text) const
{
    if (const auto refusal = catalogue::whyRemovalIsRefused(text, copy))
        return Outcome::refused(*refusal);
    return Outcome::done();
}

Outcome Program::removeDatabase(catalogue::Catalogue &copy, const QString &text)
{
    if (Outcome refused = checkRemoval(copy, text); !refused.ok())
        return refused;
    const Outcome removed = changing([&] {
        try {
            const QString file = copy.entries[copy.lastIndexOfName(text)].fileName;
            // Its last content stays as a version, from which the database can come back.
            keepVersion(file, QStringLiteral("Removal of the database %1").arg(text), history::Kind::Change);
            catalogue::removeDatabase(folder_, copy, copy.lastIndexOfName(text));
        } catch (const Failure &failure) {
            return Outcome::failed(failure);
        }
        return Outcome::done();
    });
    // After a failure the current database's file may be gone: the program
    // must not stay on a database that is not there.
    if (removed.ok() || !QFileInfo::exists(currentDatabasePath()))
        selectPrimary();
    return removed;
}

Outcome Program::mergeDownload(const catalogue::Catalogue &copy, int index)
{
    if (index < 0 || index >= copy.count())
        return Outcome::refused(QStringLiteral("Please select a database to add the new items to."));
    if (const auto refusal = catalogue::whyEntryFileIsRefused(copy.entries[index]))
        return Outcome::refused(*refusal);
    const QString file = copy.entries[index].fileName;
    const Outcome merged = changing([&] {
        try {
            const QByteArray download = textfile::readAll(downloadfiles::databaseFilePath());
            const QByteArray bytes = readDatabase(file);
            int taken = 0;
            const QByteArray records = downloadmerge::newRecords(bytes, file, download, &taken);
            keepVersionWhenWriting(file, QStringLiteral("Merge of %1 downloaded items").arg(taken));
            recordedit::Edited written = recordedit::withRecordsAppended(bytes, records);
            if (file == current_.fileName) {
                writeCurrentDatabase(std::move(written), false); // the description view keeps what it shows
                return Outcome::done();
            }
            saveDatabase(file, written.bytes);
        } catch (const Failure &failure) {
            return Outcome::failed(failure);
        }
        // Another database took the items; the list shows the current one again.
        if (const std::optional<Failure> failure = fillWithCurrentDatabase())
            emit listingFailed(failure->longMessage());
        emit listingChanged();
        return Outcome::done();
    });
    return merged;
}

Outcome Program::newDatabaseFromDownload(catalogue::Catalogue &copy, const QString &name)
{
    if (const auto refusal = catalogue::whyNewNameIsRefused(name, copy, folder_))
        return Outcome::refused(*refusal);
    try {
        const QVector<Item> items =
            downloadmerge::distinctItems(textfile::readAll(downloadfiles::databaseFilePath()));
        // The database file first, then its catalogue entry.
        versions_.setAside(catalogue::fileNameFor(name));
        catalogue::createDatabase(folder_, copy, name, items);
        selectDatabase({name, catalogue::fileNameFor(name)});
        // Listed from the items just written, which the file holds.
        const QByteArray written = itemdb::encodeItems(items);
        if (const std::optional<Failure> failure = fillWith(written, recordindex::indexRecords(written)))
            emit listingFailed(failure->longMessage());
        emit listingChanged();
    } catch (const Failure &failure) {
        return Outcome::failed(failure);
    }
    return Outcome::done();
}

Outcome Program::discardDownload()
{
    try {
        textfile::removeFile(downloadfiles::databaseFilePath());
    } catch (const Failure &failure) {
        return Outcome::failed(failure);
    }
    return Outcome::done();
}
