#include "main_window/item_list_model.h"

int ItemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(names_.size());
}

QVariant ItemListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= names_.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return names_.at(index.row());
    case RecordRole:
        return records_.at(index.row());
    default:
        return QVariant();
    }
}

void ItemListModel::setEntries(const QStringList &names, const QVector<int> &records)
{
    Q_ASSERT(names.size() == records.size());
    beginResetModel();
    names_ = names;
    records_ = records;
    endResetModel();
}

void ItemListModel::clear()
{
    if (names_.isEmpty())
        return;
    beginResetModel();
    names_.clear();
    records_.clear();
    endResetModel();
}

void ItemListModel::removeEntry(int row)
{
    if (row < 0 || row >= names_.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    names_.removeAt(row);
    records_.removeAt(row);
    endRemoveRows();
}

void ItemListModel::removeDeletedRecord(int row)
{
    if (row < 0 || row >= names_.size())
        return;
    const int deleted = records_.at(row);
    removeEntry(row);
    int first = -1;
    int last = -1;
    for (int i = 0; i < records_.size(); ++i) {
        if (records_.at(i) > deleted) {
            --records_[i];
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first >= 0)
        emit dataChanged(index(first), index(last), {RecordRole});
}
