#pragma once

#include "base/failure.h"
#include "editing/game_log.h"

#include <QObject>

#include <memory>

namespace program {

// Reads a game log on a thread of its own, a piece at a time, so that the
// window waiting for it stays responsive and shows the progress. The signals
// come on the thread that made the reading: progress, then finished or failed.
// Cancelling, or destroying the reading, returns at once and nothing more is
// signalled: the thread, never waited for, stops by itself after the piece it
// is reading (at most gamelog::kPieceSize bytes) and frees what it read.
class LogReading : public QObject
{
    Q_OBJECT
public:
    LogReading(const QString &path, const QString &blockStart, QObject *parent = nullptr);
    ~LogReading() override;

    void start();
    void cancel();

    // What the log held, once finished.
    const editing::Harvester &harvest() const;

signals:
    void progressed(qint64 bytesRead, qint64 bytesTotal);
    void finished();
    void failed(const base::Failure &failure);

private:
    // What the reading and its thread share; the thread holds it as long as it runs.
    struct Shared;
    static void read(const std::shared_ptr<Shared> &shared);
    void onReadEnded();

    std::shared_ptr<Shared> shared_;
};

} // namespace program
