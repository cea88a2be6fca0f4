#include "program/item_table.h"

#include "storage/windows1252.h"

namespace program {

int ItemTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

QVariant ItemTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= entries_.size())
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

QString ItemTable::name(int row) const
{
    return row >= 0 && row < entries_.size() ? text(entries_[row].name) : QString();
}

QString ItemTable::description(int row) const
{
    return row >= 0 && row < entries_.size() ? text(entries_[row].description) : QString();
}

int ItemTable::record(int row) const
{
    return row >= 0 && row < entries_.size() ? entries_[row].record : -1;
}

void ItemTable::fill(QByteArray bytes, QVector<Entry> entries)
{
    beginResetModel();
    bytes_ = std::move(bytes);
    entries_ = std::move(entries);
    endResetModel();
}

void ItemTable::removeDeletedRecord(int row)
{
    if (row < 0 || row >= entries_.size())
        return;
    const int deleted = entries_[row].record;
    beginRemoveRows(QModelIndex(), row, row);
    entries_.removeAt(row);
    endRemoveRows();
    int first = -1;
    int last = -1;
    for (int i = 0; i < entries_.size(); ++i) {
        if (entries_[i].record > deleted) {
            --entries_[i].record;
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first >= 0)
        emit dataChanged(index(first), index(last), {RecordRole});
}

} // namespace program
