#pragma once

#include "base/outcome.h"

#include <QString>

namespace storage {

// The lock file of a program folder. It stays in the folder, empty, between
// runs; no database, catalogue entry or leftover of a save is ever named so.
inline const QString kFolderLockFile = QStringLiteral("gearledger.lock");

// One program folder belongs to one running copy of the program. A FolderLock
// tries, once, at construction, to take an exclusive flock(2) on the folder's
// lock file (made when missing) and holds it until destruction. The kernel
// gives the lock up whenever the process ends, a crash and SIGKILL included,
// so a copy that died never keeps the next one out. While one FolderLock
// holds a folder, no other gets it, in this process or in another.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Done while this lock holds the folder; refused, naming the folder, when
    // another running copy holds it; failed when the lock file cannot be
    // opened (a folder that is missing or may not be written).
    const base::Outcome &claim() const { return claim_; }

private:
    int fd_ = -1;
    base::Outcome claim_;
};

} // namespace storage
