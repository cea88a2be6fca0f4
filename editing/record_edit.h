#pragma once

#include "storage/item_database.h"
#include "storage/record_index.h"

#include <QByteArray>
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

// Changed bytes, and where their items lie (found from the change, without
// reading the bytes again).
struct Edited
{
    QByteArray bytes;
    storage::RecordIndex index;
};

// The bytes with the record replaced: a field given anew is written anew, a
// field not given is written back exactly as it was. Nothing when the record
// is not the expected item. Throws a Failure: 62 when the bytes end inside an
// item, 5 for text the file cannot hold.
std::optional<Edited> withRecordReplaced(const QByteArray &bytes, QString fileName, int record,
                                         const storage::Item &expected, const std::optional<QString> &name,
                                         const std::optional<QString> &storedDescription);

// The bytes without the record. Nothing when the record is not the expected
// item. Throws Failure 62 when the bytes end inside an item.
std::optional<Edited> withRecordRemoved(const QByteArray &bytes, QString fileName, int record,
                                        const storage::Item &expected);

// The bytes with the items after them, on lines of their own. Throws Failure 5
// for text the file cannot hold.
Edited withItemsAppended(const QByteArray &bytes, const QVector<storage::Item> &items);
// The same for records already in the file's form (lines ending in CR LF).
Edited withRecordsAppended(const QByteArray &bytes, const QByteArray &records);

} // namespace editing
