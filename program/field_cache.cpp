#include "program/field_cache.h"

#include "base/outcome.h"
#include "storage/text_file.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace program {

struct FieldCache::Reading
{
    // Runs a call on the cache's thread, unless the cache is gone or the reading cancelled.
    void post(const std::function<void(FieldCache *)> &call)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (FieldCache *const to = owner; to && !stop)
            QMetaObject::invokeMethod(to, [to, call] { call(to); }, Qt::QueuedConnection);
    }

    fields::Rules rules;
    QVector<catalogue::Entry> databases;
    QStringList paths;
    quint64 generation = 0;
    std::atomic_bool stop{false};
    std::mutex mutex;
    FieldCache *owner = nullptr; // under the mutex
};

FieldCache::FieldCache(const storage::DataFolder &folder, QObject *parent) : QObject(parent), folder_(folder) {}

FieldCache::~FieldCache()
{
    cancel();
}

void FieldCache::setRules(const fields::Rules &rules)
{
    cancel();
    rules_ = rules;
    read_.clear();
    ++generation_;
    emit changed();
}

DatabaseFieldsPtr FieldCache::find(const catalogue::Entry &entry) const
{
    const DatabaseFieldsPtr found = read_.value(entry.fileName);
    return found && found->entry == entry ? found : nullptr;
}

void FieldCache::forget(const QString &fileName)
{
    ++generation_;
    if (read_.remove(fileName) > 0)
        emit changed();
}

bool FieldCache::holds(const QVector<catalogue::Entry> &databases) const
{
    for (const catalogue::Entry &entry : databases) {
        if (!find(entry))
            return false;
    }
    return true;
}

void FieldCache::cancel()
{
    if (!reading_)
        return;
    const std::lock_guard<std::mutex> lock(reading_->mutex);
    reading_->stop = true;
    reading_->owner = nullptr;
    reading_.reset();
}

void FieldCache::read(const QVector<catalogue::Entry> &databases)
{
    cancel();
    auto reading = std::make_shared<Reading>();
    reading->rules = rules_;
    reading->generation = generation_;
    reading->owner = this;
    for (const catalogue::Entry &entry : databases) {
        if (!find(entry) && !reading->databases.contains(entry)) {
            reading->databases.append(entry);
            reading->paths.append(folder_.file(entry.fileName));
        }
    }
    if (reading->databases.isEmpty()) {
        emit ready();
        return;
    }
    reading_ = reading;
    std::thread(&FieldCache::run, reading).detach();
}

void FieldCache::run(const std::shared_ptr<Reading> &reading)
{
    const int count = int(reading->databases.size());
    for (int i = 0; i < count && !reading->stop; ++i) {
        auto database = std::make_shared<DatabaseFields>();
        database->entry = reading->databases[i];
        const base::Outcome read = base::attempt([&] { database->bytes = storage::readFile(reading->paths[i]); });
        if (!read.ok() && !read.failure()->isMissingFile()) {
            const base::Failure failure = *read.failure();
            reading->post([failure](FieldCache *cache) {
                cache->reading_.reset();
                emit cache->failed(failure);
            });
            return;
        }
        database->index = storage::indexRecords(database->bytes);
        const auto progress = [&](int done, int total) {
            const int at = i * 1000 + (total > 0 ? int(qint64(done) * 1000 / total) : 1000);
            reading->post([at, count](FieldCache *cache) { emit cache->progressed(at, count * 1000); });
        };
        std::optional<fields::FieldStore> store =
            fields::buildStore(reading->rules, database->bytes, database->index, {progress, &reading->stop});
        if (!store)
            return;
        database->store = std::move(*store);
        const quint64 generation = reading->generation;
        const bool last = i + 1 == count;
        reading->post([database, generation, last](FieldCache *cache) {
            cache->take(database, generation);
            if (last) {
                cache->reading_.reset();
                emit cache->ready();
            }
        });
    }
}

void FieldCache::take(const DatabaseFieldsPtr &database, quint64 generation)
{
    if (generation == generation_)
        read_.insert(database->entry.fileName, database);
}

} // namespace program
