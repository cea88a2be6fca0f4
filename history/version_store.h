#pragma once

#include "storage/data_folder.h"
#include "storage/record_index.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

// Earlier versions of the databases. Before the program changes a database
// file it keeps the file's content as a version, in the folder
// history/<database file name>/ of the program folder. A version's file name
// holds a number that grows with every version kept (the order of the
// versions), the time it was kept in UTC, what kind of step followed it and
// which change (cut to fit the file name):
// "000042;2026-12-06T14.30.12.123Z;change;Delete of small metallic ring.txt".
// Versions named without a number, by local time
// ("2026-12-06 15.30.12.123;change;..."), are read too, and are older than
// every numbered one.
//
// A version is pending (its name ends in ".pending") from when it is kept
// until its change is in place; only then is it final and counted. The newest
// final versions of each database are kept, older ones removed.
namespace history {

inline const QString kFolderName = QStringLiteral("history");
inline constexpr int kVersionsKept = 20;

enum class Kind {
    Change, // a change of the user's followed: add, update, delete, import, merge, removal, restore
    Undo,   // the undo of a change followed (so that undo can itself be taken back)
};

struct Version
{
    QString path;
    // Grows with every version kept; 0 for a version named without a number.
    qint64 sequence = 0;
    // When it was kept, in local time.
    QDateTime when;
    Kind kind = Kind::Change;
    // The change that followed ("Delete of small metallic ring"); for an Undo
    // version the change that was undone.
    QString change;
    // Kept for a change that is not in place yet; it does not count.
    bool pending = false;
};

class VersionStore
{
public:
    using Clock = std::function<QDateTime()>;
    explicit VersionStore(const storage::DataFolder &folder, Clock clock = &QDateTime::currentDateTimeUtc)
        : folder_(folder), clock_(std::move(clock))
    {
    }

    // Keeps bytes as the newest version of a database file, pending, with the
    // same safe save as the databases. Throws a Failure when the version cannot
    // be written; nothing is kept then.
    Version keep(const QString &databaseFile, const QByteArray &bytes, Kind kind, const QString &change) const;
    // Keeps the database file as it is now as the newest version, pending. A
    // file about to be replaced by a safe save (which writes a new file) or
    // removed keeps its content through a hard link, without a copy, when it
    // has no other hard link; otherwise (or where the file system cannot make
    // one) its bytes are copied, so that no version shares its content with a
    // file that is written in place. The version is on disk when this returns.
    // Throws a Failure; nothing is kept then.
    Version keepFile(const QString &databaseFile, Kind kind, const QString &change) const;
    // The change of a pending version is in place: the version becomes final
    // and the oldest beyond the number kept are removed. A version that cannot
    // be renamed stays pending, and the next start finalises it.
    void finalise(const Version &pending) const;
    // Takes back a version that was kept for a change that did not happen.
    void discard(const Version &version) const;
    // Whether a version is what the file holds now (a hard link to it, or the same bytes).
    static bool isContentOf(const Version &version, const QString &file);

    // The start-up's work on the versions, which never leaves the program
    // folder (links in history/ are left alone): removes what killed saves
    // left; drops a pending version whose change did not happen (the database
    // still is the version) and finalises one whose change did, or whose
    // database is no longer catalogued (a removal stopped half-way: the file
    // stays, with its versions, to be offered back); gives a database file
    // that shares its content with a version content of its own. What cannot
    // be done is left for the next start.
    void recover(const std::function<bool(const QString &databaseFile)> &isCatalogued) const;

    // The final versions in a folder of versions (a database file's, or a set
    // aside one), newest first.
    QVector<Version> versions(const QString &versionsFolder) const;
    // The version that "Undo" restores: the content before the newest change
    // that was not undone yet (each undo takes back the change it undid).
    std::optional<Version> undoTarget(const QString &databaseFile) const;
    // The folders of versions: those of database files, and those set aside.
    QStringList folders() const;
    // The database file whose versions a folder holds.
    static QString databaseFileOf(const QString &versionsFolder);
    // The folder that holds a version.
    static QString versionsFolderOf(const Version &version);
    // The versions of a database file go to a folder of their own, set aside,
    // so that a new database of that file name starts without them. Throws a Failure.
    void setAside(const QString &databaseFile) const;
    // A folder of versions becomes the database file's (whose own are set
    // aside first), for a database that comes back. Throws a Failure.
    void adopt(const QString &versionsFolder, const QString &databaseFile) const;

    // The bytes of a version. Throws a Failure.
    static QByteArray read(const Version &version);
    // The same with the index of their items, and room for `room` more bytes
    // (storage::readIndexedFile). Throws a Failure.
    static storage::IndexedFile readIndexed(const Version &version, qsizetype room);

private:
    QString folderOf(const QString &versionsFolder) const;
    // The next version's name, pending (the folder made).
    Version nextVersion(const QString &databaseFile, Kind kind, const QString &change) const;
    // Renames a folder of versions; the history folder is synced. Throws a Failure.
    void renameFolder(const QString &from, const QString &to) const;

    storage::DataFolder folder_;
    Clock clock_;
};

} // namespace history
