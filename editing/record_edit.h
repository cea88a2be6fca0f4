#pragma once

#include "app/item_database.h"

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
namespace recordedit {

// The bytes with the record replaced: a field given anew is written anew, a
// field not given is written back exactly as it was. Nothing when the record
// is not the expected item. Throws a Failure: 62 when the bytes end inside an
// item, 5 for text the file cannot hold.
std::optional<QByteArray> withRecordReplaced(const QByteArray &bytes, QString fileName, int record,
                                             const Item &expected, const std::optional<QString> &name,
                                             const std::optional<QString> &storedDescription);

// The bytes without the record. Nothing when the record is not the expected
// item. Throws Failure 62 when the bytes end inside an item.
std::optional<QByteArray> withRecordRemoved(const QByteArray &bytes, QString fileName, int record,
                                            const Item &expected);

// The bytes with the items after them, on lines of their own. Throws Failure 5
// for text the file cannot hold.
QByteArray withItemsAppended(QByteArray bytes, const QVector<Item> &items);

} // namespace recordedit
