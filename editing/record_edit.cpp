#include "editing/record_edit.h"

namespace recordedit {
namespace {

bool holds(const QVector<Item> &items, int record, const Item &expected)
{
    return record >= 0 && record < items.size() && items.at(record) == expected;
}

} // namespace

Outcome replaceRecord(const QString &path, int record, const Item &expected, const Item &replacement,
                      const std::function<void()> &beforeWriting)
{
    QVector<Item> items = itemdb::readItems(path);
    if (!holds(items, record, expected))
        return Outcome::RecordChanged;
    if (beforeWriting)
        beforeWriting();
    items[record] = replacement;
    itemdb::rewriteItems(path, items);
    return Outcome::Done;
}

Outcome removeRecord(const QString &path, int record, const Item &expected, const std::function<void()> &beforeWriting)
{
    QVector<Item> items = itemdb::readItems(path);
    if (!holds(items, record, expected))
        return Outcome::RecordChanged;
    if (beforeWriting)
        beforeWriting();
    items.removeAt(record);
    itemdb::rewriteItems(path, items);
    return Outcome::Done;
}

} // namespace recordedit
