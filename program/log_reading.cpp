#include "program/log_reading.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace program {

struct LogReading::Shared
{
    Shared(const QString &path, const QString &blockStart) : path(path), harvester(blockStart) {}

    // Runs a call on the reading's thread, unless the reading is gone.
    void post(const std::function<void(LogReading *)> &call)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (LogReading *const to = owner)
            QMetaObject::invokeMethod(to, [to, call] { call(to); }, Qt::QueuedConnection);
    }

    const QString path;
    editing::Harvester harvester;
    std::atomic_bool stop{false};
    // Written by the thread before it posts its end, read after.
    std::optional<base::Failure> failure;
    std::mutex mutex;
    LogReading *owner = nullptr; // under the mutex; nothing once the reading is destroyed
};

LogReading::LogReading(const QString &path, const QString &blockStart, QObject *parent)
    : QObject(parent), shared_(std::make_shared<Shared>(path, blockStart))
{
    shared_->owner = this;
}

LogReading::~LogReading()
{
    cancel();
    // Once this returns the thread posts nothing more; what it posted before goes with this object.
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->owner = nullptr;
}

void LogReading::start()
{
    std::thread(&LogReading::read, shared_).detach();
}

void LogReading::cancel()
{
    shared_->stop = true;
}

const editing::Harvester &LogReading::harvest() const
{
    return shared_->harvester;
}

// On the reading's own thread.
void LogReading::read(const std::shared_ptr<Shared> &shared)
{
    int shownPermille = -1;
    try {
        editing::readLog(shared->path, shared->harvester, [&](qint64 done, qint64 total) {
            // The bar moves in thousandths: no more signals than that.
            const int permille = total > 0 ? int(std::min(done, total) * 1000 / total) : 0;
            if (permille != std::exchange(shownPermille, permille))
                shared->post([done, total](LogReading *reading) {
                    if (!reading->shared_->stop)
                        emit reading->progressed(done, total);
                });
            return !shared->stop;
        });
    } catch (const base::Failure &failure) {
        shared->failure = failure;
    }
    shared->post([](LogReading *reading) { reading->onReadEnded(); });
}

void LogReading::onReadEnded()
{
    if (shared_->stop)
        return;
    if (shared_->failure)
        emit failed(*shared_->failure);
    else
        emit finished();
}

} // namespace program
