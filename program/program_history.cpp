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

void Program::keepVersionWhenWriting(const QString &databaseFile, const QString &change, history::Kind kind)
{
    versionToKeep_ = VersionToKeep{databaseFile, change, kind};
}

void Program::keepVersion(const QString &databaseFile, const QString &change, history::Kind kind)
{
    try {
        pendingFile_ = databaseFile;
        if (QFileInfo::exists(folder_.file(databaseFile)))
            pending_ = versions_.keepFile(databaseFile, kind, change);
        else if (kind == history::Kind::Undo)
            pending_ = versions_.keep(databaseFile, QByteArray(), kind, change);
    } catch (const base::Failure &failure) {
        throw base::Failure(failure.number(),
                            QStringLiteral("Could not keep the earlier version of %1, so nothing was changed: %2")
                                .arg(databaseFile, failure.description()),
                            failure.source());
    }
}

void Program::saveDatabase(const QString &databaseFile, const QByteArray &bytes)
{
    storage::saveAtomically(folder_.file(databaseFile), bytes, [&] {
        if (versionToKeep_ && versionToKeep_->file == databaseFile) {
            const VersionToKeep asked = *versionToKeep_;
            versionToKeep_.reset();
            keepVersion(asked.file, asked.change, asked.kind);
        }
    });
}

base::Outcome Program::changing(const std::function<base::Outcome()> &change)
{
    const base::Outcome outcome = change();
    versionToKeep_.reset();
    if (pending_) {
        // A change that did not happen takes its version back; one whose new
        // content is in place although it failed afterwards (the folder could
        // not be synced) keeps it, the only copy of the old content.
        if (!outcome.ok() && versions_.isContentOf(*pending_, folder_.file(pendingFile_)))
            versions_.discard(*pending_);
        else
            versions_.finalise(*pending_);
        pending_.reset();
        emit historyChanged();
    }
    return outcome;
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
    return changing([&] {
        try {
            const QByteArray earlier = history::VersionStore::read(*target);
            keepVersionWhenWriting(current_.fileName, target->change, history::Kind::Undo);
            writeCurrentDatabase({earlier, storage::indexRecords(earlier)});
        } catch (const base::Failure &failure) {
            return base::Outcome::failed(failure);
        }
        return base::Outcome::done();
    });
}

QVector<Program::VersionEntry> Program::versionsOf(const QString &versionsFolder) const
{
    QVector<VersionEntry> entries;
    for (const history::Version &version : versions_.versions(versionsFolder)) {
        qsizetype items = 0;
        try {
            items = storage::indexRecords(history::VersionStore::read(version)).records.size();
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
            if (!storage::indexRecords(readDatabase(file)).records.isEmpty())
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
    try {
        bytes = history::VersionStore::read(version);
    } catch (const base::Failure &failure) {
        return base::Outcome::failed(failure);
    }
    if (databaseFile == current_.fileName && history::VersionStore::versionsFolderOf(version) == databaseFile) {
        return changing([&] {
            try {
                keepVersionWhenWriting(databaseFile, restoreOf(version));
                writeCurrentDatabase({bytes, storage::indexRecords(bytes)});
            } catch (const base::Failure &failure) {
                return base::Outcome::failed(failure);
            }
            return base::Outcome::done();
        });
    }
    return restoreRemoved(version, databaseFile, bytes);
}

base::Outcome Program::restoreRemoved(const history::Version &version, const QString &databaseFile,
                                      const QByteArray &bytes)
{
    // A removed database comes back under its old name, as a new database would be made.
    const QString name = databaseFile.endsWith(QStringLiteral(".txt")) ? databaseFile.chopped(4) : databaseFile;
    catalogue::CatalogueRead catalogued = readCatalogue();
    if (catalogued.failure && catalogued.failure->number() == base::ErrFileNotFound) {
        if (base::Outcome seeded = writeSeedCatalogue(); !seeded.ok())
            return seeded;
        catalogued = readCatalogue();
    }
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
    if (fileLeft) {
        return changing([&] {
            try {
                keepVersionWhenWriting(databaseFile, restoreOf(version));
                saveDatabase(databaseFile, bytes);
                addToCatalogue();
            } catch (const base::Failure &failure) {
                return base::Outcome::failed(failure);
            }
            return base::Outcome::done();
        });
    }
    try {
        versions_.adopt(history::VersionStore::versionsFolderOf(version), databaseFile);
        storage::saveAtomically(folder_.file(databaseFile), bytes);
        try {
            addToCatalogue();
        } catch (const base::Failure &) {
            storage::removeFile(folder_.file(databaseFile));
            throw;
        }
    } catch (const base::Failure &failure) {
        return base::Outcome::failed(failure);
    }
    return base::Outcome::done();
}

} // namespace program
