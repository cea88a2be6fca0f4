#include "app/item_database.h"

#include "app/text_file.h"

namespace itemdb {

QVector<Item> readItems(const QString &path)
{
    textfile::LineReader reader(path);
    QVector<Item> items;
    while (!reader.atEnd()) {
        Item item;
        item.name = reader.readLine();
        item.description = reader.readLine();
        items.append(std::move(item));
    }
    return items;
}

QByteArray encodeItems(const QVector<Item> &items)
{
    QStringList lines;
    lines.reserve(items.size() * 2);
    for (const Item &item : items) {
        lines.append(item.name);
        lines.append(item.description);
    }
    return textfile::encodeLines(lines);
}

void rewriteItems(const QString &path, const QVector<Item> &items)
{
    textfile::saveAtomically(path, encodeItems(items));
}

void appendItem(const QString &path, const Item &item)
{
    textfile::appendLines(path, {item.name, item.description});
}

} // namespace itemdb

QString bars_to_breaks(const QString &stored)
{
    QString display;
    display.reserve(stored.size() + stored.count(QLatin1Char('|')));
    for (const QChar c : stored) {
        if (c == QLatin1Char('|'))
            display += QStringLiteral("\r\n");
        else
            display += c;
    }
    return display;
}
