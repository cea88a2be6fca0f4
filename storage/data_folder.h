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
// The catalogue of the databases.
inline const QString kCatalogueFile = QStringLiteral("datalist.txt");
// The weight sets of the score box of Find Items.
inline const QString kScoreSetsFile = QStringLiteral("scores.cfg");
// The rules that read the fields of items, and the columns Find Items shows.
inline const QString kFieldRulesFile = QStringLiteral("fields.txt");
inline const QString kFindColumnsFile = QStringLiteral("finditems.ini");

// True for the program's own files (datalist.txt, pref.txt, 42198739.txt,
// scores.cfg, fields.txt, finditems.ini, the lock file gearledger.lock), in
// any letter case: no database may be created as, read from, written to or
// removed from one of them.
bool isProgramFile(const QString &fileName);

// True for a file name that names a file of the program folder and no folder,
// no path and none of the program's own files.
bool isPlainDatabaseFileName(const QString &fileName);

} // namespace storage
