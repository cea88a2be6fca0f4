#pragma once

#include "app/item_database.h"

#include <QSet>
#include <QString>
#include <QVector>

// Taking downloaded items into a database: an incoming item is taken only when
// its name and its description are both new to the working list (the items
// already there and those taken before it), so of several items with one name
// only the first comes in. Names and descriptions compare exactly.
namespace downloadmerge {

// The items of the downloaded file. The download ends the received text with
// a line end, so a text that ended with one leaves an empty last line: an
// empty line where a name would start and nothing after it is no item.
// Throws a Failure: 53 when the file is missing, 62 when a last name line has
// no description line after it.
QVector<Item> readDownloadedItems(const QString &path);
// The same from the downloaded bytes (no failure 53).
QVector<Item> readDownloadedItemsFromBytes(const QByteArray &bytes, const QString &name = QString());

// The working list, with its names and descriptions kept in sets so that each
// incoming item is checked in constant time.
class WorkingList
{
public:
    WorkingList() = default;
    // Starts with items as they are: duplicates among them are all kept.
    explicit WorkingList(QVector<Item> items);

    // Appends the item when both its name and its description are new to the
    // list; true when it was taken.
    bool takeIfNew(const Item &item);
    // takeIfNew for each item in order; the number taken.
    int takeIn(const QVector<Item> &incoming);

    const QVector<Item> &items() const { return items_; }

private:
    QVector<Item> items_;
    QSet<QString> names_;
    QSet<QString> descriptions_;
};

// Merges downloaded items into the database file at targetPath: its own items
// all stay, in order, followed by the downloaded items that are new to it.
// The file is replaced atomically; on any failure it is left as it was.
// Returns the number of items taken. Throws a Failure: those of reading the
// target (53 missing, 62 ending inside an item), 9 when the result would hold
// more items than the main window can list, or the write failure.
int mergeInto(const QString &targetPath, const QVector<Item> &downloaded);

// The downloaded items a target holding `target` takes in, in order. Throws
// Failure 9 when the target would then hold more items than the main window can list.
QVector<Item> newItemsFor(const QVector<Item> &target, const QVector<Item> &downloaded);

// The downloaded items without those whose name or description came earlier
// in the download: the content of a new database. Throws Failure 9 when they
// are more than the main window can list.
QVector<Item> distinctItems(const QVector<Item> &downloaded);

} // namespace downloadmerge
