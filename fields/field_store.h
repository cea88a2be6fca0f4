#pragma once

#include "fields/rules.h"
#include "storage/record_index.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

// Fields and queries, used together
// ---------------------------------
// fields/ reads the stats of items (fields) out of their stored descriptions;
// query/ finds, scores, ranks and compares items by them. The program object
// keeps, for every catalogued database, its bytes, their record index and a
// FieldStore built from both with the rules of fields.txt:
//
//     fields::ParsedRules parsed = fields::parseRules(fields::decodeRulesFile(bytes));
//     // parsed.errors -> shown to the player; the rules are used only without errors
//     std::optional<fields::FieldStore> store =
//         fields::buildStore(parsed.rules, databaseBytes, index, {progress, &cancelled});
//
// buildStore is a plain function of its arguments: run it on any thread (one
// database at a time; a changed database is built again alone), with a
// progress callback and a cancel flag. A FieldStore never changes once built,
// so several threads may read it.
//
// For a scope of one or all databases, fields::Registry (registry.h) lists the
// fields known there (for query suggestions, the column chooser, the "level:
// 8,703 of 9,120 items" lines). query::parseQuery / query::parseScore check a
// text against that registry; query::evaluate gives the hits over a
// query::Scope (bytes + index + store of each database); query/ranking.h
// sorts, scores and groups them; query/compare.h writes the compare text and
// a row's description for screen readers.
namespace fields {

// One field's values in one database, sparse: the records (from 0, in file
// order) that have it, ascending, and a value for each.
class Column
{
public:
    const QString &name() const { return name_; }
    Kind kind() const { return kind_; }
    // The records that have the field, ascending.
    const std::vector<quint32> &records() const { return records_; }
    // Where a record is among records(), or -1 when it lacks the field.
    qsizetype entryOf(int record) const;

    // Number columns: the value of each entry.
    double number(qsizetype entry) const { return numbers_[size_t(entry)]; }
    // Words columns: the word numbers of an entry, in the order first found,
    // each once; a word number indexes dictionary().
    const quint32 *wordsBegin(qsizetype entry) const { return wordIds_.data() + wordStarts_[size_t(entry)]; }
    const quint32 *wordsEnd(qsizetype entry) const { return wordIds_.data() + wordStarts_[size_t(entry) + 1]; }
    // Every word of the column once, folded (lower-case Windows-1252).
    const std::vector<QByteArray> &dictionary() const { return dictionary_; }

    // The entry's value as text: "18", "10.5", "magic glow".
    QString text(qsizetype entry) const;
    QStringList words(qsizetype entry) const;

private:
    friend class StoreBuilder;
    QString name_;
    Kind kind_ = Kind::Number;
    std::vector<quint32> records_;
    std::vector<double> numbers_;
    std::vector<quint32> wordStarts_;
    std::vector<quint32> wordIds_;
    std::vector<QByteArray> dictionary_;
};

// A field of one item, as the Fields and Compare windows show it.
struct ItemField
{
    QString name;
    Kind kind = Kind::Number;
    double number = 0;
    QStringList words;
    QString text;
};

// The fields of every item of one database.
class FieldStore
{
public:
    int recordCount() const { return recordCount_; }
    // Fields the rules name first (in their order), then those the text named, by name.
    const QVector<Column> &columns() const { return columns_; }
    // The column of a field (a canonical name, not an alias), or null.
    const Column *column(const QString &field) const;

    std::optional<double> number(const QString &field, int record) const;
    // The words of a words field; none when the item lacks it.
    QStringList words(const QString &field, int record) const;
    // The value of a field as text ("18", "magic glow"); empty when the item lacks it.
    QString text(const QString &field, int record) const;
    // Every field of an item, in the order of columns().
    QVector<ItemField> itemFields(int record) const;

private:
    friend class StoreBuilder;
    int recordCount_ = 0;
    QVector<Column> columns_;
    QHash<QString, int> columnIndex_;
};

struct BuildControl
{
    // Called after each block of items is read: how many of how many are done.
    std::function<void(int done, int total)> progress;
    // Checked between blocks of items; when set, the build stops.
    const std::atomic<bool> *cancel = nullptr;
};

// Applies the rules to the description of every indexed record of `bytes`.
// Nothing when cancelled.
std::optional<FieldStore> buildStore(const Rules &rules, const QByteArray &bytes, const storage::RecordIndex &index,
                                     const BuildControl &control = {});

// A number as fields show it: "18", "-3", "10.5", "70804".
QString numberText(double value);

} // namespace fields
