#include "storage/data_folder.h"

#include "storage/folder_lock.h"
#include "storage/pref_file.h"

#include <QDir>

namespace storage {

QString DataFolder::file(const QString &fileName) const
{
    return path_ + QDir::separator() + fileName;
}

bool isProgramFile(const QString &fileName)
{
    for (const QString &own : {kCatalogueFile, kPrefFile, kScratchFile, kScoreSetsFile, kFieldRulesFile, kFindColumnsFile,
                               kFolderLockFile}) {
        if (fileName.compare(own, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isPlainDatabaseFileName(const QString &fileName)
{
    if (fileName.isEmpty() || fileName == QStringLiteral(".") || fileName == QStringLiteral("..")
        || fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')) || isProgramFile(fileName))
        return false;
    for (const QChar c : fileName) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace storage
