// Listing and searching by the program object alone, beside the floors of the
// hardware and a peer, at each size:
//   floor/read/<items>        reading the database file into a buffer of its size
//                             and finding every line end in it (memchr)
//   floor/read_new_memory/<items>  the same into a buffer asked of the system each time
//   floor/read_new_large_pages/<items>  the same into a buffer asked of the system each
//                             time with large pages, as the program asks for the bytes it keeps
//   floor/read/own_process/<items>  the same in a process of its own (this program
//                             run again as a read probe), into new memory asked
//                             with large pages as the program asks for it
//   floor/scan/<items>        one pass over the bytes in memory, each folded with a
//                             256-entry table (the search's own) and compared
//   floor/safe_save/<items>   writing a file of the database's size, syncing it once
//                             and renaming it over the file it replaces
//   op/list_all/<items>       Show All: the program object reads and lists the file
//   op/search/<in>/<hits>/<items>  Search in names, descriptions or both: the
//                             program object reads the file, finds and lists the hits
//   peer/sqlite_like/<field>/<hits>/<items>  the same search as a prepared LIKE over
//                             an in-memory SQLite table of the same items
// <hits> is a search text with few hits or one with many. Every search lists
// all its hits, and the peer returns all its rows.
#include "bench/bench_support.h"
#include "bench/generated_database.h"
#include "bench/started_program.h"
#include "search/folded_needle.h"
#include "search/item_search.h"
#include "storage/large_pages.h"
#include "storage/record_index.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace bench;

namespace {

using With = StartedProgram::With;

// Reads the file into the buffer and counts its lines; -1 when the file cannot be read.
qsizetype readAndCountLines(const char *path, char *buffer, qsizetype size)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const ssize_t read = ::read(fd, buffer, size_t(size));
    ::close(fd);
    if (read != size)
        return -1;
    qsizetype lines = 0;
    const char *p = buffer;
    const char *end = p + size;
    while (const void *cr = std::memchr(p, '\r', size_t(end - p))) {
        p = static_cast<const char *>(cr) + 1;
        ++lines;
    }
    return lines;
}

// Writes the bytes to a new file beside `path`, syncs it and renames it over `path`.
bool writeSyncAndRename(const QByteArray &path, const QByteArray &bytes)
{
    const QByteArray temporary = path + ".new";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    const bool synced = written == bytes.size() && ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced && ::rename(temporary.constData(), path.constData()) == 0;
}

double cpuSeconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// Reads the file into a buffer asked of the system (with large pages where
// `largePages`, as the program asks for the bytes it keeps) and counts its
// lines; -1 when it cannot be read.
qsizetype readIntoNewMemory(const char *path, qsizetype size, bool largePages)
{
    const std::unique_ptr<char[]> buffer(new char[size_t(size)]);
    if (largePages)
        storage::askForLargePages(buffer.get(), size);
    return readAndCountLines(path, buffer.get(), size);
}

// Reads the database into a buffer asked of the system each round.
void timeReadIntoNewMemory(benchmark::State &state, int items, bool largePages)
{
    const QByteArray path = QFile::encodeName(databaseFile(items));
    const qsizetype size = database(items).size();
    for (auto _ : state) {
        if (readIntoNewMemory(path.constData(), size, largePages) != 2 * qsizetype(items)) {
            state.SkipWithError("the database file could not be read");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void addFloors(int items)
{
    // Into memory the process has already: the work of reading itself.
    add("floor/read", items, Rounds::Reading, [items](benchmark::State &state) {
        const QByteArray path = QFile::encodeName(databaseFile(items));
        const qsizetype size = database(items).size();
        std::vector<char> buffer(static_cast<size_t>(size));
        (void)readAndCountLines(path.constData(), buffer.data(), size); // every page in place before the timing
        for (auto _ : state) {
            if (readAndCountLines(path.constData(), buffer.data(), size) != 2 * qsizetype(items)) {
                state.SkipWithError("the database file could not be read");
                break;
            }
        }
        state.SetBytesProcessed(state.iterations() * size);
    });
    // Into memory asked of the system each time, as a reader that keeps the
    // bytes gets it: beyond the allocator's largest reused block (32 MiB) the
    // system gives every page afresh.
    add("floor/read_new_memory", items, Rounds::Reading,
        [items](benchmark::State &state) { timeReadIntoNewMemory(state, items, false); });
    add("floor/read_new_large_pages", items, Rounds::Reading,
        [items](benchmark::State &state) { timeReadIntoNewMemory(state, items, true); });
    add("floor/read/own_process", items, Rounds::Reading, [items](benchmark::State &state) {
        timeProbes(state, kReadProbeVariable, databaseFile(items));
    })->UseManualTime()->Repetitions(kProcessRepetitions);
    add("floor/scan", items, Rounds::Reading, [items](benchmark::State &state) {
        std::array<unsigned char, 256> fold{};
        for (int b = 0; b < 256; ++b)
            fold[size_t(b)] = search::FoldedNeedle::fold(static_cast<unsigned char>(b));
        const QByteArray &bytes = database(items);
        const auto *begin = reinterpret_cast<const unsigned char *>(bytes.constData());
        const auto *end = begin + bytes.size();
        const unsigned char first = static_cast<unsigned char>(bench::kFewInNames[0]);
        for (auto _ : state) {
            qsizetype matches = 0;
            for (const unsigned char *p = begin; p != end; ++p)
                matches += fold[*p] == first;
            benchmark::DoNotOptimize(matches);
        }
        state.SetBytesProcessed(state.iterations() * bytes.size());
    });
    add("floor/safe_save", items, Rounds::Writing, [items](benchmark::State &state) {
        const QByteArray &bytes = database(items);
        const QByteArray path = QFile::encodeName(scratchFile(QStringLiteral("safe_save.txt")));
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        for (auto _ : state) {
            if (!writeSyncAndRename(path, bytes)) {
                state.SkipWithError("the file could not be written");
                break;
            }
        }
        getrusage(RUSAGE_SELF, &after);
        const auto perRound = benchmark::Counter::kAvgIterations;
        state.counters["user_ms"] =
            benchmark::Counter((cpuSeconds(after.ru_utime) - cpuSeconds(before.ru_utime)) * 1000, perRound);
        state.counters["sys_ms"] =
            benchmark::Counter((cpuSeconds(after.ru_stime) - cpuSeconds(before.ru_stime)) * 1000, perRound);
        ::unlink(path.constData());
    });
}

struct SearchCase
{
    const char *in;
    search::SearchIn where;
    const char *peerField;
    const char *peerCondition;
    const char *few;
    const char *many;
};

const SearchCase kSearches[] = {
    {"names", search::SearchIn::Names, "name", "name LIKE ?1", bench::kFewInNames, bench::kManyInNames},
    {"descriptions", search::SearchIn::Descriptions, "description", "description LIKE ?1", bench::kFewInDescriptions,
     bench::kManyInDescriptions},
    {"both", search::SearchIn::Both, "both", "description LIKE ?1 OR name LIKE ?1", bench::kFewInDescriptions,
     bench::kManyInDescriptions},
};

void addOperations(int items)
{
    add("op/list_all", items, Rounds::Reading, [items](benchmark::State &state) {
        StartedProgram &started = listed(items, With::ProgramOnly);
        started.takeMessage();
        for (auto _ : state) {
            started.dialogs().report(started.program().listAll());
            if (const QString failure = started.takeMessage(); !failure.isEmpty()) {
                state.SkipWithError(qPrintable(failure));
                break;
            }
        }
        state.counters["listed"] = double(started.program().items().rowCount());
    });
    for (const SearchCase &search : kSearches) {
        for (const std::string hits : {"few", "many"}) {
            const QString text = QString::fromLatin1(hits == "few" ? search.few : search.many);
            add("op/search/" + std::string(search.in) + "/" + hits, items, Rounds::Reading,
                [items, text, where = search.where](benchmark::State &state) {
                    StartedProgram &started = listed(items, With::ProgramOnly);
                    started.takeMessage();
                    const bool inNames = where != search::SearchIn::Descriptions;
                    const bool inDescriptions = where != search::SearchIn::Names;
                    for (auto _ : state) {
                        started.dialogs().report(started.program().search(text, inNames, inDescriptions));
                        if (const QString failure = started.takeMessage(); !failure.isEmpty()) {
                            state.SkipWithError(qPrintable(failure));
                            break;
                        }
                    }
                    state.counters["hits"] = double(started.program().items().rowCount());
                });
        }
    }
}

// The items of a database in an in-memory SQLite table.
class SqliteTable
{
public:
    explicit SqliteTable(const QByteArray &bytes)
    {
        sqlite3_open(":memory:", &db_);
        sqlite3_exec(db_, "CREATE TABLE items(name TEXT NOT NULL, description TEXT NOT NULL); BEGIN", nullptr,
                     nullptr, nullptr);
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db_, "INSERT INTO items(name, description) VALUES(?1, ?2)", -1, &insert, nullptr);
        const auto bind = [&](int column, const storage::Span &span) {
            const QByteArray text = storage::decodeWindows1252(bytes.mid(span.begin, span.length)).toUtf8();
            sqlite3_bind_text(insert, column, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        };
        for (const storage::Record &record : storage::indexRecords(bytes).records) {
            bind(1, record.name);
            bind(2, record.description);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    }
    ~SqliteTable() { sqlite3_close(db_); }
    SqliteTable(const SqliteTable &) = delete;
    SqliteTable &operator=(const SqliteTable &) = delete;

    sqlite3 *handle() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};

// The table of one size at a time: a million items take some hundred MB.
SqliteTable &sqliteTable(int items)
{
    static int size = 0;
    static std::unique_ptr<SqliteTable> table;
    if (size != items || !table) {
        table.reset();
        table = std::make_unique<SqliteTable>(database(items));
        size = items;
    }
    return *table;
}

// A prepared "SELECT rowid FROM items WHERE <condition>", ?1 bound to "%text%".
class LikeQuery
{
public:
    LikeQuery(sqlite3 *db, const char *condition, const std::string &text)
    {
        const std::string sql = std::string("SELECT rowid FROM items WHERE ") + condition;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        const std::string pattern = "%" + text + "%";
        sqlite3_bind_text(statement_, 1, pattern.c_str(), int(pattern.size()), SQLITE_TRANSIENT);
    }
    ~LikeQuery() { sqlite3_finalize(statement_); }
    LikeQuery(const LikeQuery &) = delete;
    LikeQuery &operator=(const LikeQuery &) = delete;

    // The row numbers found, from 1.
    const std::vector<sqlite3_int64> &run()
    {
        rows_.clear();
        while (sqlite3_step(statement_) == SQLITE_ROW)
            rows_.push_back(sqlite3_column_int64(statement_, 0));
        sqlite3_reset(statement_);
        return rows_;
    }

private:
    sqlite3_stmt *statement_ = nullptr;
    std::vector<sqlite3_int64> rows_;
};

// Whether SQLite finds the items the program's search finds: the comparison is fair only then.
bool findsTheSameItems(int items, const SearchCase &search, const char *text)
{
    LikeQuery check(sqliteTable(items).handle(), search.peerCondition, text);
    const std::vector<sqlite3_int64> &rows = check.run();
    const QByteArray &bytes = database(items);
    const QVector<int> expected =
        search::findRecords(bytes, storage::indexRecords(bytes), QString::fromLatin1(text), search.where);
    return std::equal(rows.begin(), rows.end(), expected.begin(), expected.end(),
                      [](sqlite3_int64 row, int record) { return row == record + 1; });
}

void addPeer(int items)
{
    for (const SearchCase &search : kSearches) {
        for (const std::string hits : {"few", "many"}) {
            const char *text = hits == "few" ? search.few : search.many;
            add("peer/sqlite_like/" + std::string(search.peerField) + "/" + hits, items, Rounds::Reading,
                [items, text, search](benchmark::State &state) {
                    // Checked once, not at every repetition.
                    static std::set<std::string> checked;
                    if (checked.insert(std::to_string(items) + search.in + text).second &&
                        !findsTheSameItems(items, search, text)) {
                        std::fprintf(stderr, "SQLite finds other items than the program for \"%s\" in %s\n", text,
                                     search.in);
                        std::exit(1);
                    }
                    LikeQuery query(sqliteTable(items).handle(), search.peerCondition, text);
                    size_t found = 0;
                    for (auto _ : state)
                        found = query.run().size();
                    state.counters["hits"] = double(found);
                });
        }
    }
}

} // namespace

int bench::runReadProbe(const QString &file)
{
    const QByteArray path = QFile::encodeName(file);
    const qsizetype size = QFile(file).size();
    QElapsedTimer timer;
    timer.start();
    if (readIntoNewMemory(path.constData(), size, true) < 0)
        return 1;
    std::printf("%lld\n", static_cast<long long>(timer.nsecsElapsed()));
    return 0;
}

void addSearchBenchmarks(int items)
{
    addFloors(items);
    addOperations(items);
    addPeer(items);
}
