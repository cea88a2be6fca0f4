#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace storage {

// An item of a database file: its name line and its stored-form description
// line, in which "|" stands for each line break.
struct Item
{
    QString name;
    QString description;

    bool operator==(const Item &other) const { return name == other.name && description == other.description; }
};

// The item database file holds pairs of lines, name then description, in list
// order.

// The first item of every new database.
inline const QString kSampleName = QStringLiteral("small metallic ring");
inline const QString kSampleDescription =
    QStringLiteral("Weight 0, Item type: WORN |Item is: MAGIC |This item will also affect your ARMOR -3 and  INT +4. "
                   "|Estimated Value: 7 gold, 8 silver, and 4 copper|");
inline Item sampleItem()
{
    return {kSampleName, kSampleDescription};
}

// Every item of a file. Throws a Failure: 53 when the file is missing, 62 when
// its last name has no description line after it.
QVector<Item> readItems(const QString &path);
// The items of a file's bytes; name is the file name for messages. Throws
// Failure 62 when the last name has no description line after it.
QVector<Item> readItemsFromBytes(const QByteArray &bytes, const QString &name = QString());

// The bytes of a file holding the items. Throws Failure 5 for text that the
// file cannot hold.
QByteArray encodeItems(const QVector<Item> &items);

// Replaces the whole file with the items, atomically.
void rewriteItems(const QString &path, const QVector<Item> &items);

// The display form of a stored description: every "|" becomes CR LF.
QString barsToBreaks(const QString &stored);

} // namespace storage
