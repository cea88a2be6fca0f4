#include "storage/data_folder.h"

#include <QDir>

namespace storage {

QString DataFolder::file(const QString &fileName) const
{
    return path_ + QDir::separator() + fileName;
}

} // namespace storage
