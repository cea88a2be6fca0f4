#pragma once

#include "storage/item_database.h"
#include "storage/record_index.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

#include <optional>

// Changes to a database file's bytes that touch only what they change. Items
// have no key of their own and names may repeat, so a record is named by its
// place in the file (from 0) together with the item the caller saw there; when
// the bytes no longer hold that item there (the file was changed since the list
// was filled), there is nothing to change. Every other byte stays as it was,
// line ends and all; a line the change writes ends with CR LF.
namespace editing {

// One change of a database's bytes, found from the bytes and their index
// without reading the bytes again: `removed` bytes at `at` give way to
// `inserted`, and the index follows: the records from `record` on, `recordsRemoved`
// of them, give way to `records` (at their places in the changed bytes), and
// the records after them move with the bytes.
struct RecordEdit
{
    qsizetype at = 0;
    qsizetype removed = 0;
    QByteArray inserted;
    int record = 0;
    int recordsRemoved = 0;
    QVector<storage::Record> records;
    // The changed bytes are indexed anew: the bytes ended inside an item.
    bool indexAnew = false;
};

// Changed bytes, and where their items lie.
struct Edited
{
    QByteArray bytes;
    storage::RecordIndex index;
};

// The record replaced: a field given anew is written anew, a field not given
// is written back exactly as it was. Nothing when the record is not the
// expected item. `index` is that of `bytes`. Throws a Failure: 62 (naming the
// file) when the bytes end inside an item, 5 for text the file cannot hold.
std::optional<RecordEdit> recordReplaced(const QByteArray &bytes, const storage::RecordIndex &index,
                                         const QString &fileName, int record, const storage::Item &expected,
                                         const std::optional<QString> &name,
                                         const std::optional<QString> &storedDescription);

// The record removed. Nothing when the record is not the expected item.
// Throws Failure 62 when the bytes end inside an item.
std::optional<RecordEdit> recordRemoved(const QByteArray &bytes, const storage::RecordIndex &index,
                                        const QString &fileName, int record, const storage::Item &expected);

// The items after the bytes, on lines of their own. Throws Failure 5 for text
// the file cannot hold.
RecordEdit itemsAppended(const QByteArray &bytes, const storage::RecordIndex &index,
                         const QVector<storage::Item> &items);
// The same for records already in the file's form (lines ending in CR LF).
RecordEdit recordsAppended(const QByteArray &bytes, const storage::RecordIndex &index, const QByteArray &records);

// The changed bytes in three parts (before the change, the new bytes, after
// it), which point into `bytes` and the edit.
QVector<QByteArrayView> editedParts(const QByteArray &bytes, const RecordEdit &edit);

// The edit that takes `edit` back: applied to the bytes and index that `edit`
// gave, it gives `bytes` and `index` again (the bytes and index `edit` was
// made for). Nothing for an edit that indexes anew.
std::optional<RecordEdit> takingBack(const RecordEdit &edit, const QByteArray &bytes,
                                     const storage::RecordIndex &index);

// Changes the bytes and their index in place: the bytes after the change move,
// in the same buffer when its capacity allows and it is not shared. Throws
// std::bad_alloc when memory runs out, leaving both to be read again.
void applyEdit(const RecordEdit &edit, QByteArray &bytes, storage::RecordIndex &index);

// The bytes with the records after them, in a new buffer, and their index.
Edited withRecordsAppended(const QByteArray &bytes, const QByteArray &records);
Edited withItemsAppended(const QByteArray &bytes, const QVector<storage::Item> &items);

} // namespace editing
