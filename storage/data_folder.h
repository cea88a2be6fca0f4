#pragma once

#include <QString>

namespace storage {

// The program folder, where every data file lives. A data file's path is the
// folder, the platform's separator and the file name, joined as they stand.
class DataFolder
{
public:
    explicit DataFolder(QString path) : path_(std::move(path)) {}

    const QString &path() const { return path_; }
    QString file(const QString &fileName) const;

private:
    QString path_;
};

// The primary database, current at every start and never removed.
inline const QString kPrimaryDbName = QStringLiteral("database");
inline const QString kPrimaryDbFile = QStringLiteral("database.txt");
// The scratch file through which the editing windows encode descriptions.
inline const QString kScratchFile = QStringLiteral("42198739.txt");

} // namespace storage
