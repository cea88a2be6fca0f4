#pragma once

#include "storage/item_database.h"
#include "storage/record_index.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QVector>

namespace program {

// The items the main window lists: the current database's items, or the hits of
// the last search, in file order. Each entry shows an item's name and keeps its
// stored description and the number (from 0) of the record of the database file
// it came from. The table keeps the bytes the file held when it was read and
// the spans of each entry's texts, and decodes a text only when it is asked for.
class ItemTable : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        DescriptionRole = Qt::UserRole + 1, // the stored description, "|" for each line break
        RecordRole,                         // the record number, an int
    };

    struct Entry
    {
        int record = 0;
        storage::Span name;
        storage::Span description;
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    QString name(int row) const;
    QString description(int row) const;
    int record(int row) const;
    storage::Item item(int row) const { return {name(row), description(row)}; }

    // Replaces every entry in one step; the spans point into bytes.
    void fill(QByteArray bytes, QVector<Entry> entries);
    // Takes out the entry of a record that was deleted from the file: the
    // entries of later records move up one record.
    void removeDeletedRecord(int row);

private:
    QString text(const storage::Span &span) const;

    QByteArray bytes_;
    QVector<Entry> entries_;
};

} // namespace program
