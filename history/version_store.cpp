#include "history/version_store.h"

#include "app/text_file.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace history {
namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd HH.mm.ss.zzz");
constexpr int kLongestChange = 100;
// Characters a file name cannot hold on every system, and the separator.
const QByteArray kEscaped = "/\\:*?\"<>|;%";

QString kindName(Kind kind)
{
    return kind == Kind::Undo ? QStringLiteral("undo") : QStringLiteral("change");
}

QString encodedChange(QString change)
{
    if (change.size() > kLongestChange)
        change = change.left(kLongestChange - 1) + QChar(0x2026);
    QString encoded;
    for (const QChar c : change) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || (c.unicode() < 0x80 && kEscaped.contains(char(c.unicode()))))
            encoded += QLatin1Char('%') + QString::number(c.unicode(), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            encoded += c;
    }
    return encoded;
}

std::optional<Version> parsed(const QString &folder, const QString &fileName)
{
    if (!fileName.endsWith(QStringLiteral(".txt")))
        return std::nullopt;
    const QStringList parts = fileName.chopped(4).split(QLatin1Char(';'));
    if (parts.size() != 3 || (parts[1] != kindName(Kind::Change) && parts[1] != kindName(Kind::Undo)))
        return std::nullopt;
    Version version;
    version.when = QDateTime::fromString(parts[0], kStampFormat);
    if (!version.when.isValid())
        return std::nullopt;
    version.path = folder + QLatin1Char('/') + fileName;
    version.kind = parts[1] == kindName(Kind::Undo) ? Kind::Undo : Kind::Change;
    version.change = QUrl::fromPercentEncoding(parts[2].toUtf8());
    return version;
}

} // namespace

QString VersionStore::folderOf(const QString &databaseFile) const
{
    return folder_.file(kFolderName) + QLatin1Char('/') + databaseFile;
}

QVector<Version> VersionStore::versions(const QString &databaseFile) const
{
    const QString folder = folderOf(databaseFile);
    QVector<Version> found;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name | QDir::Reversed)) {
        if (const std::optional<Version> version = parsed(folder, name))
            found.append(*version);
    }
    return found;
}

Version VersionStore::keep(const QString &databaseFile, const QByteArray &bytes, Kind kind,
                           const QString &change) const
{
    QVector<Version> earlier;
    const Version version = nextVersion(databaseFile, kind, change, &earlier);
    textfile::saveAtomically(version.path, bytes);
    prune(earlier);
    return version;
}

Version VersionStore::keepFile(const QString &databaseFile, Kind kind, const QString &change) const
{
    QVector<Version> earlier;
    const Version version = nextVersion(databaseFile, kind, change, &earlier);
#ifdef Q_OS_UNIX
    const QByteArray file = QFile::encodeName(folder_.file(databaseFile));
    // A database file that is a link keeps the file it leads to.
    if (::linkat(AT_FDCWD, file.constData(), AT_FDCWD, QFile::encodeName(version.path).constData(), AT_SYMLINK_FOLLOW)
        == 0) {
        const int fd = ::open(QFile::encodeName(folderOf(databaseFile)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool synced = fd >= 0 && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!synced) {
            QFile::remove(version.path);
            throw Failure(ErrPathFileAccess,
                          QStringLiteral("Path/File access error: could not sync the folder of the earlier versions "
                                         "of %1").arg(databaseFile),
                          textfile::kSource);
        }
        prune(earlier);
        return version;
    }
#endif
    textfile::saveAtomically(version.path, textfile::readAll(folder_.file(databaseFile)));
    prune(earlier);
    return version;
}

Version VersionStore::nextVersion(const QString &databaseFile, Kind kind, const QString &change,
                                  QVector<Version> *earlier) const
{
    const QString folder = folderOf(databaseFile);
    if (!QDir().mkpath(folder))
        throw Failure(ErrPathFileAccess,
                      QStringLiteral("Path/File access error: could not make the folder %1 for the earlier versions")
                          .arg(QDir::toNativeSeparators(folder)),
                      textfile::kSource);
    *earlier = versions(databaseFile);
    // Names sort by time: a clock set back still gives the newest version the last name.
    QDateTime when = QDateTime::currentDateTime();
    if (!earlier->isEmpty() && when <= earlier->first().when)
        when = earlier->first().when.addMSecs(1);
    return Version{folder + QLatin1Char('/') + when.toString(kStampFormat) + QLatin1Char(';') + kindName(kind)
                       + QLatin1Char(';') + encodedChange(change) + QStringLiteral(".txt"),
                   when, kind, change};
}

void VersionStore::prune(const QVector<Version> &earlier) const
{
    for (qsizetype i = kVersionsKept - 1; i < earlier.size(); ++i)
        QFile::remove(earlier[i].path);
}

bool VersionStore::isContentOf(const Version &version, const QString &file)
{
#ifdef Q_OS_UNIX
    struct stat kept, now;
    if (::stat(QFile::encodeName(version.path).constData(), &kept) == 0
        && ::stat(QFile::encodeName(file).constData(), &now) == 0 && kept.st_dev == now.st_dev
        && kept.st_ino == now.st_ino)
        return true;
#endif
    QFile a(version.path), b(file);
    if (!a.open(QIODevice::ReadOnly))
        return true; // nothing to keep
    return b.open(QIODevice::ReadOnly) ? a.readAll() == b.readAll() : a.size() == 0;
}

void VersionStore::discard(const Version &version) const
{
    QFile::remove(version.path);
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

QStringList VersionStore::databaseFiles() const
{
    return QDir(folder_.file(kFolderName)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray VersionStore::read(const Version &version)
{
    return textfile::readAll(version.path);
}

} // namespace history
