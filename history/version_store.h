#pragma once

#include "app/data_folder.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

// Earlier versions of the databases. Before the program changes a database
// file it keeps the file's content as a version, in the folder
// history/<database file name>/ of the program folder. A version's file name
// says when it was kept, what kind of step followed it and which change:
// "2026-12-06 15.30.12.123;change;Delete of small metallic ring.txt". The
// newest versions of each database are kept, older ones removed.
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
    QDateTime when;
    Kind kind = Kind::Change;
    // The change that followed ("Delete of small metallic ring"); for an Undo
    // version the change that was undone.
    QString change;
};

class VersionStore
{
public:
    explicit VersionStore(const DataFolder &folder) : folder_(folder) {}

    // Keeps bytes as the newest version of a database file, with the same
    // safe save as the databases, and removes the oldest beyond the number
    // kept. Throws a Failure when the version cannot be written; nothing is kept then.
    Version keep(const QString &databaseFile, const QByteArray &bytes, Kind kind, const QString &change) const;
    // Keeps the database file as it is now as the newest version. A file about
    // to be replaced by a safe save (which writes a new file) or removed keeps
    // its content under a second name, without a copy; where the file system
    // cannot give one, its bytes are copied. The version is on disk when this
    // returns. Throws a Failure; nothing is kept then.
    Version keepFile(const QString &databaseFile, Kind kind, const QString &change) const;
    // Takes back a version that was kept for a change that did not happen.
    void discard(const Version &version) const;
    // Whether a version is what the file holds now (its second name, or the same bytes).
    static bool isContentOf(const Version &version, const QString &file);

    // The versions of a database file, newest first.
    QVector<Version> versions(const QString &databaseFile) const;
    // The version that "Undo" restores: the content before the newest change
    // that was not undone yet (each undo takes back the change it undid).
    std::optional<Version> undoTarget(const QString &databaseFile) const;
    // The database files that have versions.
    QStringList databaseFiles() const;

    // The bytes of a version. Throws a Failure.
    static QByteArray read(const Version &version);

private:
    QString folderOf(const QString &databaseFile) const;
    // The name of the next version (the folder made), and the versions before it.
    Version nextVersion(const QString &databaseFile, Kind kind, const QString &change,
                        QVector<Version> *earlier) const;
    // Removes the oldest of the earlier versions beyond the number kept.
    void prune(const QVector<Version> &earlier) const;

    DataFolder folder_;
};

} // namespace history
