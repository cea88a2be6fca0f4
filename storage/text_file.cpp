#include "storage/text_file.h"

#include "storage/large_pages.h"
#include "storage/windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <limits>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage {
namespace {

base::Failure failureFor(const QString &path, const QFileDevice &file, const char *doing)
{
    const QString name = fileNameOf(path);
    if (file.error() == QFileDevice::PermissionsError)
        return base::Failure(base::ErrPermissionDenied, QStringLiteral("Permission denied (%1)").arg(name));
    return base::Failure(
        base::ErrPathFileAccess,
        QStringLiteral("Path/File access error: could not %1 %2 (%3)").arg(doing, name, file.errorString()));
}

base::Failure readOpenFailure(const QString &path, const QFile &file)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return base::Failure(base::ErrFileNotFound, QStringLiteral("File not found (%1)").arg(fileNameOf(path)));
    if (info.exists() && !info.isDir() && !info.isReadable())
        return base::Failure(base::ErrPermissionDenied, QStringLiteral("Permission denied (%1)").arg(fileNameOf(path)));
    return failureFor(path, file, "read");
}

// The failure of a system call on the file at path, from its errno: the
// system's reason (disk full, file too large) is what the user needs.
base::Failure systemFailure(const QString &path, const char *doing, int error)
{
    const QString name = fileNameOf(path);
    if (error == EACCES || error == EPERM)
        return base::Failure(base::ErrPermissionDenied, QStringLiteral("Permission denied (%1)").arg(name));
    return base::Failure(
        base::ErrPathFileAccess,
        QStringLiteral("Path/File access error: could not %1 %2 (%3)").arg(doing, name, qt_error_string(error)));
}

const QLatin1String kSaveMark(".gearledger-save-");
constexpr int kSaveSuffixLength = 6;

bool isSuffixCharacter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
           || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

QByteArray randomSuffix()
{
    static const char kCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(kSaveSuffixLength, Qt::Uninitialized);
    for (char &c : suffix)
        c = kCharacters[QRandomGenerator::system()->bounded(int(sizeof kCharacters - 1))];
    return suffix;
}

// The file a save replaces: links followed to their end, so that a database
// kept elsewhere through a link stays there and the link stays a link.
QString finalTarget(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

// errno after writing all of bytes, 0 when every byte was written.
int writeFully(int fd, QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        left -= written;
    }
    return 0;
}

// Makes a rename in the folder survive a power cut. Returns errno, 0 on
// success; a file system that cannot sync folders (EINVAL) counts as success.
int syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error == EINVAL ? 0 : error;
}

} // namespace

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

namespace {

FileStamp stampOf(const struct stat &status)
{
    constexpr qint64 kBillion = 1000000000;
    return {qint64(status.st_size), qint64(status.st_mtim.tv_sec) * kBillion + status.st_mtim.tv_nsec,
            qint64(status.st_ctim.tv_sec) * kBillion + status.st_ctim.tv_nsec, quint64(status.st_dev),
            quint64(status.st_ino)};
}

} // namespace

std::optional<FileStamp> fileStamp(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return stampOf(status);
}

QByteArray readFile(const QString &path)
{
    FileStamp stamp;
    return readFile(path, &stamp);
}

namespace {

// Opens the file at path for reading; *stamp is its stamp then. Throws the
// Failure that readFile names.
void openForReading(QFile &file, FileStamp *stamp)
{
    const QString path = file.fileName();
    if (QFileInfo(path).isDir())
        throw base::Failure(base::ErrPathFileAccess,
                            QStringLiteral("Path/File access error (%1 is a folder)").arg(fileNameOf(path)));
    if (!file.open(QIODevice::ReadOnly))
        throw readOpenFailure(path, file);
    struct stat status = {};
    if (::fstat(file.handle(), &status) != 0)
        throw failureFor(path, file, "read");
    *stamp = stampOf(status);
}

} // namespace

ReadingFile::ReadingFile(const QString &path) : path_(path)
{
    QFile file(path);
    openForReading(file, &stamp_);
    // The descriptor outlives the QFile, which only opened it.
    fd_ = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0)
        throw systemFailure(path, "read", errno);
}

ReadingFile::~ReadingFile()
{
    ::close(fd_);
}

qsizetype ReadingFile::readAt(char *data, qsizetype length, qsizetype offset) const
{
    qsizetype read = 0;
    while (read < length) {
        const ssize_t got = ::pread(fd_, data + read, size_t(length - read), off_t(offset + read));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw systemFailure(path_, "read", errno);
        if (got == 0)
            break;
        read += got;
    }
    return read;
}

void ReadingFile::readOn(QByteArray &bytes) const
{
    char more[16384];
    while (const qsizetype read = readAt(more, sizeof more, bytes.size()))
        bytes.append(more, read);
}

void readPieces(const QString &path, FileStamp *stamp, qsizetype piece, const TakePiece &take)
{
    const ReadingFile file(path);
    *stamp = file.stamp();
    QByteArray buffer(qMax<qsizetype>(piece, 1), Qt::Uninitialized);
    for (qsizetype at = 0;;) {
        const qsizetype read = file.readAt(buffer.data(), buffer.size(), at);
        if (read == 0 || !take(buffer.constData(), read))
            return;
        at += read;
    }
}

QByteArray bufferFor(qsizetype size, qsizetype room)
{
    QByteArray bytes;
    bytes.reserve(size + room);
    bytes.resize(size);
    askForLargePages(bytes.data(), bytes.capacity());
    return bytes;
}

QByteArray readFile(const QString &path, FileStamp *stamp, qsizetype room)
{
    const ReadingFile file(path);
    *stamp = file.stamp();
    // Read into a buffer of the file's size and the room asked for: the bytes
    // of a database stay in memory while it is listed, with no second copy.
    QByteArray bytes = bufferFor(stamp->size, room);
    const qsizetype read = file.readAt(bytes.data(), bytes.size(), 0);
    bytes.truncate(read);
    // A file that grew meanwhile is read to its end.
    if (read == stamp->size)
        file.readOn(bytes);
    return bytes;
}

LineReader::LineReader(const QString &path) : data_(readFile(path)), name_(fileNameOf(path)) {}

QByteArray LineReader::takeRest()
{
    QByteArray rest = data_.mid(pos_);
    pos_ = data_.size();
    return rest;
}

LineReader LineReader::fromBytes(QByteArray bytes, QString name)
{
    LineReader reader;
    reader.data_ = std::move(bytes);
    reader.name_ = std::move(name);
    return reader;
}

QString LineReader::readLine()
{
    if (atEnd())
        throw base::Failure(base::ErrInputPastEndOfFile,
                            QStringLiteral("Input past end of file (%1, after line %2)").arg(name_).arg(linesRead_));
    const char *begin = data_.constData() + pos_;
    const qsizetype left = data_.size() - pos_;
    const void *cr = memchr(begin, '\r', size_t(left));
    qsizetype length = cr ? static_cast<const char *>(cr) - begin : left;
    QString line = decodeWindows1252(QByteArray::fromRawData(begin, length));
    pos_ += length;
    if (pos_ < data_.size()) {
        ++pos_; // the CR
        if (pos_ < data_.size() && data_[pos_] == '\n')
            ++pos_;
    }
    ++linesRead_;
    return line;
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray out;
    qsizetype total = 0;
    for (const QString &line : lines)
        total += line.size() + 2;
    out.reserve(total);
    QByteArray encoded;
    for (const QString &line : lines) {
        QString bad;
        if (!encodeWindows1252(line, &encoded, &bad)) {
            const QString code = QString::number(bad.at(0).unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
            throw base::Failure(
                base::ErrInvalidArgument,
                QStringLiteral("Invalid argument: the text holds the character \"%1\" (U+%2), which cannot "
                               "be stored in the program's files; nothing was written")
                    .arg(bad, code));
        }
        out += encoded;
        out += "\r\n";
    }
    return out;
}

bool isSaveLeftoverName(const QString &fileName)
{
    // ".", a file name of at least one character, the mark, the suffix.
    const qsizetype markAt = fileName.size() - kSaveSuffixLength - kSaveMark.size();
    if (markAt < 2 || !fileName.startsWith(QLatin1Char('.'))
        || QStringView(fileName).mid(markAt, kSaveMark.size()) != kSaveMark)
        return false;
    for (qsizetype i = markAt + kSaveMark.size(); i < fileName.size(); ++i) {
        if (!isSuffixCharacter(fileName[i]))
            return false;
    }
    return true;
}

namespace {

// Deletes the leftovers in the open folder whose names pass isLeftover:
// regular files only (never a link), and none that a running save holds
// locked. Every name is taken relative to the folder, so no link is followed.
int removeLeftoversAt(int folderFd, const std::function<bool(const QString &)> &isLeftover)
{
    const int listFd = ::dup(folderFd);
    DIR *dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        return 0;
    }
    ::rewinddir(dir);
    int removed = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (!isLeftover(QFile::decodeName(entry->d_name)))
            continue;
        const int fd = ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue; // a link, or gone already
        struct stat st;
        // A save that is still running holds a lock on its file.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::unlinkat(folderFd, entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

int removeLeftoversIn(const QString &folder, const std::function<bool(const QString &)> &isLeftover)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const int removed = removeLeftoversAt(fd, isLeftover);
    ::close(fd);
    return removed;
}

} // namespace

int removeSaveLeftovers(const QString &folder)
{
    return removeLeftoversIn(folder, isSaveLeftoverName);
}

int removeSaveLeftoversAt(int folderFd)
{
    return removeLeftoversAt(folderFd, isSaveLeftoverName);
}

int removeSaveLeftoversOf(const QString &path)
{
    const QFileInfo target(finalTarget(path));
    const QString start = QLatin1Char('.') + target.fileName() + kSaveMark;
    return removeLeftoversIn(target.absolutePath(), [&start](const QString &name) {
        return name.size() == start.size() + kSaveSuffixLength && name.startsWith(start) && isSaveLeftoverName(name);
    });
}

void saveAtomically(const QString &path, const QByteArray &bytes, const std::function<void()> &beforeReplacing)
{
    saveAtomically(path, QVector<QByteArrayView>{bytes}, beforeReplacing);
}

void saveAtomically(const QString &path, const QVector<QByteArrayView> &parts,
                    const std::function<void()> &beforeReplacing)
{
    const QString target = finalTarget(path);
    const QFileInfo targetInfo(target);
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());

    // Renaming over a file needs only the folder's permission: refuse a file
    // the user may not write, as writing it in place would.
    struct stat old;
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    if (exists && ::access(targetName.constData(), W_OK) != 0 && errno == EACCES)
        throw systemFailure(path, "write", EACCES);

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = folder + "/." + QFile::encodeName(targetInfo.fileName()) + kSaveMark.data() + randomSuffix();
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100))
            throw systemFailure(path, "write", errno);
        if (fd < 0)
            continue;
        // Start-up cleaning in another running copy leaves a locked file alone;
        // when it removed this one before the lock was had, another is made.
        ::flock(fd, LOCK_EX);
        struct stat made;
        if (::fstat(fd, &made) == 0 && made.st_nlink == 0) {
            ::close(fd);
            fd = -1;
        }
    }
    int error = 0;
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0)
        error = errno;
    for (const QByteArrayView part : parts) {
        if (error == 0)
            error = writeFully(fd, part);
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    // The file stays open, and so locked, until it has its final name.
    if (error == 0 && beforeReplacing) {
        try {
            beforeReplacing();
        } catch (...) {
            ::unlink(temporary.constData());
            ::close(fd);
            throw;
        }
    }
    if (error == 0 && ::rename(temporary.constData(), targetName.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        ::close(fd);
        throw systemFailure(path, "write", error);
    }
    // The new content is in place, but unless the file is closed and the
    // folder synced without a failure, success cannot be reported.
    error = ::close(fd) == 0 ? 0 : errno;
    if (error == 0)
        error = syncFolder(folder);
    if (error != 0)
        throw systemFailure(path, "write", error);
}

void removeFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return;
    if (!file.remove())
        throw failureFor(path, file, "delete");
}

QString printedNumber(qint64 value)
{
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(qAbs(value)) + QStringLiteral(" ");
}

std::optional<qint64> wholeNumber(const QString &line)
{
    const QString trimmed = line.trimmed();
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

qint64 leadingNumber(const QString &line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < line.size() && (line[i] == QLatin1Char('-') || line[i] == QLatin1Char('+')))
        ++i;
    while (i < line.size() && line[i].isDigit() && line[i].unicode() < 128)
        ++i;
    const QString digits = line.mid(start, i - start);
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok);
    if (ok)
        return value;
    // Too many digits for 64 bits: as large as it gets, so range checks refuse it.
    const bool hasDigits = digits.size() > 1 || (digits.size() == 1 && digits[0].isDigit());
    if (!hasDigits)
        return 0;
    return digits.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                               : std::numeric_limits<qint64>::max();
}

} // namespace storage
