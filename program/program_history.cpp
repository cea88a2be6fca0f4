// The program object's earlier versions: keeping one before every change, undo and restore.
#include "program/program.h"

#include "catalogue/catalogue_file.h"
#include "catalogue/catalogued_database.h"
#include "catalogue/new_database_name.h"
#include "storage/record_index.h"
#include "storage/text_file.h"

#include <QFileInfo>

namespace program {
namespace {

// The change a restore makes: "Restore of the version of 2026-12-06 15:30:12".
QString restoreOf(const history::Version &version)
{
    return QStringLiteral("Restore of the version of %1")
        .arg(version.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

} // namespace

Change Program::openChange(const QString &databaseFile, const QString &name, history::Kind kind)
{
    return Change(versions_, folder_, databaseFile, name, kind, [this, databaseFile] {
        emit historyChanged();
        emit databaseFileChanged(databaseFile);
    });
}

void Program::recoverVersions()
{
    const catalogue::CatalogueRead catalogued = readCatalogue();
    versions_.recover([&](const QString &file) {
        // A catalogue that cannot be read counts every file as catalogued.
        return file == storage::kPrimaryDbFile || catalogued.failure || catalogued.catalogue.lastIndexOfFile(file) >= 0;
    });
}

std::optional<QString> Program::undoableChange() const
{
    const std::optional<history::Version> target = versions_.undoTarget(current_.fileName);
    return target ? std::optional<QString>(target->change) : std::nullopt;
}

base::Outcome Program::undoLastChange()
{
    const std::optional<history::Version> target = versions_.undoTarget(current_.fileName);
    if (!target)
        return base::Outcome::refused(QStringLiteral("There is no change of %1 to undo.").arg(current_.displayName));
    return base::attempt([&] {
        if (std::optional<editing::RecordEdit> back = editTakingBack(*target)) {
            Change change = openChange(current_.fileName, target->change, history::Kind::Undo);
            ChangeBase base;
            base.listed = true;
            writeEditedDatabase(change, base, *back);
            change.commit();
            return;
        }
        storage::IndexedFile earlier = history::VersionStore::readIndexed(*target, kRoomForAddedBytes);
        Change change = openChange(current_.fileName, target->change, history::Kind::Undo);
        writeCurrentDatabase(change, {std::move(earlier.bytes), std::move(earlier.index)});
        change.commit();
    });
}

std::optional<editing::RecordEdit> Program::editTakingBack(const history::Version &version) const
{
    // What the file holds now does not matter: it is kept as the undo's version.
    if (!lastEdit_ || listedStamp_ != lastEdit_->after)
        return std::nullopt;
    const std::optional<storage::FileStamp> kept = storage::fileStamp(version.path);
    if (!kept || !kept->sameContentAs(lastEdit_->before))
        return std::nullopt;
    return lastEdit_->back;
}

QVector<Program::VersionEntry> Program::versionsOf(const QString &versionsFolder) const
{
    versionItems_.forgetGone();
    QVector<VersionEntry> entries;
    for (const history::Version &version : versions_.versions(versionsFolder)) {
        qsizetype items = 0;
        try {
            items = versionItems_.itemsOf(version.path);
        } catch (const base::Failure &) {
            // A version that cannot be read shows no items; restoring it tells why.
        }
        entries.append({version, items});
    }
    return entries;
}

QVector<Program::RemovedDatabase> Program::removedDatabases() const
{
    const catalogue::CatalogueRead catalogued = readCatalogue();
    QVector<RemovedDatabase> removed;
    for (const QString &folder : versions_.folders()) {
        const QString file = history::VersionStore::databaseFileOf(folder);
        if (!storage::isPlainDatabaseFileName(file) || versions_.versions(folder).isEmpty())
            continue;
        if (folder != file) {
            removed.append({folder, file, false});
            continue;
        }
        if (file == storage::kPrimaryDbFile || catalogued.failure || catalogued.catalogue.lastIndexOfFile(file) >= 0)
            continue;
        if (!QFileInfo::exists(folder_.file(file))) {
            removed.append({folder, file, false});
            continue;
        }
        try {
            storage::FileStamp stamp;
            if (storage::countRecords(folder_.file(file), &stamp, 1) > 0)
                removed.append({folder, file, true});
        } catch (const base::Failure &) {
            // A file that cannot be read is no database to bring back.
        }
    }
    return removed;
}

base::Outcome Program::restoreVersion(const history::Version &version, const QString &databaseFile)
{
    QByteArray bytes;
    if (const base::Outcome read = base::attempt([&] { bytes = history::VersionStore::read(version); }); !read.ok())
        return read;
    if (databaseFile == current_.fileName && history::VersionStore::versionsFolderOf(version) == databaseFile) {
        return base::attempt([&] {
            Change change = openChange(databaseFile, restoreOf(version));
            writeCurrentDatabase(change, {bytes, storage::indexRecords(bytes)});
            change.commit();
        });
    }
    return restoreRemoved(version, databaseFile, bytes);
}

base::Outcome Program::restoreRemoved(const history::Version &version, const QString &databaseFile,
                                      const QByteArray &bytes)
{
    // A removed database comes back under its old name, as a new database would be made.
    const QString name = databaseFile.endsWith(QStringLiteral(".txt")) ? databaseFile.chopped(4) : databaseFile;
    OpenedCatalogue opened = readOrSeedCatalogue();
    if (opened.wasMissing && opened.read.failure)
        return base::Outcome::failed(*opened.read.failure);
    catalogue::CatalogueRead &catalogued = opened.read;
    if (catalogue::databaseFileFor(name) != databaseFile)
        return base::Outcome::refused(
            QStringLiteral("The database file %1 cannot come back: its name is no database name.").arg(databaseFile));
    // A file left out of the catalogue comes back with it.
    const bool fileLeft = QFileInfo(folder_.file(databaseFile)).isFile();
    if (const auto refusal = catalogue::whyNewNameIsRefused(name, catalogued.catalogue, folder_, fileLeft))
        return base::Outcome::refused(
            QStringLiteral("The database \"%1\" cannot come back under its old name: %2").arg(name, *refusal));
    const auto addToCatalogue = [&] {
        catalogue::appendEntry(folder_.file(storage::kCatalogueFile), catalogued.catalogue, name);
    };
    return base::attempt([&] {
        // A removed database's versions come back with it; its file is new.
        if (!fileLeft)
            versions_.adopt(history::VersionStore::versionsFolderOf(version), databaseFile);
        Change change = openChange(databaseFile, restoreOf(version));
        change.write(bytes);
        try {
            addToCatalogue();
        } catch (const base::Failure &) {
            // A file this restore made goes again; one that was left stays, with the content restored.
            if (!fileLeft)
                storage::removeFile(folder_.file(databaseFile));
            throw;
        }
        keepCatalogue(catalogued.catalogue);
        change.commit();
    });
}

} // namespace program
