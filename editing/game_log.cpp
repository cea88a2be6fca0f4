#include "editing/game_log.h"

#include "app/cp1252.h"
#include "app/text_file.h"
#include "editing/identify_text.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace gamelog {
namespace {

bool isEnd(char c)
{
    return c == '\r' || c == '\n';
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

} // namespace

QString decodedLine(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? cp1252::decode(bytes.toByteArray()) : text;
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
    while (i < n) {
        const char *const begin = bytes.data() + i;
        const char *const end = std::find_if(begin, bytes.data() + n, isEnd);
        if (end == bytes.data() + n) {
            pending_.append(begin, end - begin);
            return;
        }
        if (pending_.isEmpty()) {
            takeLine(QByteArrayView(begin, end));
        } else {
            pending_.append(begin, end - begin);
            takeLine(pending_);
            pending_.clear();
        }
        const char ended = *end;
        i = end - bytes.data() + 1;
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

void Harvester::takeLine(QByteArrayView bytes)
{
    QString line = identify::cleanedLine(decodedLine(bytes));
    if (line.startsWith(blockStart_)) {
        endBlock();
        block_.append(std::move(line));
    } else if (!block_.isEmpty()) {
        if (line.isEmpty())
            endBlock();
        else
            block_.append(std::move(line));
    }
}

void Harvester::endBlock()
{
    if (block_.isEmpty())
        return;
    ++blocks_;
    if (const std::optional<identify::FoundItem> found = identify::findItem(block_)) {
        Item item{found->name, identify::storedDescription(found->descriptionLines)};
        const QString key = item.name + QLatin1Char('\n') + item.description;
        if (const auto seen = indexOf_.constFind(key); seen != indexOf_.cend()) {
            ++found_[*seen].timesFound;
        } else {
            const bool writable = cp1252::canEncode(item.name) && cp1252::canEncode(item.description);
            indexOf_.insert(key, found_.size());
            found_.append({std::move(item), 1, writable});
        }
    }
    block_.clear();
}

void readLog(const QString &path, Harvester &harvester,
             const std::function<bool(qint64 bytesRead, qint64 bytesTotal)> &afterPiece)
{
    QFile file(path);
    const auto failure = [&] {
        if (!QFileInfo::exists(path))
            return Failure(ErrFileNotFound, QStringLiteral("File not found (%1)").arg(textfile::fileNameOf(path)),
                           textfile::kSource);
        return Failure(ErrPathFileAccess,
                       QStringLiteral("Path/File access error: could not read %1 (%2)")
                           .arg(textfile::fileNameOf(path), file.errorString()),
                       textfile::kSource);
    };
    if (!file.open(QIODevice::ReadOnly))
        throw failure();
    const qint64 total = file.size();
    qint64 done = 0;
    QByteArray piece(kPieceSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0)
            throw failure();
        if (got == 0)
            break;
        harvester.feed(QByteArrayView(piece.constData(), got));
        done += got;
        if (!afterPiece(done, total))
            return;
    }
    harvester.finish();
}

} // namespace gamelog
