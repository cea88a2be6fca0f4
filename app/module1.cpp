#include "app/module1.h"

#include <QDir>

Module1::Module1(QString programFolder) : folder_(std::move(programFolder))
{
    selectPrimary();
}

QString Module1::dataPath(const QString &fileName) const
{
    return folder_ + QDir::separator() + fileName;
}

void Module1::selectPrimary()
{
    selectDatabase(kPrimaryDbName, kPrimaryDbFile);
}

void Module1::selectDatabase(const QString &displayName, const QString &fileName)
{
    current_db_name = displayName;
    current_db_file = fileName;
}
