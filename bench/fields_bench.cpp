// Fields of items and the queries over them, on 10 databases of 10000 items
// of identify output (bench/identify_databases.h):
//   op/fields/read/100000                 indexing the bytes of every database and reading their fields
//   mem/fields/100000                     the memory the fields of all items take (heap above none)
//   op/query/three_terms/100000           parsing and evaluating a query of a word, a number
//                                         comparison and a flag over all databases
//   peer/sqlite_fields/three_terms/100000 the same as SQL over an in-memory table holding the same
//                                         fields in indexed columns, with LIKE for the word
//   op/score/best_per_slot/100000         scoring all items and grouping the best of each slot
#include "bench/bench_support.h"
#include "bench/identify_databases.h"
#include "query/query.h"
#include "query/ranking.h"
#include "query/score.h"
#include "storage/windows1252.h"

#include <sqlite3.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace bench;

namespace {

constexpr int kDatabases = 10;
constexpr int kItemsEach = 10000;
constexpr const char *kScore = "2*hitroll + 2*damroll + hp/10 - weight/5";

// The generated databases with their indexes and field stores, made once.
class Catalogue
{
public:
    Catalogue()
        : rules(fields::parseRules(fields::decodeRulesFile(fields::defaultRulesFile())).rules),
          bytes(bench::identifyDatabases(kDatabases, kItemsEach))
    {
        for (const QByteArray &database : bytes)
            indexes.append(storage::indexRecords(database));
        for (int d = 0; d < kDatabases; ++d)
            stores.append(*fields::buildStore(rules, bytes[d], indexes[d]));
        for (int d = 0; d < kDatabases; ++d)
            scope.append({QStringLiteral("db%1").arg(d), &bytes[d], &indexes[d], &stores[d]});
        registry = query::registryOf(rules, scope);
    }

    fields::Rules rules;
    QVector<QByteArray> bytes;
    QVector<storage::RecordIndex> indexes;
    QVector<fields::FieldStore> stores;
    query::Scope scope;
    fields::Registry registry;
};

const Catalogue &catalogue()
{
    static const Catalogue made;
    return made;
}

long heapBytes()
{
    const struct mallinfo2 heap = mallinfo2();
    return long(heap.uordblks + heap.hblkhd);
}

QVector<query::Hit> threeTermHits()
{
    const query::QueryParse parsed =
        query::parseQuery(QString::fromLatin1(bench::kThreeTermQuery), catalogue().registry);
    return query::evaluate(*parsed.query, catalogue().scope);
}

// The fields of every item in an in-memory SQLite table, the flags in a table of their own.
class SqliteFields
{
public:
    SqliteFields()
    {
        sqlite3_open(":memory:", &db_);
        exec("CREATE TABLE items(name TEXT, description TEXT, level REAL, hitroll REAL, damroll REAL, weight REAL);"
             "CREATE TABLE flags(item INTEGER, flag TEXT); BEGIN");
        sqlite3_stmt *item = prepare("INSERT INTO items VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
        sqlite3_stmt *flag = prepare("INSERT INTO flags VALUES(?1, ?2)");
        sqlite3_int64 row = 0;
        const Catalogue &source = catalogue();
        for (int d = 0; d < kDatabases; ++d) {
            for (int r = 0; r < source.indexes[d].records.size(); ++r) {
                const query::Hit hit{d, r};
                bindText(item, 1, query::itemName(source.scope, hit));
                bindText(item, 2, query::itemDescription(source.scope, hit));
                int column = 3;
                for (const char *field : {"level", "hitroll", "damroll", "weight"}) {
                    const std::optional<double> value = source.stores[d].number(QString::fromLatin1(field), r);
                    value ? sqlite3_bind_double(item, column, *value) : sqlite3_bind_null(item, column);
                    ++column;
                }
                step(item);
                ++row;
                for (const QString &word : source.stores[d].words(QStringLiteral("flags"), r)) {
                    sqlite3_bind_int64(flag, 1, row);
                    bindText(flag, 2, word);
                    step(flag);
                }
            }
        }
        sqlite3_finalize(item);
        sqlite3_finalize(flag);
        exec("COMMIT; CREATE INDEX items_level ON items(level); CREATE INDEX items_hitroll ON items(hitroll);"
             "CREATE INDEX items_damroll ON items(damroll); CREATE INDEX items_weight ON items(weight);"
             "CREATE INDEX flags_flag ON flags(flag, item); ANALYZE");
    }
    ~SqliteFields() { sqlite3_close(db_); }
    SqliteFields(const SqliteFields &) = delete;
    SqliteFields &operator=(const SqliteFields &) = delete;

    sqlite3_stmt *prepare(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db_));
            std::exit(1);
        }
        return statement;
    }

private:
    void exec(const char *sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    static void step(sqlite3_stmt *statement)
    {
        sqlite3_step(statement);
        sqlite3_reset(statement);
    }
    static void bindText(sqlite3_stmt *statement, int column, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(statement, column, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }

    sqlite3 *db_ = nullptr;
};

// The three-term query in SQL: the rows (from 1, in database then file order) it finds.
std::vector<sqlite3_int64> sqliteThreeTerms(sqlite3_stmt *statement)
{
    std::vector<sqlite3_int64> rows;
    while (sqlite3_step(statement) == SQLITE_ROW)
        rows.push_back(sqlite3_column_int64(statement, 0));
    sqlite3_reset(statement);
    return rows;
}

constexpr const char *kThreeTermSql =
    "SELECT rowid FROM items WHERE (name LIKE '%ring%' OR description LIKE '%ring%') AND level <= 40"
    " AND rowid IN (SELECT item FROM flags WHERE flag = 'magic') ORDER BY rowid";

void addRead()
{
    add("op/fields/read/100000", [](benchmark::State &state) {
        const Catalogue &source = catalogue();
        qsizetype fieldsFound = 0;
        for (auto _ : state) {
            fieldsFound = 0;
            for (const QByteArray &bytes : source.bytes) {
                const storage::RecordIndex index = storage::indexRecords(bytes);
                const std::optional<fields::FieldStore> store = fields::buildStore(source.rules, bytes, index);
                for (const fields::Column &column : store->columns())
                    fieldsFound += qsizetype(column.records().size());
            }
        }
        qsizetype size = 0;
        for (const QByteArray &bytes : source.bytes)
            size += bytes.size();
        state.SetBytesProcessed(state.iterations() * size);
        state.counters["fields"] = double(fieldsFound);
    });
    add("mem/fields/100000", [](benchmark::State &state) {
        const Catalogue &source = catalogue();
        long above = 0;
        for (auto _ : state) {
            const long before = heapBytes();
            QVector<fields::FieldStore> stores;
            for (int d = 0; d < kDatabases; ++d)
                stores.append(*fields::buildStore(source.rules, source.bytes[d], source.indexes[d]));
            above = heapBytes() - before;
        }
        state.counters["kib_above_none"] = double(above / 1024);
    });
}

void addQueries()
{
    add("op/query/three_terms/100000", [](benchmark::State &state) {
        qsizetype found = 0;
        for (auto _ : state)
            found = threeTermHits().size();
        state.counters["hits"] = double(found);
    });
    add("peer/sqlite_fields/three_terms/100000", [](benchmark::State &state) {
        static SqliteFields sqlite;
        sqlite3_stmt *statement = sqlite.prepare(kThreeTermSql);
        // The comparison is fair only when both find the same items.
        const std::vector<sqlite3_int64> rows = sqliteThreeTerms(statement);
        const QVector<query::Hit> hits = threeTermHits();
        const bool same = std::equal(rows.begin(), rows.end(), hits.begin(), hits.end(),
                                     [](sqlite3_int64 row, const query::Hit &hit) {
                                         return row == sqlite3_int64(hit.database) * kItemsEach + hit.record + 1;
                                     });
        if (!same) {
            std::fprintf(stderr, "SQLite finds %zu items, the program %lld\n", rows.size(), qlonglong(hits.size()));
            std::exit(1);
        }
        size_t found = 0;
        for (auto _ : state)
            found = sqliteThreeTerms(statement).size();
        sqlite3_finalize(statement);
        state.counters["hits"] = double(found);
    });
    add("op/score/best_per_slot/100000", [](benchmark::State &state) {
        const Catalogue &source = catalogue();
        const QVector<query::Hit> hits = query::evaluate(query::Query(), source.scope);
        const query::Score score = *query::parseScore(QString::fromLatin1(kScore), source.registry).score;
        qsizetype groups = 0;
        for (auto _ : state) {
            const std::vector<double> scores = query::scoresOf(score, source.scope, hits);
            groups = query::bestPerSlot(source.scope, hits, scores).size();
        }
        state.counters["hits"] = double(hits.size());
        state.counters["groups"] = double(groups);
    });
}

} // namespace

void addFieldsBenchmarks()
{
    addRead();
    addQueries();
}
