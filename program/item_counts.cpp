#include "program/item_counts.h"

#include "storage/record_index.h"

namespace program {

qsizetype ItemCounts::itemsOf(const QString &path)
{
    const auto kept = counted_.constFind(path);
    if (kept != counted_.cend() && storage::fileStamp(path) == kept->stamp)
        return kept->items;
    Counted counted;
    ++filesRead_;
    counted.items = storage::countRecords(path, &counted.stamp);
    counted_.insert(path, counted);
    return counted.items;
}

void ItemCounts::forgetGone()
{
    counted_.removeIf([](const auto &entry) { return !storage::fileStamp(entry.key()); });
}

} // namespace program
