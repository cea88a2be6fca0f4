// Importing a file of 5000 items into a database of 5000: reading both files,
// the duplicate test of every name, and the atomic rewrite.
#include "app/text_file.h"
#include "editing/item_import.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray databaseOf(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "stored item number " + QByteArray::number(i) + "\r\nWeight 3, Item type: WORN |Value 12 gold|\r\n";
    return bytes;
}

// Records of 5000 names; every other one is already in the database when overlap is set.
QByteArray importFileOf(int count, bool overlap)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const QByteArray name = overlap && i % 2 ? "stored item number " + QByteArray::number(i)
                                                 : "a new item number " + QByteArray::number(i);
        bytes += name + "\r\nWeight 1, Item type: HELD\r\nValue 3 silver\r\n\r\n";
    }
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    textfile::saveAtomically(path, bytes);
}

void BM_Import5000Into5000(benchmark::State &state)
{
    const bool overlap = state.range(0) != 0;
    QTemporaryDir dir;
    const QString db = dir.filePath("database.txt");
    const QString insert = dir.filePath("insert.txt");
    const QByteArray dbBytes = databaseOf(5000);
    writeFile(insert, importFileOf(5000, overlap));
    qsizetype added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(db, dbBytes);
        state.ResumeTiming();
        added = itemimport::importItems(db, textfile::LineReader(insert)).size();
    }
    state.counters["added"] = double(added);
}
BENCHMARK(BM_Import5000Into5000)->Arg(0)->Arg(1)->ArgNames({"overlap"})->Unit(benchmark::kMillisecond);

void BM_DuplicateTest10000Names(benchmark::State &state)
{
    itemimport::NameTable names;
    for (int i = 0; i < 9999; ++i)
        names.add(QStringLiteral("stored item number %1").arg(i));
    const QString probe = QStringLiteral("a name that is not there");
    for (auto _ : state)
        benchmark::DoNotOptimize(names.isNew(probe));
}
BENCHMARK(BM_DuplicateTest10000Names);

} // namespace

BENCHMARK_MAIN();
