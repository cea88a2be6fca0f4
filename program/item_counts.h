#pragma once

#include "storage/text_file.h"

#include <QHash>
#include <QString>

namespace program {

// The whole items of files that never change once written (the versions), as
// storage::countRecords counts them, each read once: a count is kept with the
// file's stamp when it was read, and holds while the file's stamp is that.
class ItemCounts
{
public:
    // The items of the file at path: the kept count while the stamp holds,
    // else counted again (and kept). Throws a Failure when it must be read and
    // cannot; nothing is kept then.
    qsizetype itemsOf(const QString &path);
    // Forgets the counts of files that are gone, so that no more are kept than
    // files there are.
    void forgetGone();
    // How many files were read to count their items so far.
    qsizetype filesRead() const { return filesRead_; }

private:
    struct Counted
    {
        storage::FileStamp stamp;
        qsizetype items = 0;
    };
    QHash<QString, Counted> counted_;
    qsizetype filesRead_ = 0;
};

} // namespace program
