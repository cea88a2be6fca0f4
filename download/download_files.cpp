#include "download/download_files.h"

#include "base/failure.h"
#include "download/download_list.h"
#include "storage/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace download {
namespace {

constexpr QFileDevice::Permissions kOwnerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

base::Failure notPrivate(const QString &folder, const QString &why)
{
    return base::Failure(
        base::ErrPathFileAccess,
        QStringLiteral("Path/File access error: the download folder %1 %2").arg(QDir::toNativeSeparators(folder), why));
}

} // namespace

QString privateDownloadFolder()
{
    // The user's cache folder (for example ~/.cache/Gearledger), then a
    // folder of our own inside it.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (base.isEmpty())
        throw notPrivate(QStringLiteral("(none)"), QStringLiteral("has no place: the user has no cache folder"));
    // A relative XDG_CACHE_HOME or HOME would put it wherever the program was started.
    if (!QDir::isAbsolutePath(base))
        throw notPrivate(base, QStringLiteral("has no place: the user's cache folder is not an absolute path"));
    const QString folder = base + QStringLiteral("/download");

    const QFileInfo info(folder);
    if (info.isSymLink())
        throw notPrivate(folder, QStringLiteral("is a link, not a folder of its own"));
    if (!info.exists()) {
        if (!QDir().mkpath(base) || !QDir().mkdir(folder, kOwnerOnly))
            throw notPrivate(folder, QStringLiteral("cannot be created"));
    } else if (!info.isDir()) {
        throw notPrivate(folder, QStringLiteral("is not a folder"));
    }

#ifdef Q_OS_UNIX
    struct stat st;
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw notPrivate(folder, QStringLiteral("cannot be examined"));
    if (st.st_uid != ::geteuid())
        throw notPrivate(folder, QStringLiteral("belongs to another user"));
    if ((st.st_mode & 077) != 0 && ::chmod(QFile::encodeName(folder).constData(), 0700) != 0)
        throw notPrivate(folder, QStringLiteral("cannot be made private"));
#else
    QFile::setPermissions(folder, kOwnerOnly);
#endif
    return folder;
}

QString listFilePath()
{
    return privateDownloadFolder() + QLatin1Char('/') + kListFileName;
}

QString databaseFilePath()
{
    return privateDownloadFolder() + QLatin1Char('/') + kDatabaseFileName;
}

void keepDownloaded(const QString &path, const QByteArray &document)
{
    storage::saveAtomically(path, document + "\r\n");
}

bool listFileWaiting()
{
    return QFileInfo::exists(listFilePath());
}

DownloadList readListFile()
{
    return parseDownloadList(storage::readFile(listFilePath()));
}

void removeListFile()
{
    storage::removeFile(listFilePath());
}

} // namespace download
