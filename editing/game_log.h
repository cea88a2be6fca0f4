#pragma once

#include "app/item_database.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// Harvesting the items of a game log: a text file in which a game session was
// recorded, identify output among the chatter.
namespace gamelog {

inline const QString kDefaultBlockStart = QStringLiteral("Object '");

// A line of a log in any of the encodings logs come in: UTF-8 when the bytes
// are valid UTF-8 and not all ASCII, else Windows-1252 (which reads Latin-1
// text as it stands). Each line is decoded on its own, so a log that sessions
// of different clients were appended to reads whole.
QString decodedLine(QByteArrayView bytes);

// An item found in the log, once for each different name and description.
struct FoundItem
{
    Item item;            // the name and the stored description
    int timesFound = 1;   // the blocks that gave exactly this item
    bool writable = true; // every character has a place in a database file
};

// Reads a log piece by piece (pieces may split a line anywhere) and finds its
// identify blocks. A block starts at a line that begins with the block start
// text and ends before the next empty line or the next block start. Lines end
// at CR LF, LF CR, LF or CR; each is cleaned as identify::cleanedLine does
// before anything is compared, so colour escapes never hide a block start.
// Each block gives its item as identify::findItem finds it.
class Harvester
{
public:
    explicit Harvester(QString blockStart);

    void feed(QByteArrayView bytes);
    // The end of the log: ends its last line and block.
    void finish();

    const QVector<FoundItem> &found() const { return found_; }
    qsizetype blocks() const { return blocks_; }

private:
    void takeLine(QByteArrayView bytes);
    void endBlock();

    QString blockStart_;
    QByteArray pending_; // the start of a line not yet ended
    char lastEnd_ = 0;   // the line end that ended the last piece, which the next piece's first byte may pair with
    QStringList block_;
    QVector<FoundItem> found_;
    QHash<QString, qsizetype> indexOf_; // name "\n" stored description -> place in found_
    qsizetype blocks_ = 0;
};

// Reads a log file into the harvester a piece at a time and finishes it.
// afterPiece runs after each piece with the bytes read so far and the file's
// size; when it returns false the reading stops there, unfinished. Throws a
// Failure (53 for a missing file, 75 when it cannot be read).
inline constexpr qsizetype kPieceSize = 1 << 20;
void readLog(const QString &path, Harvester &harvester,
             const std::function<bool(qint64 bytesRead, qint64 bytesTotal)> &afterPiece);

} // namespace gamelog
