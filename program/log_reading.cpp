#include "program/log_reading.h"

#include "app/text_file.h"

#include <QFile>
#include <QFileInfo>

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
    worker_ = new Worker(this);
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::started, worker_, [worker = worker_] { worker->run(); });
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

void LogReading::cancel()
{
    stop_ = true;
}

// On the reading's thread.
void LogReading::read()
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        failure_ = QFileInfo::exists(path_)
                       ? Failure(ErrPathFileAccess,
                                 QStringLiteral("Path/File access error: could not read %1 (%2)")
                                     .arg(textfile::fileNameOf(path_), file.errorString()),
                                 textfile::kSource)
                       : Failure(ErrFileNotFound,
                                 QStringLiteral("File not found (%1)").arg(textfile::fileNameOf(path_)),
                                 textfile::kSource);
        return;
    }
    const qint64 total = file.size();
    qint64 done = 0;
    QByteArray piece(kPieceSize, Qt::Uninitialized);
    while (!stop_) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0) {
            failure_ = Failure(ErrPathFileAccess,
                               QStringLiteral("Path/File access error: could not read %1 (%2)")
                                   .arg(textfile::fileNameOf(path_), file.errorString()),
                               textfile::kSource);
            return;
        }
        if (got == 0)
            break;
        harvester_->feed(QByteArrayView(piece.constData(), got));
        done += got;
        QMetaObject::invokeMethod(
            this,
            [this, done, total] {
                if (!stop_)
                    emit progressed(done, total);
            },
            Qt::QueuedConnection);
    }
    harvester_->finish();
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
