#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <QVector>

// The entries of the main window's item list: each shows an item name and
// remembers the record of the database file it came from.
class ItemListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // The record number (from 0) of an entry, as an int.
    static constexpr int RecordRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Replaces every entry in one step; records must be as long as names.
    void setEntries(const QStringList &names, const QVector<int> &records);
    void clear();
    void removeEntry(int row);
    // Takes out the entry of a record that was deleted from the file: the
    // entries of later records move up one record.
    void removeDeletedRecord(int row);

    QString name(int row) const { return names_.value(row); }
    int record(int row) const { return records_.value(row, -1); }
    const QStringList &names() const { return names_; }

private:
    QStringList names_;
    QVector<int> records_;
};
