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

void appendItem(const QString &path, const Item &item)
{
    const QByteArray encoded = encodeItems({item});
    QByteArray bytes;
    try {
        bytes = textfile::readAll(path);
    } catch (const Failure &failure) {
        if (failure.number() != ErrFileNotFound)
            throw;
    }
    // A last line without its line end would otherwise swallow the new name.
    if (!bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith("\r\n"))
        bytes += "\r\n";
    bytes += encoded;
    // A whole new file rather than an append: an append cut short by a full
    // disk or a crash would leave a name without its description.
    textfile::saveAtomically(path, bytes);
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
