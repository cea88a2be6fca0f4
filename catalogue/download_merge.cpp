#include "catalogue/download_merge.h"

#include "app/failure.h"
#include "app/text_file.h"
#include "app/item_database.h"

namespace downloadmerge {
namespace {

void refuseOverCapacity(const WorkingList &list)
{
    if (list.items().size() > itemdb::kListCapacity)
        throw Failure(ErrSubscriptOutOfRange,
                      QStringLiteral("Subscript out of range: the database would hold %1 items, more than the %2 "
                                     "the program can list; nothing was written")
                          .arg(list.items().size())
                          .arg(itemdb::kListCapacity),
                      textfile::kSource);
}

} // namespace

QVector<Item> readDownloadedItems(const QString &path)
{
    return readDownloadedItemsFromBytes(textfile::readAll(path), textfile::fileNameOf(path));
}

QVector<Item> readDownloadedItemsFromBytes(const QByteArray &bytes, const QString &name)
{
    textfile::LineReader reader = textfile::LineReader::fromBytes(bytes, name);
    QVector<Item> items;
    while (!reader.atEnd()) {
        Item item;
        item.name = reader.readLine();
        if (item.name.isEmpty() && reader.atEnd())
            break; // the line end the download added after the text's own
        item.description = reader.readLine();
        items.append(std::move(item));
    }
    return items;
}

WorkingList::WorkingList(QVector<Item> items) : items_(std::move(items))
{
    names_.reserve(items_.size());
    descriptions_.reserve(items_.size());
    for (const Item &item : items_) {
        names_.insert(item.name);
        descriptions_.insert(item.description);
    }
}

bool WorkingList::takeIfNew(const Item &item)
{
    if (names_.contains(item.name) || descriptions_.contains(item.description))
        return false;
    items_.append(item);
    names_.insert(item.name);
    descriptions_.insert(item.description);
    return true;
}

int WorkingList::takeIn(const QVector<Item> &incoming)
{
    int taken = 0;
    for (const Item &item : incoming) {
        if (takeIfNew(item))
            ++taken;
    }
    return taken;
}

QVector<Item> newItemsFor(const QVector<Item> &target, const QVector<Item> &downloaded)
{
    WorkingList list(target);
    const int taken = list.takeIn(downloaded);
    refuseOverCapacity(list);
    return list.items().mid(target.size(), taken);
}

int mergeInto(const QString &targetPath, const QVector<Item> &downloaded)
{
    WorkingList list(itemdb::readItems(targetPath));
    const int taken = list.takeIn(downloaded);
    refuseOverCapacity(list);
    itemdb::rewriteItems(targetPath, list.items());
    return taken;
}

QVector<Item> distinctItems(const QVector<Item> &downloaded)
{
    WorkingList list;
    list.takeIn(downloaded);
    refuseOverCapacity(list);
    return list.items();
}

} // namespace downloadmerge
