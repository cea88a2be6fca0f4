#include "editing/game_log.h"

#include "editing/identify_text.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <QFile>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace editing {
namespace {

bool isEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Finds the line ends of a piece, each byte looked at once by memchr (fast
// also over the long lines that are skipped).
class LineEnds
{
public:
    explicit LineEnds(QByteArrayView bytes) : bytes_(bytes) {}

    // Where the first CR or LF at or after `from` is; the piece's size when none is.
    qsizetype from(qsizetype from)
    {
        if (nextLf_ < from)
            nextLf_ = find('\n', from);
        if (nextCr_ < from)
            nextCr_ = find('\r', from);
        return std::min(nextLf_, nextCr_);
    }

private:
    qsizetype find(char c, qsizetype from) const
    {
        const void *at = std::memchr(bytes_.data() + from, c, size_t(bytes_.size() - from));
        return at ? static_cast<const char *>(at) - bytes_.data() : bytes_.size();
    }

    QByteArrayView bytes_;
    qsizetype nextLf_ = -1;
    qsizetype nextCr_ = -1;
};

// The bytes without a UTF-8 character that a cut left incomplete at the end.
QByteArrayView wholeCharacters(QByteArrayView bytes)
{
    for (qsizetype back = 1; back <= std::min<qsizetype>(4, bytes.size()); ++back) {
        const auto c = uchar(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? bytes.first(bytes.size() - back) : bytes;
    }
    return bytes;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

base::Failure readFailure(const QString &path, const QString &reason)
{
    return base::Failure(
        base::ErrPathFileAccess,
        QStringLiteral("Path/File access error: could not read %1 (%2)").arg(storage::fileNameOf(path), reason));
}

const QString kNotAFile = QStringLiteral("a folder, a pipe or a device, not a file");

// Opens a regular file for reading. The type is looked at before the file is
// opened, so that a pipe without a writer cannot block the opening, and again
// on what was opened (without waiting), in case the name changed hands between.
void openRegularFile(const QString &path, QFile &file)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw base::Failure(base::ErrFileNotFound,
                                QStringLiteral("File not found (%1)").arg(storage::fileNameOf(path)));
        throw readFailure(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!S_ISREG(status.st_mode))
        throw readFailure(path, kNotAFile);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw readFailure(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw readFailure(path, kNotAFile);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw readFailure(path, file.errorString());
    }
}

} // namespace

QString decodeLogLine(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? storage::decodeWindows1252(bytes.toByteArray()) : text;
}

Harvester::Harvester(QString blockStart) : blockStart_(std::move(blockStart)) {}

void Harvester::feed(QByteArrayView bytes)
{
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    // A pair of different line-end characters is one line end, also across pieces.
    if (lastEnd_ != 0 && n > 0) {
        if (isEnd(bytes[0]) && bytes[0] != lastEnd_)
            i = 1;
        lastEnd_ = 0;
    }
    LineEnds ends(bytes);
    while (i < n) {
        const qsizetype end = ends.from(i);
        if (end == n) {
            keep(bytes.sliced(i));
            return;
        }
        if (pending_.isEmpty() && !lineCut_ && end - i <= kLongestLine) {
            takeLine(bytes.sliced(i, end - i));
        } else {
            keep(bytes.sliced(i, end - i));
            takeLine(pending_);
            pending_.clear();
        }
        const char ended = bytes[end];
        i = end + 1;
        if (i == n)
            lastEnd_ = ended;
        else if (isEnd(bytes[i]) && bytes[i] != ended)
            ++i;
    }
}

void Harvester::finish()
{
    if (!pending_.isEmpty())
        takeLine(pending_);
    pending_.clear();
    lastEnd_ = 0;
    endBlock();
}

void Harvester::keep(QByteArrayView bytes)
{
    const qsizetype room = kLongestLine - pending_.size();
    if (bytes.size() > room)
        lineCut_ = true;
    pending_.append(bytes.first(std::min(bytes.size(), room)));
    noteKept();
}

void Harvester::takeLine(QByteArrayView bytes)
{
    bool cut = std::exchange(lineCut_, false);
    QString line = cleanedLine(decodeLogLine(cut ? wholeCharacters(bytes) : bytes));
    if (line.size() > kLongestLine) {
        line.truncate(line[kLongestLine].isLowSurrogate() ? kLongestLine - 1 : kLongestLine);
        cut = true;
    }
    cutLines_ += cut;
    if (line.startsWith(blockStart_)) {
        endBlock();
        addToBlock(std::move(line));
    } else if (!block_.isEmpty()) {
        if (line.isEmpty())
            endBlock();
        else
            addToBlock(std::move(line));
    }
}

void Harvester::addToBlock(QString line)
{
    // The first line always fits: a line is shorter than a block.
    blockCut_ = blockCut_ || blockLength_ + line.size() + 1 > kLongestBlock;
    if (blockCut_)
        return;
    blockLength_ += line.size() + 1;
    block_.append(std::move(line));
    noteKept();
}

void Harvester::endBlock()
{
    if (block_.isEmpty())
        return;
    ++blocks_;
    cutBlocks_ += blockCut_;
    blockCut_ = false;
    blockLength_ = 0;
    if (const std::optional<IdentifiedItem> found = findIdentifiedItem(block_)) {
        storage::Item item{found->name, storedDescription(found->descriptionLines)};
        const QString key = item.name + QLatin1Char('\n') + item.description;
        if (const auto seen = indexOf_.constFind(key); seen != indexOf_.cend()) {
            ++found_[*seen].timesFound;
        } else {
            const bool writable =
                storage::canEncodeWindows1252(item.name) && storage::canEncodeWindows1252(item.description);
            indexOf_.insert(key, found_.size());
            found_.append({std::move(item), 1, writable});
        }
    }
    block_.clear();
}

void readLog(const QString &path, Harvester &harvester,
             const std::function<bool(qint64 bytesRead, qint64 bytesTotal)> &afterPiece)
{
    QFile file;
    openRegularFile(path, file);
    const qint64 total = file.size();
    qint64 done = 0;
    // Large reads take fewer system calls; the harvester takes each in
    // pieces, and after each piece the caller says whether to go on.
    QByteArray buffer(kReadSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0)
            throw readFailure(path, file.errorString());
        if (got == 0)
            break;
        for (qint64 at = 0; at < got; at += kPieceSize) {
            const qint64 piece = std::min<qint64>(kPieceSize, got - at);
            harvester.feed(QByteArrayView(buffer.constData() + at, piece));
            done += piece;
            if (!afterPiece(done, total))
                return;
        }
    }
    harvester.finish();
}

} // namespace editing
