#include "storage/folder_lock.h"

#include "storage/text_file.h"

#include <QDir>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace storage {
namespace {

// The lock file opened for writing, or for reading when it exists but may not
// be written (flock takes either); -1 with errno set when neither can be had.
int openLockFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0 || (errno != EACCES && errno != EROFS && errno != EPERM))
        return fd;
    const int error = errno;
    const int readOnly = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (readOnly < 0)
        errno = error;
    return readOnly;
}

} // namespace

FolderLock::FolderLock(const QString &folder) : claim_(base::Outcome::done())
{
    const QString shownFolder = QDir::toNativeSeparators(folder);
    fd_ = openLockFile(QFile::encodeName(folder + QLatin1Char('/') + kFolderLockFile));
    if (fd_ < 0) {
        const int error = errno;
        claim_ = base::Outcome::failed(base::Failure(
            base::ErrPathFileAccess, QStringLiteral("Path/File access error: could not open %1 in the program "
                                                    "folder %2 (%3)")
                                         .arg(kFolderLockFile, shownFolder, qt_error_string(error))));
        return;
    }
    int locked;
    do
        locked = ::flock(fd_, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked == 0)
        return;
    const int error = errno;
    claim_ =
        error == EWOULDBLOCK
            ? base::Outcome::refused(QStringLiteral("Another copy of Gearledger is already running on the program "
                                                    "folder %1. Only one copy may use a program folder at a time, so "
                                                    "this one will not open it.")
                                         .arg(shownFolder))
            : base::Outcome::failed(base::Failure(
                base::ErrPathFileAccess, QStringLiteral("Path/File access error: could not lock %1 in the program "
                                                        "folder %2 (%3)")
                                             .arg(kFolderLockFile, shownFolder, qt_error_string(error))));
    ::close(fd_);
    fd_ = -1;
}

FolderLock::~FolderLock()
{
    // Closing the last descriptor gives the lock up; the file stays, since
    // removing it could let two copies lock two different files.
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace storage
