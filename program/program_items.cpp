// The program object's operations on items: add, replace, delete and import.
#include "program/program.h"

#include "editing/description_encoding.h"
#include "editing/item_import.h"
#include "editing/record_edit.h"
#include "storage/record_index.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <QFileInfo>

#include <new>

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

Program::ChangeBase Program::changeBase(bool missingIsEmpty) const
{
    ChangeBase base;
    base.listed = listedStamp_ && storage::fileStamp(currentDatabasePath()) == listedStamp_;
    if (!base.listed) {
        base.readBytes = readDatabase(current_.fileName, missingIsEmpty);
        base.readIndex = storage::indexRecords(base.readBytes);
    }
    return base;
}

std::optional<base::Failure> Program::listEdited(ChangeBase &base, const editing::RecordEdit &edit, int deletedRow)
{
    std::optional<LastEdit> last;
    if (base.listed && listedStamp_) {
        if (std::optional<editing::RecordEdit> back = editing::takingBack(edit, table_.bytes(), table_.index()))
            last = LastEdit{*listedStamp_, {}, std::move(*back)};
    }
    lastEdit_.reset();
    listedStamp_.reset();
    try {
        if (base.listed && deletedRow >= 0) {
            table_.removeRecordInPlace(deletedRow, edit);
        } else if (base.listed) {
            table_.changeAndListEveryRecord(edit);
        } else {
            editing::applyEdit(edit, base.readBytes, base.readIndex);
            if (deletedRow >= 0)
                table_.removeDeletedRecord(deletedRow, std::move(base.readBytes), std::move(base.readIndex));
            else
                table_.fillWithEveryRecord(std::move(base.readBytes), std::move(base.readIndex));
        }
    } catch (const std::bad_alloc &) {
        // The table never lists what the file does not hold.
        return fillWithCurrentDatabase();
    }
    listedStamp_ = storage::fileStamp(currentDatabasePath());
    if (last && listedStamp_) {
        last->after = *listedStamp_;
        lastEdit_ = std::move(last);
    }
    if (table_.index().danglingName)
        return storage::danglingNameFailure(table_.index(), storage::fileNameOf(currentDatabasePath()));
    return std::nullopt;
}

void Program::writeEditedDatabase(Change &change, ChangeBase &base, const editing::RecordEdit &edit)
{
    change.write(editing::editedParts(bytesOf(base), edit));
    emit descriptionShown(QString());
    const std::optional<base::Failure> failure = listEdited(base, edit);
    emit listingChanged();
    if (failure)
        emit listingFailed(failure->longMessage());
}

base::Outcome Program::addItem(const QString &name, const QString &typedDescription)
{
    return base::attempt([&] {
        refuseUnwritable(name);
        const QString stored = editing::encodeThroughScratch(folder_.file(storage::kScratchFile), typedDescription);
        // A missing database is created by its first item.
        ChangeBase base = changeBase(true);
        const editing::RecordEdit edit = editing::itemsAppended(bytesOf(base), indexOf(base), {{name, stored}});
        Change change = openChange(current_.fileName, QStringLiteral("Add of ") + name);
        writeEditedDatabase(change, base, edit);
        change.commit();
    });
}

base::Outcome Program::addStoredItem(const storage::Item &item)
{
    return base::attempt([&] {
        ChangeBase base = changeBase(true);
        const editing::RecordEdit edit = editing::itemsAppended(bytesOf(base), indexOf(base), {item});
        Change change = openChange(current_.fileName, QStringLiteral("Add of ") + item.name);
        writeEditedDatabase(change, base, edit);
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
        ChangeBase base = changeBase();
        const std::optional<editing::RecordEdit> edit = editing::recordReplaced(
            bytesOf(base), indexOf(base), current_.fileName, listed.record, listed.item, newName, stored);
        if (!edit)
            return base::Outcome::refused(kEditRecordChanged);
        Change change = openChange(current_.fileName, QStringLiteral("Update of ") + listed.item.name);
        writeEditedDatabase(change, base, *edit);
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
        ChangeBase base = changeBase();
        const std::optional<editing::RecordEdit> edit =
            editing::recordRemoved(bytesOf(base), indexOf(base), current_.fileName, listed->record, listed->item);
        if (!edit)
            return base::Outcome::refused(kDeleteRecordChanged);
        Change change = openChange(current_.fileName, QStringLiteral("Delete of ") + listed->item.name);
        change.write(editing::editedParts(bytesOf(base), *edit));
        change.commit();
        // The file lost exactly that record, and the table exactly its entry.
        if (const std::optional<base::Failure> failure = listEdited(base, *edit, row))
            emit listingFailed(failure->longMessage());
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
