#include "app/item_database.h"

#include "app/text_file.h"

namespace itemdb {

QVector<Item> readItems(const QString &path)
{
    return readItemsFromBytes(textfile::readAll(path), textfile::fileNameOf(path));
}

QVector<Item> readItemsFromBytes(const QByteArray &bytes, const QString &name)
{
    textfile::LineReader reader = textfile::LineReader::fromBytes(bytes, name);
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
