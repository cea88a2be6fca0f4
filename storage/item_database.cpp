#include "storage/item_database.h"

#include "storage/text_file.h"

namespace storage {

QVector<Item> readItems(const QString &path)
{
    return readItemsFromBytes(readFile(path), fileNameOf(path));
}

QVector<Item> readItemsFromBytes(const QByteArray &bytes, const QString &name)
{
    LineReader reader = LineReader::fromBytes(bytes, name);
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
    return encodeLines(lines);
}

void rewriteItems(const QString &path, const QVector<Item> &items)
{
    saveAtomically(path, encodeItems(items));
}

QString barsToBreaks(const QString &stored)
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

} // namespace storage
