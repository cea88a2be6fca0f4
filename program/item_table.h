#pragma once

#include "editing/record_edit.h"
#include "storage/item_database.h"
#include "storage/record_index.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QVector>

#include <functional>

namespace program {

// The items the main window lists: the current database's items, or the hits of
// the last search, in file order. Each entry shows an item's name and keeps its
// stored description and the number (from 0) of the record of the database file
// it came from. The table keeps the bytes the file held when it was read, the
// index of their records, and the record number of each entry (an int); it
// decodes a text only when it is asked for.
class ItemTable : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        DescriptionRole = Qt::UserRole + 1, // the stored description, "|" for each line break
        RecordRole,                         // the record number, an int
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The entry's model index without a virtual call: a view asks for one for
    // every entry when it lays out the list.
    QModelIndex index(int row, int column = 0, const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    QString name(int row) const;
    QString description(int row) const;
    int record(int row) const;
    storage::Item item(int row) const { return {name(row), description(row)}; }

    // The bytes and their index, as the last fill or deletion gave them.
    const QByteArray &bytes() const { return bytes_; }
    const storage::RecordIndex &index() const { return index_; }

    // Replaces every entry in one step: one entry for each record number of
    // `records`, in that order. The number index.records.size() stands for the
    // dangling name of the index, listed without a description.
    void fill(QByteArray bytes, storage::RecordIndex index, QVector<int> records);
    // The same with an entry for every record, and for the dangling name.
    void fillWithEveryRecord(QByteArray bytes, storage::RecordIndex index);
    // Takes out the entry of a record that was deleted from the file, whose
    // bytes and index are now those given: the entries of later records move
    // up one record.
    void removeDeletedRecord(int row, QByteArray bytes, storage::RecordIndex index);
    // The file the table was filled from was changed by `edit`: its bytes and
    // index change in place (editing::applyEdit), and every record is listed
    // as fillWithEveryRecord lists it.
    void changeAndListEveryRecord(const editing::RecordEdit &edit);
    // The same for the removal of the record of the entry at `row`: that
    // entry goes, as removeDeletedRecord takes it out.
    // When memory runs out, both empty the table and rethrow.
    void removeRecordInPlace(int row, const editing::RecordEdit &edit);

private:
    // The entry at `row` goes; the entries of later records move up one
    // record. Between beginRemoveRows and endRemoveRows.
    void dropEntry(int row, int *firstMoved, int *lastMoved);
    // Takes out the entry at row while changeBytes gives the bytes and index
    // their new content; the table shows nothing when it throws.
    void removeEntry(int row, const std::function<void()> &changeBytes);
    QString text(const storage::Span &span) const;
    storage::Span nameSpan(int record) const;
    storage::Span descriptionSpan(int record) const;

    QByteArray bytes_;
    storage::RecordIndex index_;
    QVector<int> records_;
};

} // namespace program
