// Merging a download of 5000 items into a database of 5000: reading both
// files, the absence test of every name and description, and the atomic
// rewrite. Half of the downloaded names are already in the database.
#include "app/text_file.h"
#include "catalogue/download_merge.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray itemsOf(const char *prefix, int count, int step)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i * step);
        bytes += QByteArray(prefix) + n + "\r\nWeight 3, Item type: WORN |Item is: MAGIC |Value " + n
                 + " gold, 8 silver|\r\n";
    }
    return bytes;
}

void BM_Merge5000Into5000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("database.txt");
    const QString download = dir.filePath("tmp94838.txt");
    const QByteArray dbBytes = itemsOf("item ", 5000, 1);
    // Every even number is in the database already (name and description).
    textfile::saveAtomically(download, itemsOf("item ", 5000, 2) + "\r\n");
    int taken = 0;
    for (auto _ : state) {
        state.PauseTiming();
        textfile::saveAtomically(db, dbBytes);
        state.ResumeTiming();
        taken = downloadmerge::mergeInto(db, downloadmerge::readDownloadedItems(download));
    }
    state.counters["taken"] = taken;
}
BENCHMARK(BM_Merge5000Into5000)->Unit(benchmark::kMillisecond);

void BM_TakeIn5000Into5000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("database.txt");
    const QString download = dir.filePath("tmp94838.txt");
    textfile::saveAtomically(db, itemsOf("item ", 5000, 1));
    textfile::saveAtomically(download, itemsOf("item ", 5000, 2));
    const QVector<Item> target = downloadmerge::readDownloadedItems(db);
    const QVector<Item> incoming = downloadmerge::readDownloadedItems(download);
    for (auto _ : state) {
        downloadmerge::WorkingList list(target);
        benchmark::DoNotOptimize(list.takeIn(incoming));
    }
}
BENCHMARK(BM_TakeIn5000Into5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
