// Listing and searching, beside the floor of the hardware and a peer:
//   floor/read_bytes/<items>       reading the database file's bytes
//   floor/line_ends/<items>        finding every line end in them with memchr
//   op/list_all/<items>            reading the file and indexing its items
//   op/search/<in>/<hits>/<items>  reading, indexing and searching names, descriptions or both
//   peer/sqlite_like/<field>/<hits>/<items>  the same search as a prepared LIKE over an
//                                  in-memory SQLite table of the same items
// <hits> is a search text with few hits or one with many.
#include "bench/bench_support.h"
#include "bench/generated_database.h"
#include "search/item_search.h"
#include "storage/record_index.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <QFile>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

using namespace bench;

namespace {

void addFloors(const std::string &n, int items)
{
    add("floor/read_bytes/" + n, [items](benchmark::State &state) {
        const QByteArray path = QFile::encodeName(databaseFile(items));
        std::vector<char> buffer(size_t(database(items).size()) + 1);
        for (auto _ : state) {
            const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
            ::close(fd);
            benchmark::ClobberMemory();
        }
    });
    add("floor/line_ends/" + n, [items](benchmark::State &state) {
        const QByteArray &bytes = database(items);
        for (auto _ : state) {
            const char *p = bytes.constData();
            const char *end = p + bytes.size();
            qsizetype lines = 0;
            while (const void *cr = std::memchr(p, '\r', size_t(end - p))) {
                p = static_cast<const char *>(cr) + 1;
                ++lines;
            }
            benchmark::DoNotOptimize(lines);
        }
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

QVector<int> programHits(const QByteArray &bytes, const QString &text, search::SearchIn where)
{
    bool more = false;
    return search::findRecords(bytes, storage::indexRecords(bytes), text, where, kListLimit, &more);
}

void addOperations(const std::string &n, int items)
{
    add("op/list_all/" + n, [items](benchmark::State &state) {
        const QString path = databaseFile(items);
        for (auto _ : state) {
            const QByteArray bytes = storage::readFile(path);
            benchmark::DoNotOptimize(storage::indexRecords(bytes));
        }
    });
    for (const SearchCase &search : kSearches) {
        for (const std::string hits : {"few", "many"}) {
            const QString text = QString::fromLatin1(hits == "few" ? search.few : search.many);
            add("op/search/" + std::string(search.in) + "/" + hits + "/" + n,
                [items, text, where = search.where](benchmark::State &state) {
                    const QString path = databaseFile(items);
                    qsizetype found = 0;
                    for (auto _ : state)
                        found = programHits(storage::readFile(path), text, where).size();
                    state.counters["hits"] = double(found);
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

SqliteTable &sqliteTable(int items)
{
    static std::map<int, std::unique_ptr<SqliteTable>> tables;
    auto &table = tables[items];
    if (!table)
        table = std::make_unique<SqliteTable>(database(items));
    return *table;
}

// A prepared "SELECT rowid ... WHERE <condition> LIMIT 10001", ?1 bound to "%text%".
class LikeQuery
{
public:
    LikeQuery(sqlite3 *db, const char *condition, const std::string &text)
    {
        const std::string sql = std::string("SELECT rowid FROM items WHERE ") + condition + " LIMIT "
                                + std::to_string(kListLimit + 1);
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

void addPeer(const std::string &n, int items)
{
    for (const SearchCase &search : kSearches) {
        for (const std::string hits : {"few", "many"}) {
            const char *text = hits == "few" ? search.few : search.many;
            // The comparison is fair only when both find the same items.
            LikeQuery check(sqliteTable(items).handle(), search.peerCondition, text);
            const std::vector<sqlite3_int64> &rows = check.run();
            const QVector<int> expected = programHits(database(items), QString::fromLatin1(text), search.where);
            if (!std::equal(rows.begin(), rows.end(), expected.begin(), expected.end(),
                            [](sqlite3_int64 row, int record) { return row == record + 1; })) {
                std::fprintf(stderr, "SQLite finds other items than the program for \"%s\" in %s\n", text, search.in);
                std::exit(1);
            }
            add("peer/sqlite_like/" + std::string(search.peerField) + "/" + hits + "/" + n,
                [items, text, condition = search.peerCondition](benchmark::State &state) {
                    LikeQuery query(sqliteTable(items).handle(), condition, text);
                    size_t found = 0;
                    for (auto _ : state)
                        found = query.run().size();
                    state.counters["hits"] = double(found);
                });
        }
    }
}

} // namespace

void addSearchBenchmarks(int items)
{
    const std::string n = std::to_string(items);
    addFloors(n, items);
    addOperations(n, items);
    addPeer(n, items);
}
