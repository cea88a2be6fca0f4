#include "storage/program_folder.h"

#include "base/failure.h"
#include "storage/text_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace storage {

// GEARLEDGER_METAINFO_FROM_BINDIR, the metainfo file's path relative to the
// installed executable's folder, comes from the build (storage/CMakeLists.txt).

bool isInstalledProgram(const QString &executableFolder)
{
    return QFileInfo::exists(executableFolder + QStringLiteral("/" GEARLEDGER_METAINFO_FROM_BINDIR));
}

namespace {

// The user's data folder for the program by the XDG rules: in $XDG_DATA_HOME
// when that is an absolute path (a relative one is ignored), else in
// $HOME/.local/share. Throws a Failure (75) when neither names a folder.
QString userDataFolder()
{
    const QString name = QCoreApplication::applicationName();
    const QString dataHome = QFile::decodeName(qgetenv("XDG_DATA_HOME"));
    if (QDir::isAbsolutePath(dataHome))
        return QDir::cleanPath(dataHome + QLatin1Char('/') + name);
    const QString home = QFile::decodeName(qgetenv("HOME"));
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.local/share/") + name);
    const QString why = home.isEmpty() ? QStringLiteral("HOME is not set")
                                       : QStringLiteral("HOME is \"%1\", not an absolute path").arg(home);
    throw base::Failure(
        base::ErrPathFileAccess,
        QStringLiteral("Path/File access error: the program folder cannot be chosen, as there is no home "
                       "folder (%1); set HOME or XDG_DATA_HOME to an absolute path")
            .arg(why));
}

} // namespace

QString chooseProgramFolder(const QString &executableFolder)
{
    if (!isInstalledProgram(executableFolder) && QFileInfo(executableFolder).isWritable())
        return executableFolder;

    const QString folder = userDataFolder();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw base::Failure(base::ErrPathFileAccess,
                            QStringLiteral("Path/File access error: the program folder %1 cannot be created")
                                .arg(QDir::toNativeSeparators(folder)));
    return folder;
}

} // namespace storage
