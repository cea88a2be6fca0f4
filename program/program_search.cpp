// The program object's search of the current database: on the caller's thread,
// or on a thread of its own for a large database.
#include "program/program.h"

#include "search/item_search.h"
#include "storage/record_index.h"
#include "storage/text_file.h"

#include <mutex>
#include <thread>

namespace program {
namespace {

const QString kSearchWhere = QStringLiteral(
    "You must search in at least one of the Items or Descriptions' text.  Please check an area to search in.");

} // namespace

// What a search looks at and what it found. run() touches nothing but the job,
// so that it may run on any thread.
struct Program::SearchJob
{
    QString text;
    search::SearchIn where = search::SearchIn::Both;
    QString path;
    // The bytes listed are not the file's content: run() reads the file first.
    bool read = false;
    qint64 size = 0; // of the bytes searched, or of the file to read
    QByteArray bytes;
    storage::RecordIndex index;

    QVector<int> hits;
    std::optional<base::Failure> readFailure;
    storage::FileStamp stamp; // of the file read

    void run()
    {
        if (read) {
            const base::Outcome readOutcome = base::attempt([&] { bytes = storage::readFile(path, &stamp); });
            if (!readOutcome.ok()) {
                readFailure = readOutcome.failure();
                return;
            }
            index = storage::indexRecords(bytes);
        }
        hits = search::findRecords(bytes, index, text, where);
    }
};

// What the program object and a search's thread share. The thread owns the
// job until it posts its end; the owner is read and cleared under the mutex.
struct Program::SearchRun
{
    SearchJob job;
    std::mutex mutex;
    Program *owner = nullptr;

    void disown()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        owner = nullptr;
    }
};

Program::~Program()
{
    if (searchRun_)
        searchRun_->disown();
}

base::Outcome Program::prepareSearch(const QString &text, bool inNames, bool inDescriptions, SearchJob *job)
{
    if (!inNames && !inDescriptions)
        return base::Outcome::refused(kSearchWhere);
    dropSearch();
    job->text = text;
    job->where = inNames && inDescriptions ? search::SearchIn::Both
                 : inNames                 ? search::SearchIn::Names
                                           : search::SearchIn::Descriptions;
    job->path = currentDatabasePath();
    const std::optional<storage::FileStamp> stamp = storage::fileStamp(job->path);
    if (listedStamp_ && stamp == listedStamp_) {
        // The bytes listed are searched again while the file is unchanged.
        job->bytes = table_.bytes();
        job->index = table_.index();
        job->size = job->bytes.size();
        return base::Outcome::done();
    }
    // The listing read before goes first: the bytes of one file are held at a time.
    table_.fill({}, {}, {});
    listedStamp_.reset();
    job->read = true;
    job->size = stamp ? stamp->size : 0;
    return base::Outcome::done();
}

base::Outcome Program::listHits(SearchJob &job)
{
    if (job.readFailure) {
        emit listingChanged();
        return base::Outcome::failed(*job.readFailure);
    }
    if (job.read)
        listedStamp_ = job.stamp;
    std::optional<base::Failure> failure;
    if (job.index.danglingName)
        failure = storage::danglingNameFailure(job.index, storage::fileNameOf(job.path));
    table_.fill(std::move(job.bytes), std::move(job.index), std::move(job.hits));
    emit listingChanged();
    if (failure)
        return base::Outcome::failed(*failure);
    emit descriptionShown(table_.description(0));
    return base::Outcome::done();
}

base::Outcome Program::search(const QString &text, bool inNames, bool inDescriptions)
{
    SearchJob job;
    if (base::Outcome prepared = prepareSearch(text, inNames, inDescriptions, &job); !prepared.ok())
        return prepared;
    job.run();
    return listHits(job);
}

base::Outcome Program::startSearch(const QString &text, bool inNames, bool inDescriptions)
{
    auto run = std::make_shared<SearchRun>();
    if (base::Outcome prepared = prepareSearch(text, inNames, inDescriptions, &run->job); !prepared.ok())
        return prepared;
    if (run->job.size <= backgroundSearchBytes_) {
        run->job.run();
        return listHits(run->job);
    }
    if (run->job.read)
        emit listingChanged(); // the count follows the emptied table while the file is read
    run->owner = this;
    searchRun_ = run;
    std::thread([run] {
        run->job.run();
        const std::lock_guard<std::mutex> lock(run->mutex);
        if (Program *const to = run->owner)
            QMetaObject::invokeMethod(to, [to, run] { to->endSearch(run); }, Qt::QueuedConnection);
    }).detach();
    return base::Outcome::done();
}

void Program::endSearch(const std::shared_ptr<SearchRun> &run)
{
    // A search dropped after its thread posted its end lists nothing.
    if (run != searchRun_)
        return;
    searchRun_.reset();
    const base::Outcome listed = listHits(run->job);
    emit searchEnded(listed);
}

void Program::dropSearch()
{
    if (!searchRun_)
        return;
    searchRun_->disown();
    searchRun_.reset();
    emit searchEnded(base::Outcome::cancelled());
}

} // namespace program
