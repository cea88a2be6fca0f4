// The program object's part in harvesting game logs: reading a log, comparing
// what it holds with the current database, adding the chosen items, and the
// choices remembered between harvests.
#include "program/program.h"

#include "program/log_reading.h"
#include "storage/record_index.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <QDir>
#include <QHash>
#include <QSettings>

namespace program {
namespace {

const QString kChoicesFile = QStringLiteral("gamelog.ini");
const QString kFolderKey = QStringLiteral("folder");
const QString kBlockStartKey = QStringLiteral("blockStart");

} // namespace

std::unique_ptr<LogReading> Program::readGameLog(const QString &path, const QString &blockStart) const
{
    return std::make_unique<LogReading>(path, blockStart);
}

base::Outcome Program::compareWithCurrentDatabase(const QVector<editing::FoundItem> &found,
                                                  QVector<Standing> *standings) const
{
    QByteArray bytes;
    if (const base::Outcome read = base::attempt([&] { bytes = storage::readFile(currentDatabasePath()); }); !read.ok())
        return read;
    const storage::RecordIndex index = storage::indexRecords(bytes);
    const auto text = [&](const storage::Span &span) {
        return storage::decodeWindows1252(bytes.mid(span.begin, span.length));
    };
    QMultiHash<QString, QString> descriptionsByName;
    descriptionsByName.reserve(index.records.size());
    for (const storage::Record &record : index.records)
        descriptionsByName.insert(text(record.name), text(record.description));
    standings->clear();
    standings->reserve(found.size());
    for (const editing::FoundItem &each : found) {
        const storage::Item &item = each.item;
        standings->append(!descriptionsByName.contains(item.name)                  ? Standing::New
                          : descriptionsByName.contains(item.name, item.description) ? Standing::Same
                                                                                     : Standing::Different);
    }
    return base::Outcome::done();
}

base::Outcome Program::addHarvest(const QVector<storage::Item> &items)
{
    if (items.isEmpty())
        return base::Outcome::refused(QStringLiteral("No item is ticked.  Tick the items to add, then press Add."));
    return base::attempt([&] {
        const QByteArray bytes = readDatabase(current_.fileName);
        (void)storage::wholeRecords(bytes, current_.fileName);
        editing::Edited written = editing::withItemsAppended(bytes, items);
        Change change = openChange(current_.fileName, QStringLiteral("Harvest of %1 items").arg(items.size()));
        writeCurrentDatabase(change, std::move(written));
        change.commit();
        return base::Outcome::done();
    });
}

Program::GameLogChoices Program::gameLogChoices() const
{
    const QSettings remembered(folder_.file(kChoicesFile), QSettings::IniFormat);
    const QString blockStart = remembered.value(kBlockStartKey).toString();
    return {remembered.value(kFolderKey, QDir::homePath()).toString(),
            blockStart.isEmpty() ? editing::kDefaultBlockStart : blockStart};
}

void Program::rememberGameLogChoices(const GameLogChoices &choices) const
{
    QSettings remembered(folder_.file(kChoicesFile), QSettings::IniFormat);
    remembered.setValue(kFolderKey, choices.folder);
    remembered.setValue(kBlockStartKey, choices.blockStart);
}

} // namespace program
