#pragma once

#include "app/failure.h"
#include "editing/game_log.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>
#include <optional>

// Reads a game log on a thread of its own, a piece at a time, so that the
// window waiting for it stays responsive and shows the progress. The signals
// come on the thread that made the reading: progress, then finished or failed.
// Cancelling stops the reading between two pieces, and nothing more is
// signalled; destroying it cancels it and waits for its thread.
class LogReading : public QObject
{
    Q_OBJECT
public:
    LogReading(const QString &path, const QString &blockStart, QObject *parent = nullptr);
    ~LogReading() override;

    void start();
    void cancel();

    // What the log held, once finished.
    const gamelog::Harvester &harvest() const { return *harvester_; }

signals:
    void progressed(qint64 bytesRead, qint64 bytesTotal);
    void finished();
    void failed(const Failure &failure);

private:
    void onThreadFinished();

    class Worker;
    friend class Worker;
    void read();

    QString path_;
    std::unique_ptr<gamelog::Harvester> harvester_;
    std::atomic_bool stop_{false};
    // Written by the worker before its thread ends, read after.
    std::optional<Failure> failure_;
    QThread thread_;
};
