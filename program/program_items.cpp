// The program object's operations on items: add, replace, delete and import.
#include "program/program.h"

#include "editing/description_encoding.h"
#include "editing/item_import.h"
#include "editing/record_edit.h"
#include "storage/record_index.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <QFileInfo>

namespace program {
namespace {

const QString kEditRecordChanged = QStringLiteral(
    "This item is no longer at its place in the database file: the file has been changed since the item was "
    "selected.  Nothing was written.  Select the item again to edit it.");
const QString kDeleteRecordChanged = QStringLiteral(
    "The selected item is no longer at its place in the database file: the file has been changed since the list "
    "was filled.  Nothing was deleted.  Press Show All and select the item again.");

// How many names of the database are taken between two reports of an import's progress.
constexpr qsizetype kReportEvery = 16384;

// Throws Failure 5, before anything is written, for a name the file cannot hold.
void refuseUnwritable(const QString &name)
{
    storage::encodeLines({name});
}

} // namespace

std::optional<ListedItem> Program::listedItem(int row) const
{
    if (row < 0 || row >= table_.rowCount())
        return std::nullopt;
    return ListedItem{table_.record(row), table_.item(row)};
}

base::Outcome Program::addItem(const QString &name, const QString &typedDescription)
{
    return base::attempt([&] {
        refuseUnwritable(name);
        const QString stored = editing::encodeThroughScratch(folder_.file(storage::kScratchFile), typedDescription);
        // A missing database is created by its first item.
        const QByteArray bytes = readDatabase(current_.fileName, true);
        Change change = openChange(current_.fileName, QStringLiteral("Add of ") + name);
        writeCurrentDatabase(change, editing::withItemsAppended(bytes, {{name, stored}}));
        change.commit();
    });
}

base::Outcome Program::addStoredItem(const storage::Item &item)
{
    return base::attempt([&] {
        const QByteArray bytes = readDatabase(current_.fileName, true);
        Change change = openChange(current_.fileName, QStringLiteral("Add of ") + item.name);
        writeCurrentDatabase(change, editing::withItemsAppended(bytes, {item}));
        change.commit();
    });
}

base::Outcome Program::replaceItem(const ListedItem &listed, const std::optional<QString> &newName,
                                   const std::optional<QString> &newTypedDescription)
{
    return base::attempt([&] {
        if (newName)
            refuseUnwritable(*newName);
        const std::optional<QString> stored =
            newTypedDescription ? std::optional<QString>(
                editing::encodeThroughScratch(folder_.file(storage::kScratchFile), *newTypedDescription))
                                : std::nullopt;
        const QByteArray bytes = readDatabase(current_.fileName);
        std::optional<editing::Edited> changed =
            editing::withRecordReplaced(bytes, current_.fileName, listed.record, listed.item, newName, stored);
        if (!changed)
            return base::Outcome::refused(kEditRecordChanged);
        Change change = openChange(current_.fileName, QStringLiteral("Update of ") + listed.item.name);
        writeCurrentDatabase(change, std::move(*changed));
        change.commit();
        return base::Outcome::done();
    });
}

base::Outcome Program::deleteListedItem(int row)
{
    const std::optional<ListedItem> listed = listedItem(row);
    if (!listed)
        return base::Outcome::refused(kNoItemSelected);
    const base::Outcome deleted = base::attempt([&] {
        const QByteArray bytes = readDatabase(current_.fileName);
        std::optional<editing::Edited> changed =
            editing::withRecordRemoved(bytes, current_.fileName, listed->record, listed->item);
        if (!changed)
            return base::Outcome::refused(kDeleteRecordChanged);
        Change change = openChange(current_.fileName, QStringLiteral("Delete of ") + listed->item.name);
        change.write(changed->bytes);
        change.commit();
        // The file lost exactly that record, and the table exactly its entry.
        table_.removeDeletedRecord(row, std::move(changed->bytes), std::move(changed->index));
        listedStamp_ = storage::fileStamp(currentDatabasePath());
        return base::Outcome::done();
    });
    if (!deleted.ok())
        return deleted;
    emit listingChanged();
    emit descriptionShown(QString());
    return base::Outcome::done();
}

base::Outcome Program::importItems(const QString &importPath, const base::ProgressReport &progress)
{
    std::optional<QByteArray> importBytes;
    if (QFileInfo(importPath).isFile()) {
        const base::Outcome read = base::attempt([&] { importBytes = storage::readFile(importPath); });
        if (!read.ok() && !read.failure()->isMissingFile())
            return read;
    }
    if (!importBytes)
        return base::Outcome::refused(QStringLiteral("Could not find the file: ") + importPath);
    return base::attempt([&] {
        const QByteArray bytes = readDatabase(current_.fileName);
        const storage::RecordIndex index = storage::wholeRecords(bytes, current_.fileName);
        // The progress counts the database's names, then the import's bytes.
        const qint64 total = index.records.size() + importBytes->size();
        const auto goOn = [&](qint64 done) { return !progress || progress(done, total); };
        editing::NameTable names(index.records.size());
        for (qsizetype r = 0; r < index.records.size(); ++r) {
            if (r % kReportEvery == 0 && !goOn(r))
                return base::Outcome::cancelled();
            const storage::Span name = index.records[r].name;
            names.add(QByteArray::fromRawData(bytes.constData() + name.begin, name.length));
        }
        int added = 0;
        const QByteArray records = editing::newImportRecords(
            *importBytes, names, &added, [&](qsizetype done) { return goOn(index.records.size() + done); });
        if (added < 0 || !goOn(total))
            return base::Outcome::cancelled();
        Change change = openChange(current_.fileName, QStringLiteral("Import of %1 items").arg(added));
        writeCurrentDatabase(change, editing::withRecordsAppended(bytes, records));
        change.commit();
        return base::Outcome::done();
    });
}

} // namespace program
