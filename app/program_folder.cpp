#include "app/program_folder.h"

#include "app/failure.h"
#include "app/text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// GEARLEDGER_METAINFO_FROM_BINDIR, the metainfo file's path relative to the
// installed executable's folder, comes from the build (app/CMakeLists.txt).

bool isInstalledProgram(const QString &executableFolder)
{
    return QFileInfo::exists(executableFolder + QStringLiteral("/" GEARLEDGER_METAINFO_FROM_BINDIR));
}

QString chooseProgramFolder(const QString &executableFolder)
{
    if (!isInstalledProgram(executableFolder) && QFileInfo(executableFolder).isWritable())
        return executableFolder;

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw Failure(ErrPathFileAccess,
                      QStringLiteral("Path/File access error: the program folder %1 cannot be created")
                          .arg(folder.isEmpty() ? QStringLiteral("(none)") : QDir::toNativeSeparators(folder)),
                      textfile::kSource);
    return folder;
}
