#pragma once

#include <QString>

// The program-wide state: the program folder, where every data file lives,
// and the current database. One instance is made at start and handed to every
// window, so a test can build the program on a folder of its own.
class Module1
{
public:
    explicit Module1(QString programFolder);

    const QString &programFolder() const { return folder_; }

    // Program folder, the platform's separator, the file name.
    QString dataPath(const QString &fileName) const;
    // The current database file.
    QString currentDbPath() const { return dataPath(current_db_file); }

    // Makes the primary database current.
    void selectPrimary();
    // Makes a catalogued database current; the two always change together.
    void selectDatabase(const QString &displayName, const QString &fileName);

    QString current_db_name;
    QString current_db_file;

private:
    QString folder_;
};

inline const QString kPrimaryDbName = QStringLiteral("database");
inline const QString kPrimaryDbFile = QStringLiteral("database.txt");
// The scratch file through which the editing windows encode descriptions.
inline const QString kScratchFile = QStringLiteral("42198739.txt");
