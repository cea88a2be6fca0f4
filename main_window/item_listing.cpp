#include "main_window/item_listing.h"

#include "app/text_file.h"

namespace {

Failure tableFull()
{
    return Failure(ErrSubscriptOutOfRange,
                   QStringLiteral("Subscript out of range (the list holds at most %1 items)").arg(kItemTableSlots),
                   textfile::kSource);
}

} // namespace

ItemTableFill listItems(const QString &path)
{
    ItemTableFill fill;
    try {
        textfile::LineReader reader(path);
        int record = 0;
        while (!reader.atEnd()) {
            // The name goes into the list before its description is read, so a
            // failure inside an item leaves that item's name in the list.
            fill.names.append(reader.readLine());
            fill.records.append(record++);
            const QString desc = reader.readLine();
            if (fill.descs.size() == kItemTableSlots)
                throw tableFull();
            fill.descs.append(desc);
        }
    } catch (const Failure &failure) {
        fill.failure = failure;
    }
    return fill;
}

bool containsIgnoringCase(const QString &text, const QString &what)
{
    if (text.isEmpty())
        return false;
    return text.toLower().contains(what.toLower());
}

ItemTableFill searchItems(const QString &path, const QString &text, SearchIn where)
{
    ItemTableFill fill;
    const auto contains = [&text](const QString &hay) { return containsIgnoringCase(hay, text); };
    try {
        textfile::LineReader reader(path);
        int record = 0;
        while (!reader.atEnd()) {
            const QString name = reader.readLine();
            const QString desc = reader.readLine();
            bool hit = false;
            switch (where) {
            case SearchIn::Names:
                hit = contains(name);
                break;
            case SearchIn::Descriptions:
                hit = contains(desc);
                break;
            case SearchIn::Both:
                hit = contains(desc) || contains(name);
                break;
            }
            if (hit) {
                if (fill.descs.size() == kItemTableSlots)
                    throw tableFull();
                fill.names.append(name);
                fill.descs.append(desc);
                fill.records.append(record);
            }
            ++record;
        }
    } catch (const Failure &failure) {
        fill.failure = failure;
    }
    return fill;
}
