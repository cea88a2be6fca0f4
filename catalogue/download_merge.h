#pragma once

#include "storage/item_database.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

// Taking downloaded items into a database: an incoming item is taken only when
// its name and its description are both new to the working list (the items
// already there and those taken before it), so of several items with one name
// only the first comes in. Names and descriptions compare exactly, so the
// work is done on the files' bytes.
namespace catalogue {

// The download ends the received text with a line end, so a text that ended
// with one leaves an empty last line: an empty line where a name would start
// and nothing after it is no item.

// The records a database whose file holds `target` takes in from the bytes of
// a downloaded database, in order, as the file holds them (name line and
// description line, each ending in CR LF); *taken says how many. The target's
// own items, duplicates among them, all stay. Throws Failure 62 when the
// target or the download ends inside an item.
// carryOn, when given, is told every so often how many of the items of both
// were looked at; when it answers false the work stops: nothing is returned
// and *taken is -1.
QByteArray newDownloadedRecords(const QByteArray &target, const QString &targetName, const QByteArray &download,
                                int *taken, const QString &downloadName = QStringLiteral("tmp94838.txt"),
                                const std::function<bool(qsizetype done, qsizetype total)> &carryOn = {});

// The downloaded items without those whose name or description came earlier
// in the download: the content of a new database. Throws Failure 62 when the
// download ends inside an item.
QVector<storage::Item> distinctDownloadedItems(const QByteArray &download);

} // namespace catalogue
