#pragma once

#include "storage/item_database.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <functional>

// Harvesting the items of a game log: a text file in which a game session was
// recorded, identify output among the chatter.
namespace editing {

inline const QString kDefaultBlockStart = QStringLiteral("Object '");

// A line of a log in any of the encodings logs come in: UTF-8 when the bytes
// are valid UTF-8 and not all ASCII, else Windows-1252 (which reads Latin-1
// text as it stands). Each line is decoded on its own, so a log that sessions
// of different clients were appended to reads whole.
QString decodeLogLine(QByteArrayView bytes);

// An item found in the log, once for each different name and description.
struct FoundItem
{
    storage::Item item;   // the name and the stored description
    int timesFound = 1;   // the blocks that gave exactly this item
    bool writable = true; // every character has a place in a database file
};

// The most a harvest keeps of a line: its first kLongestLine bytes (less the
// part of a UTF-8 character they would cut), and of these, once cleaned, the
// first kLongestLine characters. The most it keeps of a block: kLongestBlock
// characters, each line end counted as one; a line that would pass it is left
// out with every later line of the block. What is cut is skipped unread.
inline constexpr qsizetype kLongestLine = 1 << 16;
inline constexpr qsizetype kLongestBlock = 1 << 18;

// Reads a log piece by piece (pieces may split a line anywhere) and finds its
// identify blocks. A block starts at a line that begins with the block start
// text and ends before the next empty line or the next block start. Lines end
// at CR LF, LF CR, LF or CR; each is cleaned as identify::cleanedLine does
// before anything is compared, so colour escapes never hide a block start.
// Each block gives its item as identify::findItem finds it. Lines and blocks
// are kept to kLongestLine and kLongestBlock, so that besides the items found
// a log costs a bounded amount of memory, however long its lines.
class Harvester
{
public:
    explicit Harvester(QString blockStart);

    void feed(QByteArrayView bytes);
    // The end of the log: ends its last line and block.
    void finish();

    const QVector<FoundItem> &found() const { return found_; }
    qsizetype blocks() const { return blocks_; }
    // The lines and the blocks that were cut.
    qsizetype cutLines() const { return cutLines_; }
    qsizetype cutBlocks() const { return cutBlocks_; }
    // The most held at once of the line and the block being read: bytes of
    // the line plus characters of the block (never more than
    // kLongestLine + kLongestBlock).
    qsizetype mostKept() const { return mostKept_; }

private:
    // Keeps what there is room for of a line not yet ended.
    void keep(QByteArrayView bytes);
    void takeLine(QByteArrayView bytes);
    void addToBlock(QString line);
    void endBlock();
    void noteKept() { mostKept_ = std::max(mostKept_, pending_.size() + blockLength_); }

    QString blockStart_;
    QByteArray pending_;   // the start of a line not yet ended
    bool lineCut_ = false; // pending_ lost bytes beyond kLongestLine
    char lastEnd_ = 0;     // the line end that ended the last piece, which the next piece's first byte may pair with
    QStringList block_;
    qsizetype blockLength_ = 0; // block_'s characters and line ends
    bool blockCut_ = false;
    qsizetype cutLines_ = 0;
    qsizetype cutBlocks_ = 0;
    qsizetype mostKept_ = 0;
    QVector<FoundItem> found_;
    QHash<QString, qsizetype> indexOf_; // name "\n" stored description -> place in found_
    qsizetype blocks_ = 0;
};

// Reads a log file into the harvester a piece (kPieceSize bytes) at a time,
// from reads of kReadSize bytes, and finishes it.
// afterPiece runs after each piece with the bytes read so far and the file's
// size; when it returns false the reading stops there, unfinished. Only a
// regular file is read: a folder, a pipe or a device is refused before it is
// opened (a pipe would block, a device may never end). Throws a Failure (53
// for a missing file, 75 when it cannot be read or is no regular file).
inline constexpr qsizetype kPieceSize = 1 << 16;
inline constexpr qsizetype kReadSize = 1 << 20;
void readLog(const QString &path, Harvester &harvester,
             const std::function<bool(qint64 bytesRead, qint64 bytesTotal)> &afterPiece);

} // namespace editing
