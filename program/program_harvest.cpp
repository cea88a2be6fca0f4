// The program object's part in harvesting game logs: reading a log, comparing
// what it holds with the current database, adding the chosen items, and the
// choices remembered between harvests.
#include "program/program.h"

#include "app/cp1252.h"
#include "app/record_index.h"
#include "app/text_file.h"
#include "program/log_reading.h"

#include <QDir>
#include <QHash>
#include <QSettings>

namespace {

const QString kChoicesFile = QStringLiteral("gamelog.ini");
const QString kFolderKey = QStringLiteral("folder");
const QString kBlockStartKey = QStringLiteral("blockStart");

} // namespace

std::unique_ptr<LogReading> Program::readGameLog(const QString &path, const QString &blockStart) const
{
    return std::make_unique<LogReading>(path, blockStart);
}

base::Outcome Program::compareWithCurrentDatabase(const QVector<gamelog::FoundItem> &found,
                                                  QVector<Standing> *standings) const
{
    QByteArray bytes;
    try {
        bytes = textfile::readAll(currentDatabasePath());
    } catch (const base::Failure &failure) {
        return base::Outcome::failed(failure);
    }
    const recordindex::Index index = recordindex::indexRecords(bytes);
    const auto text = [&](const recordindex::Span &span) { return cp1252::decode(bytes.mid(span.begin, span.length)); };
    QMultiHash<QString, QString> descriptionsByName;
    descriptionsByName.reserve(index.records.size());
    for (const recordindex::Record &record : index.records)
        descriptionsByName.insert(text(record.name), text(record.description));
    standings->clear();
    standings->reserve(found.size());
    for (const gamelog::FoundItem &each : found) {
        const Item &item = each.item;
        standings->append(!descriptionsByName.contains(item.name)                  ? Standing::New
                          : descriptionsByName.contains(item.name, item.description) ? Standing::Same
                                                                                     : Standing::Different);
    }
    return base::Outcome::done();
}

base::Outcome Program::addHarvest(const QVector<Item> &items)
{
    if (items.isEmpty())
        return base::Outcome::refused(QStringLiteral("No item is ticked.  Tick the items to add, then press Add."));
    return changing([&] {
        try {
            const QByteArray bytes = readDatabase(current_.fileName);
            const recordindex::Index index = recordindex::wholeRecords(bytes, current_.fileName);
            if (index.records.size() + items.size() > itemdb::kListCapacity)
                return base::Outcome::refused(
                    QStringLiteral("%1 holds %2 items; with the %3 ticked it would hold more than the %4 the program "
                                   "lists.  Nothing was added.  Tick fewer items.")
                        .arg(current_.displayName)
                        .arg(index.records.size())
                        .arg(items.size())
                        .arg(itemdb::kListCapacity));
            recordedit::Edited written = recordedit::withItemsAppended(bytes, items);
            keepVersionWhenWriting(current_.fileName, QStringLiteral("Harvest of %1 items").arg(items.size()));
            writeCurrentDatabase(std::move(written));
        } catch (const base::Failure &failure) {
            return base::Outcome::failed(failure);
        }
        return base::Outcome::done();
    });
}

Program::GameLogChoices Program::gameLogChoices() const
{
    const QSettings remembered(folder_.file(kChoicesFile), QSettings::IniFormat);
    const QString blockStart = remembered.value(kBlockStartKey).toString();
    return {remembered.value(kFolderKey, QDir::homePath()).toString(),
            blockStart.isEmpty() ? gamelog::kDefaultBlockStart : blockStart};
}

void Program::rememberGameLogChoices(const GameLogChoices &choices) const
{
    QSettings remembered(folder_.file(kChoicesFile), QSettings::IniFormat);
    remembered.setValue(kFolderKey, choices.folder);
    remembered.setValue(kBlockStartKey, choices.blockStart);
}
