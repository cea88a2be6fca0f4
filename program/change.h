#pragma once

#include "history/version_store.h"
#include "storage/data_folder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace program {

// A change to one database file of the program folder, as an object with a
// lifetime, in the way QSaveFile is one for a file or a transaction for SQLite.
// Opening it names the file and the change ("Delete of small metallic ring").
// Before the file changes, its content is kept as a version
// (history::VersionStore::keepFile: under a hard link when the file has no
// other name, else as a copy), pending until the change is in place. commit()
// says the change is whole: the version becomes final, and the oldest ones
// beyond those kept go. A change that ends without a commit is taken back: its
// version is dropped when the file still holds that content (the change did
// not happen), and made final when the new content is in place all the same
// (the folder could not be synced afterwards, or a later step failed), as it
// is then the only copy of the old content. A change keeps at most one version.
class Change
{
public:
    // versionsChanged runs when a change that kept a version has ended.
    Change(const history::VersionStore &versions, const storage::DataFolder &folder, QString databaseFile, QString name,
           history::Kind kind, std::function<void()> versionsChanged);
    ~Change();
    Change(const Change &) = delete;
    Change &operator=(const Change &) = delete;

    // Replaces the file's content through the safe save (storage::saveAtomically),
    // keeping the content it replaces as the version just before the new one
    // takes its place. Throws a Failure; the file holds its old content then.
    void write(const QByteArray &bytes);
    // The same for new content given in parts (storage::saveAtomically).
    void write(const QVector<QByteArrayView> &parts);
    // Keeps the file's content as the version now (a change that removes the
    // file keeps it so). A missing file has no content to keep, but for an
    // undo, which keeps it as empty. Throws a Failure that says nothing was
    // changed.
    void keepVersion();
    // The change is whole and in place.
    void commit();

private:
    // Makes the kept version final, or drops it; then versionsChanged runs.
    void settle(bool committed);

    const history::VersionStore &versions_;
    const storage::DataFolder &folder_;
    QString file_;
    QString name_;
    history::Kind kind_;
    std::function<void()> versionsChanged_;
    std::optional<history::Version> kept_;
};

} // namespace program
