#include "editing/item_import.h"

#include "storage/record_index.h"
#include "storage/windows1252.h"

namespace editing {
namespace {

// The leading articles, each removed with the blank that follows it. They
// differ in their first two characters, so at most one applies.
constexpr QByteArrayView kArticles[] = {"a ", "A ", "the ", "The ", "Some ", "some ", "an ", "An "};

// How many bytes of an import are read between two reports of the progress.
constexpr qsizetype kReportEvery = qsizetype(1) << 20;

} // namespace

QByteArrayView cleanedImportName(QByteArrayView line)
{
    QByteArrayView name = line;
    if (name.startsWith('\'') && name.size() >= 3)
        name = name.sliced(1, name.size() - 3);
    for (const QByteArrayView article : kArticles) {
        if (name.startsWith(article))
            return name.sliced(article.size());
    }
    return name;
}

QString cleanedImportName(const QString &line)
{
    const QByteArray bytes = storage::encodeLines({line}).chopped(2);
    return storage::decodeWindows1252(cleanedImportName(QByteArrayView(bytes)).toByteArray());
}

NameTable::NameTable(qsizetype expected)
{
    filled_.reserve(expected);
}

bool NameTable::isNew(const QByteArray &name) const
{
    return !name.isEmpty() && !filled_.contains(name);
}

void NameTable::add(const QByteArray &name)
{
    filled_.insert(name);
    ++count_;
}

QByteArray newImportRecords(QByteArrayView importBytes, NameTable &names, int *count,
                            const std::function<bool(qsizetype done)> &carryOn)
{
    // The import file's bytes go to the database as they are, but for the
    // names' cleaning.
    const QByteArray bytes = QByteArray::fromRawData(importBytes.data(), importBytes.size());
    QByteArray records;
    records.reserve(bytes.size() + bytes.size() / 16);
    *count = 0;
    qsizetype pos = 0;
    qsizetype nextReport = 0;
    while (pos < bytes.size()) {
        if (carryOn && pos >= nextReport) {
            if (!carryOn(pos)) {
                *count = -1;
                return QByteArray();
            }
            nextReport = pos + kReportEvery;
        }
        const storage::Span nameLine = storage::lineAt(bytes, pos, &pos);
        const QByteArrayView cleaned = cleanedImportName(QByteArrayView(bytes).sliced(nameLine.begin, nameLine.length));
        const bool adding = names.isNew(QByteArray::fromRawData(cleaned.data(), cleaned.size()));
        if (adding) {
            names.add(cleaned.toByteArray()); // the table may outlive these bytes
            records.append(cleaned);
            records += "\r\n";
        }
        // The record's description lines run to an empty line or the end of the file.
        while (pos < bytes.size()) {
            const storage::Span line = storage::lineAt(bytes, pos, &pos);
            if (line.length == 0)
                break;
            if (adding) {
                records.append(bytes.constData() + line.begin, line.length);
                records += '|';
            }
        }
        if (adding) {
            records += "\r\n";
            ++*count;
        }
    }
    return records;
}

QVector<storage::Item> readNewImportItems(storage::LineReader &file, NameTable &names)
{
    int count = 0;
    return storage::readItemsFromBytes(newImportRecords(file.takeRest(), names, &count));
}

} // namespace editing
