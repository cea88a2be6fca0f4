#pragma once

#include "base/failure.h"
#include "storage/text_file.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <limits>
#include <optional>

// Where each item of a database file lies in the file's bytes. An item is two
// lines, its name and its stored description; a line ends at CR LF or at a lone
// CR (the line end is not part of the line) and a lone LF stays inside it. The
// bytes are never copied: the spans point into the buffer the caller keeps.
namespace storage {

struct Span
{
    qsizetype begin = 0;
    qsizetype length = 0;
};

struct Record
{
    Span name;
    Span description;
};

struct RecordIndex
{
    // The whole items, in file order.
    QVector<Record> records;
    // The file ends with a name line that has no description line after it
    // (an odd number of lines): that name, which a listing still shows.
    std::optional<Span> danglingName;
};

// Indexes every item of the bytes.
RecordIndex indexRecords(const QByteArray &bytes);

// A file's bytes and the index of their items.
struct IndexedFile
{
    QByteArray bytes;
    RecordIndex index;
};
// Reads a whole file as readFile(path, stamp, room) does, with its index. A
// file of two pieces (of `piece` bytes) or more is read in two halves at once
// on two threads, and each piece is indexed as it arrives.
IndexedFile readIndexedFile(const QString &path, FileStamp *stamp, qsizetype room, qsizetype piece = kReadPiece);

// Counts the whole items of bytes that arrive in pieces, as many as
// indexRecords(the bytes joined).records holds, without keeping the bytes.
class RecordCounter
{
public:
    // The next bytes of the file.
    void take(const char *data, qsizetype length);
    // The whole items of the bytes taken so far, were they the whole file;
    // never fewer after more bytes are taken.
    qsizetype records() const;

private:
    qsizetype lineEnds_ = 0; // the CRs taken
    bool taken_ = false;
    char last_ = 0;
    char beforeLast_ = 0;
};

// The pieces countRecords reads a file in.
inline constexpr qsizetype kCountPiece = qsizetype(4) << 20;
// The whole items of the file at path, as indexRecords counts them in its
// bytes, read in pieces of `piece` bytes; at most `enough`: the reading stops
// once that many are counted. *stamp is the file's stamp when it was opened.
// Throws a Failure as readFile does.
qsizetype countRecords(const QString &path, FileStamp *stamp,
                       qsizetype enough = std::numeric_limits<qsizetype>::max(), qsizetype piece = kCountPiece);

// The index of bytes that must hold whole items: Failure 62 (naming the file)
// when they end with a name line that has no description.
RecordIndex wholeRecords(const QByteArray &bytes, const QString &fileName);

// Failure 62 for an index with a dangling name, naming the file and the lines
// read before the description that is missing.
base::Failure danglingNameFailure(const RecordIndex &index, const QString &fileName);

// The line starting at `from`, and where the next one starts (bytes.size() at the end).
Span lineAt(const QByteArray &bytes, qsizetype from, qsizetype *next);

} // namespace storage
