#include "program/item_table.h"

#include "storage/windows1252.h"

#include <numeric>

namespace program {

int ItemTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(records_.size());
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
    QVector<int> records(index.records.size() + (index.danglingName ? 1 : 0));
    std::iota(records.begin(), records.end(), 0);
    fill(std::move(bytes), std::move(index), std::move(records));
}

void ItemTable::removeDeletedRecord(int row, QByteArray bytes, storage::RecordIndex index)
{
    if (row < 0 || row >= records_.size())
        return;
    const int deleted = records_[row];
    beginRemoveRows(QModelIndex(), row, row);
    records_.removeAt(row);
    int first = -1;
    int last = -1;
    for (int i = 0; i < records_.size(); ++i) {
        if (records_[i] > deleted) {
            --records_[i];
            if (first < 0)
                first = i;
            last = i;
        }
    }
    bytes_ = std::move(bytes);
    index_ = std::move(index);
    endRemoveRows();
    if (first >= 0)
        emit dataChanged(createIndex(first, 0), createIndex(last, 0), {RecordRole});
}

} // namespace program
