#pragma once

#include "base/failure.h"
#include "catalogue/catalogue_file.h"
#include "fields/field_store.h"
#include "fields/rules.h"
#include "storage/data_folder.h"
#include "storage/record_index.h"

#include <QHash>
#include <QObject>
#include <QVector>

#include <memory>
#include <optional>

namespace program {

// One catalogued database with the fields of its items, as read at one time.
// Never changes once made, so a query's result may keep it while a newer
// reading replaces it.
struct DatabaseFields
{
    catalogue::Entry entry;
    QByteArray bytes;
    storage::RecordIndex index;
    fields::FieldStore store;
};
using DatabaseFieldsPtr = std::shared_ptr<const DatabaseFields>;

// The fields of the catalogued databases, read with one set of rules and kept
// per database file until that file changes (forget) or the rules do. Reading
// runs on a thread of its own, one database after the other; the signals come
// on the thread that made the cache. Cancelling, or destroying the cache,
// returns at once: the thread stops by itself after the block of items it is
// reading and nothing more is signalled.
class FieldCache : public QObject
{
    Q_OBJECT
public:
    explicit FieldCache(const storage::DataFolder &folder, QObject *parent = nullptr);
    ~FieldCache() override;

    // Drops every database read and cancels a reading in progress.
    void setRules(const fields::Rules &rules);
    const fields::Rules &rules() const { return rules_; }

    // The database as read, or null when it is not read (or changed since).
    DatabaseFieldsPtr find(const catalogue::Entry &entry) const;
    // The database file changed: it is read again when next needed.
    void forget(const QString &fileName);
    // True when all of them are read.
    bool holds(const QVector<catalogue::Entry> &databases) const;

    // Starts reading those not read yet; a reading in progress is cancelled
    // first. Ends with ready, or with failed naming the first database that
    // could not be read (the others read are kept).
    void read(const QVector<catalogue::Entry> &databases);
    void cancel();
    bool busy() const { return reading_ != nullptr; }

signals:
    // How far the reading is, in thousandths of the whole.
    void progressed(int done, int total);
    void ready();
    void failed(const base::Failure &failure);
    // A database was forgotten or the rules changed: results read before are out of date.
    void changed();

private:
    struct Reading;
    static void run(const std::shared_ptr<Reading> &reading);
    void take(const DatabaseFieldsPtr &database, quint64 generation);

    const storage::DataFolder &folder_;
    fields::Rules rules_;
    QHash<QString, DatabaseFieldsPtr> read_;
    // Grows with every forget and every change of rules: a reading started
    // earlier keeps nothing of what it read.
    quint64 generation_ = 0;
    std::shared_ptr<Reading> reading_;
};

} // namespace program
