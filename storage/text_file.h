#pragma once

#include "base/failure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

// Reading and writing the program's text files: one byte per character in
// Windows-1252, lines written with CR LF. A reader ends a line at CR LF or at
// a lone CR; a lone LF stays inside the line.
namespace storage {

// Reads a whole file. Throws a Failure: 53 when it does not exist,
// 70 when it may not be read, 75 for any other access failure.
QByteArray readFile(const QString &path);

// What tells that a file may hold other bytes than when it was read, without
// reading it: its size, the times of its last change to the nanosecond, its
// device and inode (a file saved anew is a new inode).
struct FileStamp
{
    qint64 size = 0;
    qint64 modified = 0;    // nanoseconds
    qint64 statusChanged = 0; // nanoseconds
    quint64 device = 0;
    quint64 inode = 0;

    bool operator==(const FileStamp &other) const
    {
        return size == other.size && modified == other.modified && statusChanged == other.statusChanged
               && device == other.device && inode == other.inode;
    }
    bool operator!=(const FileStamp &other) const { return !(*this == other); }
    // The same file with the same content: all but the time of its last status
    // change, which a new hard link to it changes.
    bool sameContentAs(const FileStamp &other) const
    {
        return size == other.size && modified == other.modified && device == other.device && inode == other.inode;
    }
};
// The stamp of the file at path now; nothing when it cannot be had.
std::optional<FileStamp> fileStamp(const QString &path);
// Reads a whole file as readFile does; *stamp is the file's stamp when it was
// opened (a change during the reading makes the file's next stamp differ).
// The bytes have room for `room` more without moving (memory the system
// hands out only when it is written).
QByteArray readFile(const QString &path, FileStamp *stamp, qsizetype room = 0);
// A file open for reading at any offset, from any thread at once.
class ReadingFile
{
public:
    // Opens the file at path; throws the Failure that readFile names.
    explicit ReadingFile(const QString &path);
    ~ReadingFile();
    ReadingFile(const ReadingFile &) = delete;
    ReadingFile &operator=(const ReadingFile &) = delete;

    // The file's stamp when it was opened.
    const FileStamp &stamp() const { return stamp_; }
    // Reads `length` bytes at `offset` into data; fewer only at the file's
    // end. Throws a Failure naming the system's reason.
    qsizetype readAt(char *data, qsizetype length, qsizetype offset) const;
    // Appends to bytes what the file holds past bytes.size(): the rest of a
    // file that grew after it was opened.
    void readOn(QByteArray &bytes) const;

private:
    QString path_;
    int fd_ = -1;
    FileStamp stamp_;
};
// A buffer of `size` bytes, not yet written, with room for `room` more
// without moving (memory the system hands out only when it is written).
QByteArray bufferFor(qsizetype size, qsizetype room);
// The pieces a large file is read in, each taken up while still in the
// processor's cache.
inline constexpr qsizetype kReadPiece = qsizetype(4) << 20;
// Reads a file piece by piece into one buffer of `piece` bytes, never holding
// more of it: `take` gets each piece read (up to `piece` bytes), in order, and
// returns false to end the reading there. *stamp is the file's stamp when it
// was opened. Throws a Failure as readFile does.
using TakePiece = std::function<bool(const char *data, qsizetype length)>;
void readPieces(const QString &path, FileStamp *stamp, qsizetype piece, const TakePiece &take);

// Reads lines one at a time from a file read whole at construction.
class LineReader
{
public:
    explicit LineReader(const QString &path);
    static LineReader fromBytes(QByteArray bytes, QString name = QString());

    bool atEnd() const { return pos_ >= data_.size(); }
    // The next line without its line end. Throws Failure 62 at the end of the file.
    QString readLine();
    // Lines read so far.
    int linesRead() const { return linesRead_; }
    // The bytes not read yet; the reader is at the end afterwards.
    QByteArray takeRest();

private:
    LineReader() = default;
    QByteArray data_;
    qsizetype pos_ = 0;
    int linesRead_ = 0;
    QString name_;
};

// Every line followed by CR LF, in Windows-1252. Throws Failure 5 naming the
// first character that Windows-1252 cannot hold: text is never changed silently.
QByteArray encodeLines(const QStringList &lines);

// Replaces the whole file: afterwards it holds either all of its old content
// or all of the new one, whatever fails and whenever the machine stops, and a
// save that returns is on disk. The new content is written to a temporary file
// in the same folder, named ".<file>.gearledger-save-XXXXXX" (six letters or
// digits), which is synced and renamed over the file; the folder is synced
// too. A link is followed: the file it points to is replaced. The file keeps
// its permissions. Throws a Failure (70 when the file or folder may not be
// written, 75 otherwise) after removing the temporary file.
// beforeReplacing, when given, runs once the new content is written and synced
// and just before it replaces the old; a Failure it throws stops the save with
// the old content in place (the earlier versions keep the old file there).
void saveAtomically(const QString &path, const QByteArray &bytes, const std::function<void()> &beforeReplacing = {});
// The same for new content given in parts, written one after the other
// without being joined in memory first.
void saveAtomically(const QString &path, const QVector<QByteArrayView> &parts,
                    const std::function<void()> &beforeReplacing = {});

// Whether a file name is that of a temporary file of saveAtomically.
bool isSaveLeftoverName(const QString &fileName);

// Deletes the temporary files that saves in the folder left behind when the
// process died during them: regular files whose names have exactly the form
// above, and never anything else (links, folders and every other name stay).
// A file that a running save holds stays too: a save holds its temporary file
// locked from its making until it has been renamed over the file it replaces.
// Returns how many were deleted; a leftover that cannot be deleted is left.
int removeSaveLeftovers(const QString &folder);
// The same in the folder open as folderFd: every name is taken relative to it
// and no link is followed, so nothing outside that folder is touched.
int removeSaveLeftoversAt(int folderFd);

// Deletes, with the same care, the leftovers of saves of the file at path
// only, in the folder that file lies in: a link is followed to its end, as a
// save follows it, so for a database kept elsewhere through a link this
// cleans that folder of ".<target's name>.gearledger-save-XXXXXX" and nothing
// else. Returns how many were deleted.
int removeSaveLeftoversOf(const QString &path);

// Deletes a file; a file that is already gone is no failure.
void removeFile(const QString &path);

// A number as the program writes it to a file: a blank in the place of the
// sign (or "-"), the digits, a blank: " 3 ".
QString printedNumber(qint64 value);

// The value of a line that holds one whole number with optional blanks around it
// ("0", " 65280 "); nothing when the line holds anything else.
std::optional<qint64> wholeNumber(const QString &line);

// The number at the start of a line after leading blanks, 0 when it does not
// start with one (" 3 " gives 3, "12abc" gives 12, "abc" gives 0).
qint64 leadingNumber(const QString &line);

// File name part of a path, for messages.
QString fileNameOf(const QString &path);

} // namespace storage
