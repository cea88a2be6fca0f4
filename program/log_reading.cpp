#include "program/log_reading.h"

// Lives on the reading's thread, where its run() reads the log.
class LogReading::Worker : public QObject
{
public:
    explicit Worker(LogReading *reading) : reading_(reading) {}
    void run()
    {
        reading_->read();
        QThread::currentThread()->quit();
    }

private:
    LogReading *reading_;
};

LogReading::LogReading(const QString &path, const QString &blockStart, QObject *parent)
    : QObject(parent), path_(path), harvester_(std::make_unique<gamelog::Harvester>(blockStart))
{
    connect(&thread_, &QThread::finished, this, &LogReading::onThreadFinished);
}

LogReading::~LogReading()
{
    cancel();
    thread_.quit();
    thread_.wait();
}

void LogReading::start()
{
    auto *worker = new Worker(this);
    worker->moveToThread(&thread_);
    connect(&thread_, &QThread::started, worker, &Worker::run);
    connect(&thread_, &QThread::finished, worker, &QObject::deleteLater);
    thread_.start();
}

void LogReading::cancel()
{
    stop_ = true;
}

// On the reading's thread.
void LogReading::read()
{
    try {
        gamelog::readLog(path_, *harvester_, [this](qint64 done, qint64 total) {
            QMetaObject::invokeMethod(
                this,
                [this, done, total] {
                    if (!stop_)
                        emit progressed(done, total);
                },
                Qt::QueuedConnection);
            return !stop_;
        });
    } catch (const Failure &failure) {
        failure_ = failure;
    }
}

void LogReading::onThreadFinished()
{
    if (stop_)
        return;
    if (failure_)
        emit failed(*failure_);
    else
        emit finished();
}
