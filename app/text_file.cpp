#include "app/text_file.h"

#include "app/cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <limits>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace textfile {
namespace {

Failure failureFor(const QString &path, const QFileDevice &file, const char *doing, int savedErrno = 0)
{
    const QString name = fileNameOf(path);
    if (file.error() == QFileDevice::PermissionsError || savedErrno == EACCES || savedErrno == EPERM)
        return Failure(ErrPermissionDenied, QStringLiteral("Permission denied (%1)").arg(name), kSource);
    // Qt's own text says "Unknown error" after a failed buffered write; the
    // system's reason (disk full, file too large) is what the user needs.
    const QString reason = savedErrno != 0 ? qt_error_string(savedErrno) : file.errorString();
    return Failure(ErrPathFileAccess,
                   QStringLiteral("Path/File access error: could not %1 %2 (%3)").arg(doing, name, reason),
                   kSource);
}

Failure openFailure(const QString &path, const QFile &file, const char *doing)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Failure(ErrFileNotFound, QStringLiteral("File not found (%1)").arg(fileNameOf(path)), kSource);
    if (info.exists() && !info.isDir() && ((QString(doing) == "read" && !info.isReadable())
                                           || (QString(doing) != "read" && !info.isWritable())))
        return Failure(ErrPermissionDenied, QStringLiteral("Permission denied (%1)").arg(fileNameOf(path)), kSource);
    return failureFor(path, file, doing);
}

// Makes a rename in a folder survive a power cut.
void syncFolderOf(const QString &path)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

} // namespace

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw Failure(ErrPathFileAccess, QStringLiteral("Path/File access error (%1 is a folder)").arg(fileNameOf(path)), kSource);
    if (!file.open(QIODevice::ReadOnly))
        throw openFailure(path, file, "read");
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw failureFor(path, file, "read");
    return bytes;
}

LineReader::LineReader(const QString &path) : data_(readAll(path)), name_(fileNameOf(path)) {}

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
        throw Failure(ErrInputPastEndOfFile,
                      QStringLiteral("Input past end of file (%1, after line %2)").arg(name_).arg(linesRead_),
                      kSource);
    const char *begin = data_.constData() + pos_;
    const qsizetype left = data_.size() - pos_;
    const void *cr = memchr(begin, '\r', size_t(left));
    qsizetype length = cr ? static_cast<const char *>(cr) - begin : left;
    QString line = cp1252::decode(QByteArray::fromRawData(begin, length));
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
        if (!cp1252::encode(line, &encoded, &bad)) {
            const QString code = QString::number(bad.at(0).unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
            throw Failure(ErrInvalidArgument,
                          QStringLiteral("Invalid argument: the text holds the character \"%1\" (U+%2), which cannot "
                                         "be stored in the program's files; nothing was written")
                              .arg(bad, code),
                          kSource);
        }
        out += encoded;
        out += "\r\n";
    }
    return out;
}

void saveAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw failureFor(path, file, "write");
    // QSaveFile::commit() does not notice a failed buffered write, so check
    // every write and the final flush, and cancel instead of installing a
    // truncated file.
    errno = 0;
    const qint64 written = file.write(bytes);
    if (written != bytes.size() || !file.flush()) {
        const Failure failure = failureFor(path, file, "write", errno);
        file.cancelWriting();
        file.commit();
        throw failure;
    }
    if (!file.commit())
        throw failureFor(path, file, "write");
    syncFolderOf(path);
}

void appendLines(const QString &path, const QStringList &lines)
{
    const QByteArray encoded = encodeLines(lines);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        throw openFailure(path, file, "write");
    const qint64 oldSize = file.size();
    QByteArray bytes;
    if (oldSize > 0) {
        // A last line without its line end would otherwise swallow the first new line.
        char tail[2] = {0, 0};
        const qint64 want = qMin<qint64>(2, oldSize);
        file.seek(oldSize - want);
        file.read(tail + (2 - want), want);
        const bool ended = tail[1] == '\r' || (tail[0] == '\r' && tail[1] == '\n');
        if (!ended)
            bytes += "\r\n";
    }
    bytes += encoded;
    errno = 0;
    bool ok = file.seek(oldSize);
    ok = ok && file.write(bytes) == bytes.size() && file.flush();
    if (!ok) {
        const Failure failure = failureFor(path, file, "write", errno);
        file.resize(oldSize);
        throw failure;
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw failureFor(path, file, "write");
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
    return digits.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

} // namespace textfile
