#include "app/data_folder.h"

#include <QDir>

QString DataFolder::file(const QString &fileName) const
{
    return path_ + QDir::separator() + fileName;
}
