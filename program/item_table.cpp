#include "program/item_table.h"

#include "storage/windows1252.h"

#include <numeric>

namespace program {

int ItemTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(records_.size());
}

QModelIndex ItemTable::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || row >= records_.size() || column != 0 || parent.isValid())
        return QModelIndex();
    return createIndex(row, column);
}

QVariant ItemTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= records_.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return name(index.row());
    case DescriptionRole:
        return description(index.row());
    case RecordRole:
        return record(index.row());
    default:
        return QVariant();
    }
}

QString ItemTable::text(const storage::Span &span) const
{
    return storage::decodeWindows1252(QByteArray::fromRawData(bytes_.constData() + span.begin, span.length));
}

storage::Span ItemTable::nameSpan(int record) const
{
    return record < index_.records.size() ? index_.records[record].name : index_.danglingName.value_or(storage::Span{});
}

storage::Span ItemTable::descriptionSpan(int record) const
{
    return record < index_.records.size() ? index_.records[record].description : storage::Span{};
}

QString ItemTable::name(int row) const
{
    return row >= 0 && row < records_.size() ? text(nameSpan(records_[row])) : QString();
}

QString ItemTable::description(int row) const
{
    return row >= 0 && row < records_.size() ? text(descriptionSpan(records_[row])) : QString();
}

int ItemTable::record(int row) const
{
    return row >= 0 && row < records_.size() ? records_[row] : -1;
}

void ItemTable::fill(QByteArray bytes, storage::RecordIndex index, QVector<int> records)
{
    beginResetModel();
    bytes_ = std::move(bytes);
    index_ = std::move(index);
    records_ = std::move(records);
    endResetModel();
}

void ItemTable::fillWithEveryRecord(QByteArray bytes, storage::RecordIndex index)
{
    // With room for items added one at a time (changeAndListEveryRecord).
    const qsizetype count = index.records.size() + (index.danglingName ? 1 : 0);
    QVector<int> records;
    records.reserve(count + 64 + count / 256);
    records.resize(count);
    std::iota(records.begin(), records.end(), 0);
    fill(std::move(bytes), std::move(index), std::move(records));
}

void ItemTable::dropEntry(int row, int *firstMoved, int *lastMoved)
{
    const int deleted = records_[row];
    records_.removeAt(row);
    *firstMoved = -1;
    *lastMoved = -1;
    for (int i = 0; i < records_.size(); ++i) {
        if (records_[i] > deleted) {
            --records_[i];
            if (*firstMoved < 0)
                *firstMoved = i;
            *lastMoved = i;
        }
    }
}

void ItemTable::removeDeletedRecord(int row, QByteArray bytes, storage::RecordIndex index)
{
    removeEntry(row, [&] {
        bytes_ = std::move(bytes);
        index_ = std::move(index);
    });
}

void ItemTable::removeRecordInPlace(int row, const editing::RecordEdit &edit)
{
    removeEntry(row, [&] { editing::applyEdit(edit, bytes_, index_); });
}

void ItemTable::removeEntry(int row, const std::function<void()> &changeBytes)
{
    if (row < 0 || row >= records_.size())
        return;
    int first = -1;
    int last = -1;
    beginRemoveRows(QModelIndex(), row, row);
    dropEntry(row, &first, &last);
    try {
        changeBytes();
    } catch (...) {
        // The entries left show nothing until the table is filled again.
        bytes_ = QByteArray();
        index_ = storage::RecordIndex();
        endRemoveRows();
        throw;
    }
    endRemoveRows();
    if (first >= 0)
        emit dataChanged(createIndex(first, 0), createIndex(last, 0), {RecordRole});
}

void ItemTable::changeAndListEveryRecord(const editing::RecordEdit &edit)
{
    beginResetModel();
    try {
        editing::applyEdit(edit, bytes_, index_);
        records_.resize(index_.records.size() + (index_.danglingName ? 1 : 0));
    } catch (...) {
        bytes_ = QByteArray();
        index_ = storage::RecordIndex();
        records_ = QVector<int>();
        endResetModel();
        throw;
    }
    std::iota(records_.begin(), records_.end(), 0);
    endResetModel();
}

} // namespace program
