#include "editing/item_import.h"

namespace itemimport {
namespace {

// The leading articles, each removed with the blank that follows it.
const QString kArticles[] = {
    QStringLiteral("a "),   QStringLiteral("A "),     QStringLiteral("the "), QStringLiteral("The "),
    QStringLiteral("Some "), QStringLiteral("some "), QStringLiteral("an "),  QStringLiteral("An "),
};

// The first n characters, filled up with blanks to n.
QString padded(const QString &text, qsizetype n)
{
    return text.left(n).leftJustified(n, QLatin1Char(' '));
}

} // namespace

QString unquoted(const QString &line)
{
    if (!line.startsWith(QLatin1Char('\'')) || line.size() < 3)
        return line;
    return line.mid(1, line.size() - 3);
}

QString withoutArticle(const QString &name)
{
    // The articles differ in their first two characters, so at most one applies.
    const QString prefix = padded(name, 2);
    for (const QString &article : kArticles) {
        if (prefix != article.left(2))
            continue;
        if (padded(name, article.size()) != article || article.size() > name.size())
            return name;
        return name.mid(article.size());
    }
    return name;
}

QString cleanedName(const QString &line)
{
    return withoutArticle(unquoted(line));
}

NameTable::NameTable(int slotCount) : slots_(slotCount) {}

bool NameTable::isNew(const QString &name) const
{
    if (filled_.contains(name))
        return false;
    // Free slots hold the empty text.
    return !(name.isEmpty() && count_ < slots_);
}

void NameTable::add(const QString &name)
{
    if (count_ >= slots_)
        throw Failure(ErrSubscriptOutOfRange,
                      QStringLiteral("Subscript out of range (the list holds at most %1 items)").arg(slots_),
                      textfile::kSource);
    filled_.insert(name);
    ++count_;
}

QVector<Item> readNewItems(textfile::LineReader &file, NameTable &names)
{
    QVector<Item> added;
    while (!file.atEnd()) {
        Item item{cleanedName(file.readLine()), QString()};
        const bool adding = names.isNew(item.name);
        if (adding)
            names.add(item.name);
        // The record's description lines run to an empty line or the end of the file.
        for (;;) {
            const QString line = file.atEnd() ? QString() : file.readLine();
            if (line.isEmpty())
                break;
            if (adding) {
                item.description += line;
                item.description += QLatin1Char('|');
            }
        }
        if (adding)
            added.append(std::move(item));
    }
    return added;
}

QVector<Item> newItemsFor(const QVector<Item> &items, textfile::LineReader importFile)
{
    NameTable names;
    for (const Item &item : items)
        names.add(item.name);
    return readNewItems(importFile, names);
}

QVector<Item> importItems(const QString &dbPath, textfile::LineReader importFile)
{
    QVector<Item> items = itemdb::readItems(dbPath);
    const QVector<Item> added = newItemsFor(items, std::move(importFile));
    items += added;
    itemdb::rewriteItems(dbPath, items);
    return added;
}

} // namespace itemimport
