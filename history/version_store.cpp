#include "history/version_store.h"

#include "storage/data_folder.h"
#include "storage/text_file.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace history {
namespace {

const QString kLegacyStampFormat = QStringLiteral("yyyy-MM-dd HH.mm.ss.zzz");
const QString kPending = QStringLiteral(".pending");
const QString kSetAside = QStringLiteral(";removed;");
// The longest file name of the usual file systems (255 bytes), less what the
// safe save adds for its temporary file (".", ".gearledger-save-XXXXXX").
constexpr qsizetype kLongestName = 255 - 23;
// Characters a file name cannot hold on every system, the separator and the escape.
const QByteArray kEscaped = "/\\:*?\"<>|;%";

QString kindName(Kind kind)
{
    return kind == Kind::Undo ? QStringLiteral("undo") : QStringLiteral("change");
}

// One character (or surrogate pair) as a file name holds it.
QString escaped(const QString &character)
{
    const char16_t c = character[0].unicode();
    if (character.size() == 1 && (c < 0x20 || c == 0x7F || (c < 0x80 && kEscaped.contains(char(c)))))
        return QLatin1Char('%') + QString::number(c, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    return character;
}

// The change as a file name holds it, in at most `room` bytes of the file
// system's encoding: cut, with an ellipsis, where it would not fit.
QString encodedChange(const QString &change, qsizetype room)
{
    const QString ellipsis(QChar(0x2026));
    const qsizetype ellipsisBytes = QFile::encodeName(ellipsis).size();
    QString encoded;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < change.size();) {
        const qsizetype length = change[i].isHighSurrogate() && i + 1 < change.size() ? 2 : 1;
        const QString piece = escaped(change.mid(i, length));
        i += length;
        bytes += QFile::encodeName(piece).size();
        if (bytes > room - (i < change.size() ? ellipsisBytes : 0))
            return encoded + ellipsis;
        encoded += piece;
    }
    return encoded;
}

QString fileNameOf(const Version &version)
{
    return version.path.section(QLatin1Char('/'), -1);
}

// The time of a numbered version: "2026-12-06T14.30.12.123Z", UTC.
QDateTime utcStamp(const QString &text)
{
    if (text.size() != 24 || text[10] != QLatin1Char('T') || !text.endsWith(QLatin1Char('Z')))
        return QDateTime();
    return QDateTime(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                     QTime::fromString(text.mid(11, 12), QStringLiteral("HH.mm.ss.zzz")), Qt::UTC);
}

std::optional<Version> parsed(const QString &folder, const QString &fileName)
{
    Version version;
    version.pending = fileName.endsWith(kPending);
    const QString name = version.pending ? fileName.chopped(kPending.size()) : fileName;
    if (!name.endsWith(QStringLiteral(".txt")))
        return std::nullopt;
    const QStringList parts = name.chopped(4).split(QLatin1Char(';'));
    if (parts.size() == 3) {
        version.when = QDateTime::fromString(parts[0], kLegacyStampFormat);
    } else if (parts.size() == 4) {
        version.sequence = parts[0].toLongLong();
        version.when = version.sequence > 0 ? utcStamp(parts[1]).toLocalTime() : QDateTime();
    }
    const QString kind = parts.size() >= 3 ? parts[parts.size() - 2] : QString();
    if (!version.when.isValid() || (kind != kindName(Kind::Change) && kind != kindName(Kind::Undo)))
        return std::nullopt;
    version.path = folder + QLatin1Char('/') + fileName;
    version.kind = kind == kindName(Kind::Undo) ? Kind::Undo : Kind::Change;
    version.change = QUrl::fromPercentEncoding(parts.last().toUtf8());
    return version;
}

// The versions among the names, pending ones too, newest first: by their
// number; an earlier release's versions, unnumbered, by their names.
QVector<Version> sortedVersions(const QString &folder, const QStringList &names)
{
    QVector<Version> found;
    for (const QString &name : names) {
        if (const std::optional<Version> version = parsed(folder, name))
            found.append(*version);
    }
    std::sort(found.begin(), found.end(), [](const Version &a, const Version &b) {
        return a.sequence != b.sequence ? a.sequence > b.sequence : a.path > b.path;
    });
    return found;
}

QByteArray encoded(const QString &name)
{
    return QFile::encodeName(name);
}

// Makes renames in a folder survive a power cut. Returns errno, 0 on success;
// a file system that cannot sync folders (EINVAL) counts as success.
int syncFolder(const QString &folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error == EINVAL ? 0 : error;
}

bool isThere(const QString &path)
{
    struct stat st;
    return ::lstat(encoded(path).constData(), &st) == 0;
}

// A file descriptor, closed with it.
class Fd
{
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd &&other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

// A folder inside another, never through a link.
Fd folderAt(int at, const QString &name)
{
    return Fd(::openat(at, encoded(name).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

QStringList namesIn(int folderFd)
{
    QStringList names;
    const int listFd = folderFd >= 0 ? ::dup(folderFd) : -1;
    DIR *dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        return names;
    }
    ::rewinddir(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QStringLiteral(".") && name != QStringLiteral(".."))
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

std::optional<QByteArray> bytesAt(int folderFd, const QString &name)
{
    const Fd fd(::openat(folderFd, encoded(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    QFile file;
    if (!fd || !file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? std::optional<QByteArray>(bytes) : std::nullopt;
}

// A database file's bytes; a missing file is empty; nothing when it cannot be read.
std::optional<QByteArray> contentOf(const QString &path, bool exists)
{
    if (!exists)
        return QByteArray();
    try {
        return storage::readFile(path);
    } catch (const base::Failure &) {
        return std::nullopt;
    }
}

// Removes the oldest final versions beyond the number kept.
void pruneAt(int folderFd)
{
    int kept = 0;
    for (const Version &version : sortedVersions(QString(), namesIn(folderFd))) {
        if (!version.pending && ++kept > kVersionsKept)
            ::unlinkat(folderFd, encoded(fileNameOf(version)).constData(), 0);
    }
}

// Settles the pending versions a killed change left in the folder of a
// database file's versions (see recover). Returns whether the database file
// still shares its content with a final version.
bool settle(int programFd, int folderFd, const QString &databaseFile, const QString &databasePath, bool catalogued)
{
    // The database file as a change sees it: a link is followed.
    struct stat database;
    const bool exists = ::fstatat(programFd, encoded(databaseFile).constData(), &database, 0) == 0;
    std::optional<std::optional<QByteArray>> databaseBytes; // read once, when needed
    bool shares = false;
    for (const Version &version : sortedVersions(QString(), namesIn(folderFd))) {
        const QByteArray name = encoded(fileNameOf(version));
        struct stat kept;
        if (::fstatat(folderFd, name.constData(), &kept, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(kept.st_mode))
            continue;
        const bool shared = exists && kept.st_dev == database.st_dev && kept.st_ino == database.st_ino;
        if (version.pending) {
            if (!shared && !databaseBytes)
                databaseBytes = contentOf(databasePath, exists);
            // The database still is the version: its change did not happen.
            const bool unchanged =
                shared || (*databaseBytes && bytesAt(folderFd, fileNameOf(version)) == **databaseBytes);
            if (unchanged && catalogued) {
                ::unlinkat(folderFd, name.constData(), 0);
                continue;
            }
            ::renameat(folderFd, name.constData(), folderFd, name.chopped(kPending.size()).constData());
        }
        shares = shares || shared;
    }
    return shares;
}

} // namespace

QString VersionStore::folderOf(const QString &versionsFolder) const
{
    return folder_.file(kFolderName) + QLatin1Char('/') + versionsFolder;
}

QVector<Version> VersionStore::versions(const QString &versionsFolder) const
{
    const QString folder = folderOf(versionsFolder);
    QVector<Version> found = sortedVersions(folder, QDir(folder).entryList(QDir::Files));
    found.removeIf([](const Version &version) { return version.pending; });
    return found;
}

Version VersionStore::keep(const QString &databaseFile, const QByteArray &bytes, Kind kind,
                           const QString &change) const
{
    const Version version = nextVersion(databaseFile, kind, change);
    storage::saveAtomically(version.path, bytes);
    return version;
}

Version VersionStore::keepFile(const QString &databaseFile, Kind kind, const QString &change) const
{
    const Version version = nextVersion(databaseFile, kind, change);
    const QByteArray file = encoded(folder_.file(databaseFile));
    // A database file that is a link keeps the file it leads to.
    struct stat st;
    if (::stat(file.constData(), &st) == 0 && st.st_nlink == 1
        && ::linkat(AT_FDCWD, file.constData(), AT_FDCWD, encoded(version.path).constData(), AT_SYMLINK_FOLLOW)
               == 0) {
        if (syncFolder(folderOf(databaseFile)) != 0) {
            QFile::remove(version.path);
            throw base::Failure(
                base::ErrPathFileAccess,
                QStringLiteral("Path/File access error: could not sync the folder of the earlier versions "
                               "of %1")
                    .arg(databaseFile));
        }
        return version;
    }
    storage::saveAtomically(version.path, storage::readFile(folder_.file(databaseFile)));
    return version;
}

Version VersionStore::nextVersion(const QString &databaseFile, Kind kind, const QString &change) const
{
    const QString folder = folderOf(databaseFile);
    if (!QDir().mkpath(folder))
        throw base::Failure(
            base::ErrPathFileAccess,
            QStringLiteral("Path/File access error: could not make the folder %1 for the earlier versions")
                .arg(QDir::toNativeSeparators(folder)));
    qint64 sequence = 1;
    for (const Version &earlier : sortedVersions(folder, QDir(folder).entryList(QDir::Files)))
        sequence = qMax(sequence, earlier.sequence + 1);
    const QString head = QString::number(sequence).rightJustified(6, QLatin1Char('0')) + QLatin1Char(';')
                         + clock_().toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH.mm.ss.zzz'Z'"))
                         + QLatin1Char(';') + kindName(kind) + QLatin1Char(';');
    const QString tail = QStringLiteral(".txt") + kPending;
    return *parsed(folder, head + encodedChange(change, kLongestName - encoded(head + tail).size()) + tail);
}

void VersionStore::finalise(const Version &pending) const
{
    const Fd folder(::open(encoded(QFileInfo(pending.path).path()).constData(),
                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const QByteArray name = encoded(fileNameOf(pending));
    const QByteArray finalName = name.chopped(kPending.size());
    if (folder && ::renameat(folder.get(), name.constData(), folder.get(), finalName.constData()) == 0)
        pruneAt(folder.get());
}

void VersionStore::discard(const Version &version) const
{
    QFile::remove(version.path);
}

bool VersionStore::isContentOf(const Version &version, const QString &file)
{
    struct stat kept, now;
    if (::stat(encoded(version.path).constData(), &kept) == 0 && ::stat(encoded(file).constData(), &now) == 0
        && kept.st_dev == now.st_dev && kept.st_ino == now.st_ino)
        return true;
    QFile a(version.path), b(file);
    if (!a.open(QIODevice::ReadOnly))
        return true; // nothing to keep
    return b.open(QIODevice::ReadOnly) ? a.readAll() == b.readAll() : a.size() == 0;
}

void VersionStore::recover(const std::function<bool(const QString &)> &isCatalogued) const
{
    const Fd program(::open(encoded(folder_.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const Fd history = folderAt(program.get(), kFolderName);
    for (const QString &name : namesIn(history.get())) {
        const Fd folder = folderAt(history.get(), name);
        if (!folder)
            continue; // a file, or a link: left alone
        storage::removeSaveLeftoversAt(folder.get());
        const bool own = databaseFileOf(name) == name && storage::isPlainDatabaseFileName(name);
        if (own && settle(program.get(), folder.get(), name, folder_.file(name), isCatalogued(name))) {
            try {
                storage::saveAtomically(folder_.file(name), storage::readFile(folder_.file(name)));
            } catch (const base::Failure &) {
                // Tried again at the next start.
            }
        }
        pruneAt(folder.get());
    }
}

std::optional<Version> VersionStore::undoTarget(const QString &databaseFile) const
{
    // Oldest first, each change is laid on a stack and each undo takes off the
    // change it undid; the top is what the next undo restores.
    QVector<Version> all = versions(databaseFile);
    std::reverse(all.begin(), all.end());
    QVector<Version> stack;
    for (const Version &version : std::as_const(all)) {
        if (version.kind == Kind::Change)
            stack.append(version);
        else if (!stack.isEmpty())
            stack.removeLast();
    }
    if (stack.isEmpty())
        return std::nullopt;
    return stack.last();
}

QStringList VersionStore::folders() const
{
    return QDir(folder_.file(kFolderName)).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
}

QString VersionStore::databaseFileOf(const QString &versionsFolder)
{
    static const QRegularExpression setAside(QStringLiteral(";removed;[0-9]+$"));
    const QRegularExpressionMatch match = setAside.match(versionsFolder);
    return match.hasMatch() ? versionsFolder.left(match.capturedStart()) : versionsFolder;
}

QString VersionStore::versionsFolderOf(const Version &version)
{
    return version.path.section(QLatin1Char('/'), -2, -2);
}

void VersionStore::setAside(const QString &databaseFile) const
{
    if (!isThere(folderOf(databaseFile)))
        return;
    int number = 1;
    while (isThere(folderOf(databaseFile + kSetAside + QString::number(number))))
        ++number;
    renameFolder(databaseFile, databaseFile + kSetAside + QString::number(number));
}

void VersionStore::adopt(const QString &versionsFolder, const QString &databaseFile) const
{
    if (versionsFolder == databaseFile)
        return;
    setAside(databaseFile);
    renameFolder(versionsFolder, databaseFile);
}

void VersionStore::renameFolder(const QString &from, const QString &to) const
{
    const int error = ::rename(encoded(folderOf(from)).constData(), encoded(folderOf(to)).constData()) == 0
                          ? syncFolder(folder_.file(kFolderName))
                          : errno;
    if (error != 0)
        throw base::Failure(
            base::ErrPathFileAccess,
            QStringLiteral("Path/File access error: could not rename the folder of earlier versions %1 (%2)")
                .arg(from, qt_error_string(error)));
}

QByteArray VersionStore::read(const Version &version)
{
    return storage::readFile(version.path);
}

storage::IndexedFile VersionStore::readIndexed(const Version &version, qsizetype room)
{
    storage::FileStamp stamp;
    return storage::readIndexedFile(version.path, &stamp, room);
}

} // namespace history
