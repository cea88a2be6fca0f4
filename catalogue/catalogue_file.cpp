#include "catalogue/catalogue_file.h"

#include "storage/data_folder.h"
#include "storage/text_file.h"

#include <QStringList>

namespace catalogue {
namespace {

void refuseIncomplete(const Catalogue &catalogue)
{
    if (!catalogue.complete)
        throw base::Failure(base::ErrInvalidArgument,
                            QStringLiteral("Invalid argument: %1 was not read in full, so it is left unchanged")
                                .arg(storage::kCatalogueFile));
}

void rewrite(const QString &path, const QVector<Entry> &entries)
{
    storage::saveAtomically(path, encodeCatalogue(entries));
}

// The entries the file holds now. Each catalogue window keeps its own copy, so
// the other window may have added or removed an entry since this copy was
// read; a rewrite starts from the file so that such a change is not undone.
QVector<Entry> currentEntries(const QString &path, const Catalogue &catalogue)
{
    const CatalogueRead fresh = readCatalogue(path);
    if (!fresh.failure)
        return fresh.catalogue.entries;
    if (fresh.failure->isMissingFile())
        return catalogue.entries;
    throw *fresh.failure;
}

} // namespace

int Catalogue::lastIndexOfName(const QString &displayName) const
{
    for (int i = count() - 1; i >= 0; --i) {
        if (entries[i].displayName == displayName)
            return i;
    }
    return -1;
}

int Catalogue::lastIndexOfFile(const QString &fileName) const
{
    for (int i = count() - 1; i >= 0; --i) {
        if (entries[i].fileName == fileName)
            return i;
    }
    return -1;
}

CatalogueRead readCatalogue(const QString &path)
{
    QByteArray bytes;
    try {
        bytes = storage::readFile(path);
    } catch (const base::Failure &failure) {
        CatalogueRead result;
        result.catalogue.complete = false;
        result.failure = failure;
        return result;
    }
    return readCatalogueFromBytes(bytes);
}

CatalogueRead readCatalogueFromBytes(const QByteArray &bytes)
{
    CatalogueRead result;
    result.catalogue.complete = false;
    try {
        storage::LineReader reader = storage::LineReader::fromBytes(bytes, storage::kCatalogueFile);
        const qint64 count = storage::leadingNumber(reader.readLine());
        if (count < -32768 || count > 32767)
            throw base::Failure(
                base::ErrOverflow,
                QStringLiteral("Overflow: the entry count of %1 is %2").arg(storage::kCatalogueFile).arg(count));
        for (qint64 i = 1; i <= count; ++i) {
            if (i > kMaxEntries)
                throw base::Failure(base::ErrSubscriptOutOfRange,
                                    QStringLiteral("Subscript out of range: %1 lists %2 databases, at most %3 are kept")
                                        .arg(storage::kCatalogueFile)
                                        .arg(count)
                                        .arg(kMaxEntries));
            Entry entry;
            entry.displayName = reader.readLine();
            entry.fileName = reader.readLine();
            result.catalogue.entries.append(std::move(entry));
        }
        result.catalogue.complete = true;
    } catch (const base::Failure &failure) {
        result.failure = failure;
    }
    return result;
}

QByteArray encodeCatalogue(const QVector<Entry> &entries)
{
    QStringList lines;
    lines.reserve(1 + 2 * entries.size());
    lines.append(storage::printedNumber(entries.size()));
    for (const Entry &entry : entries) {
        lines.append(entry.displayName);
        lines.append(entry.fileName);
    }
    return storage::encodeLines(lines);
}

QByteArray seedCatalogueBytes()
{
    return storage::encodeLines({QStringLiteral("1"), storage::kPrimaryDbName, storage::kPrimaryDbFile});
}

void writeSeedCatalogue(const QString &path)
{
    storage::saveAtomically(path, seedCatalogueBytes());
}

void appendEntry(const QString &path, Catalogue &catalogue, const QString &displayName)
{
    refuseIncomplete(catalogue);
    QVector<Entry> entries = catalogue.isFull() ? catalogue.entries : currentEntries(path, catalogue);
    if (entries.size() >= kMaxEntries)
        throw base::Failure(
            base::ErrSubscriptOutOfRange,
            QStringLiteral("Subscript out of range: %1 already lists %2 databases, the most it can keep")
                .arg(storage::kCatalogueFile)
                .arg(kMaxEntries));
    entries.append({displayName, databaseFileFor(displayName)});
    rewrite(path, entries);
    catalogue.entries = std::move(entries);
}

void removeEntry(const QString &path, Catalogue &catalogue, int index)
{
    refuseIncomplete(catalogue);
    if (index < 0 || index >= catalogue.count())
        throw base::Failure(base::ErrSubscriptOutOfRange,
                            QStringLiteral("Subscript out of range: no catalogue entry %1").arg(index));
    QVector<Entry> entries = currentEntries(path, catalogue);
    const Entry removed = catalogue.entries[index];
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        if (entries[i] == removed) {
            entries.removeAt(i);
            rewrite(path, entries);
            break;
        }
    }
    catalogue.entries = std::move(entries);
}

QString databaseFileFor(const QString &displayName)
{
    return displayName + QStringLiteral(".txt");
}

} // namespace catalogue
