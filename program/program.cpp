#include "program/program.h"

#include "base/dialogs.h"
#include "catalogue/catalogued_database.h"
#include "prefs/colour_palette.h"
#include "storage/record_index.h"
#include "storage/text_file.h"

#include <QFileInfo>

#include <csignal>

namespace program {
namespace {

const QString kPrefMissing =
    QStringLiteral("Could not find the Preference file: pref.txt  This file will be created.");
const QString kDatabaseMissing = QStringLiteral(
    "Could not find the database.txt file, please be sure that the database.txt is in the same folder as the "
    "program.  A database will now be created.");

} // namespace

Program::Program(const QString &folder, const QString &downloadFolderUrl, QObject *parent)
    : QObject(parent),
      lock_(folder),
      folder_(folder),
      versions_(folder_),
      downloadFolderUrl_(download::asFolderUrl(downloadFolderUrl)),
      transfer_(this),
      fieldCache_(folder_)
{
    connect(this, &Program::databaseFileChanged, &fieldCache_, &FieldCache::forget);
    connect(this, &Program::databaseFileChanged, this, [this](const QString &fileName) {
        if (fileName == current_.fileName)
            dropSearch();
    });
    connect(&fieldCache_, &FieldCache::progressed, this, &Program::fieldsProgress);
    connect(&fieldCache_, &FieldCache::ready, this, &Program::fieldsReady);
    connect(&fieldCache_, &FieldCache::changed, this, &Program::fieldsChanged);
    connect(&fieldCache_, &FieldCache::failed, this,
            [this](const base::Failure &failure) { emit fieldsFailed(base::Outcome::failed(failure)); });
    transfer_.setObjectName(QStringLiteral("Inet1"));
    // A write past the file-size limit then fails with EFBIG, which every
    // write reports, instead of the signal ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    selectPrimary();
}

QString Program::countText() const
{
    return QString::number(table_.rowCount()) + QStringLiteral(" items in ") + current_.displayName;
}

void Program::selectDatabase(const catalogue::Entry &entry)
{
    dropSearch();
    current_ = entry;
    listedStamp_.reset();
    emit currentDatabaseChanged();
}

void Program::selectPrimary()
{
    selectDatabase({storage::kPrimaryDbName, storage::kPrimaryDbFile});
}

base::Outcome Program::startUp(base::Dialogs &notices, const std::function<void()> &beforeListing)
{
    if (!folderClaim().ok())
        return folderClaim();
    const base::Outcome started = base::attempt([&] {
        selectPrimary();
        // Saves killed half-way leave their temporary files, changes their
        // versions pending; nothing else is touched.
        removeSaveLeftovers();
        recoverVersions();
        loadColours(notices);
        if (beforeListing)
            beforeListing();
        if (const std::optional<base::Failure> failure = fillWithCurrentDatabase())
            throw *failure;
        emit listingChanged();
    });
    if (started.ok() || !started.failure()->isMissingFile())
        return started;
    notices.message(kDatabaseMissing);
    const base::Outcome written = base::attempt(
        [&] { storage::rewriteItems(folder_.file(storage::kPrimaryDbFile), {storage::sampleItem()}); });
    emit databaseFileChanged(storage::kPrimaryDbFile);
    return written;
}

void Program::removeSaveLeftovers() const
{
    // The history folders are cleaned when the versions are recovered.
    storage::removeSaveLeftovers(folder_.path());
    // A database kept elsewhere through a link is saved beside the file it leads to.
    QVector<catalogue::Entry> databases = readCatalogue().catalogue.entries;
    databases.append({storage::kPrimaryDbName, storage::kPrimaryDbFile});
    for (const catalogue::Entry &database : databases) {
        const QString path = folder_.file(database.fileName);
        if (!catalogue::whyEntryFileIsRefused(database) && QFileInfo(path).isSymLink())
            storage::removeSaveLeftoversOf(path);
    }
}

void Program::loadColours(base::Dialogs &notices)
{
    const QString path = folder_.file(storage::kPrefFile);
    if (!QFileInfo::exists(path)) {
        notices.message(kPrefMissing);
        storage::writeDefaultPrefs(path, prefs::defaultColours());
    }
    const QStringList lines = storage::readPrefLines(path);
    // Each colour shows as soon as it is read: a bad line leaves the earlier ones applied.
    std::optional<quint32> *const targets[] = {&colours_.background, &colours_.itemText, &colours_.descriptionText};
    for (int i = 0; i < 3; ++i) {
        *targets[i] = storage::colourFromPrefLine(lines[i], i + 1);
        emit coloursChanged();
    }
}

std::optional<base::Failure> Program::readCurrentDatabase(storage::IndexedFile *read)
{
    dropSearch();
    // The listing read before goes first: the bytes of one file are held at a time.
    table_.fill({}, {}, {});
    listedStamp_.reset();
    storage::FileStamp stamp;
    if (const base::Outcome outcome = base::attempt(
            [&] { *read = storage::readIndexedFile(currentDatabasePath(), &stamp, kRoomForAddedBytes); });
        !outcome.ok())
        return outcome.failure();
    listedStamp_ = stamp;
    return std::nullopt;
}

std::optional<base::Failure> Program::fillWithCurrentDatabase()
{
    storage::IndexedFile read;
    if (std::optional<base::Failure> failure = readCurrentDatabase(&read))
        return failure;
    const std::optional<storage::FileStamp> stamp = listedStamp_;
    std::optional<base::Failure> failure = fillWith(std::move(read.bytes), std::move(read.index));
    listedStamp_ = stamp;
    return failure;
}

std::optional<base::Failure> Program::fillWith(QByteArray bytes, storage::RecordIndex index)
{
    dropSearch();
    listedStamp_.reset();
    std::optional<base::Failure> failure;
    if (index.danglingName)
        failure = storage::danglingNameFailure(index, storage::fileNameOf(currentDatabasePath()));
    table_.fillWithEveryRecord(std::move(bytes), std::move(index));
    return failure;
}

base::Outcome Program::listAll()
{
    std::optional<base::Failure> failure;
    if (listedStamp_ && storage::fileStamp(currentDatabasePath()) == listedStamp_) {
        // The bytes listed are listed again while the file is unchanged.
        const std::optional<storage::FileStamp> stamp = listedStamp_;
        failure = fillWith(table_.bytes(), table_.index());
        listedStamp_ = stamp;
    } else {
        failure = fillWithCurrentDatabase();
    }
    // Also after a failure the count is what the list shows, never an older listing's.
    emit listingChanged();
    return failure ? base::Outcome::failed(*failure) : base::Outcome::done();
}

base::Outcome Program::reloadCurrentDatabase()
{
    emit descriptionShown(QString());
    return listAll();
}

void Program::writeCurrentDatabase(Change &change, editing::Edited edited, bool clearDescription)
{
    change.write(edited.bytes);
    // The listing that follows a change takes the bytes just written instead of reading them back.
    if (clearDescription)
        emit descriptionShown(QString());
    const std::optional<base::Failure> failure = fillWith(std::move(edited.bytes), std::move(edited.index));
    listedStamp_ = storage::fileStamp(currentDatabasePath());
    emit listingChanged();
    if (failure)
        emit listingFailed(failure->longMessage());
}

QByteArray Program::readDatabase(const QString &databaseFile, bool missingIsEmpty) const
{
    QByteArray bytes;
    const base::Outcome read = base::attempt([&] { bytes = storage::readFile(folder_.file(databaseFile)); });
    if (!read.ok() && !(missingIsEmpty && read.failure()->isMissingFile()))
        throw *read.failure();
    return bytes;
}

base::Outcome Program::saveColours(const storage::Prefs &chosen)
{
    if (base::Outcome saved = base::attempt([&] { storage::writePrefs(folder_.file(storage::kPrefFile), chosen); });
        !saved.ok())
        return saved;
    colours_ = {chosen.background, chosen.itemText, chosen.descriptionText};
    emit coloursChanged();
    return base::Outcome::done();
}

} // namespace program
