// Harvesting a game log, as Import Game Log does before it lists what it found:
//   op/harvest/log/<MB>  reading a generated log of that many MB from its file a
//                        piece at a time, finding every identify block and its item,
//                        and comparing the items with a database of 10000 items
//   op/harvest/hostile/<log>  a log made to hold the harvest, read to its end:
//                        nul-1GB, one line of 1 GB of NUL bytes (a sparse file);
//                        tabs-100MB, one line of 100 MB of tabs (fed from memory);
//                        counter kept_kib: the most the harvester held at once
#include "bench/bench_support.h"
#include "bench/generated_database.h"
#include "editing/game_log.h"
#include "program/program.h"
#include "storage/text_file.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

using namespace bench;

namespace {

void reportKept(benchmark::State &state, const editing::Harvester &harvester)
{
    state.counters["kept_kib"] = double(harvester.mostKept()) / 1024;
    state.counters["cut_lines"] = double(harvester.cutLines());
}

void addHostileLogBenchmarks()
{
    add("op/harvest/hostile/nul-1GB", [](benchmark::State &state) {
        QFile sparse(scratchFile(QStringLiteral("nul.log")));
        if (!sparse.open(QIODevice::WriteOnly) || ::ftruncate(sparse.handle(), qint64(1) << 30) != 0)
            state.SkipWithError("the sparse file could not be made");
        sparse.close();
        for (auto _ : state) {
            editing::Harvester harvester(editing::kDefaultBlockStart);
            editing::readLog(sparse.fileName(), harvester, [](qint64, qint64) { return true; });
            reportKept(state, harvester);
        }
        sparse.remove();
    });
    add("op/harvest/hostile/tabs-100MB", [](benchmark::State &state) {
        const QByteArray tabs(editing::kReadSize, '\t');
        for (auto _ : state) {
            editing::Harvester harvester(editing::kDefaultBlockStart);
            for (int i = 0; i < 100; ++i)
                harvester.feed(tabs);
            harvester.finish();
            reportKept(state, harvester);
        }
        state.SetBytesProcessed(state.iterations() * 100 * tabs.size());
    });
}

} // namespace

void addGameLogBenchmarks()
{
    addHostileLogBenchmarks();
    constexpr int kMegabytes = 20;
    add("op/harvest/log/" + std::to_string(kMegabytes), [](benchmark::State &state) {
        const QString log = scratchFile(QStringLiteral("game.log"));
        const QByteArray bytes = bench::generatedGameLog(qsizetype(kMegabytes) << 20);
        storage::saveAtomically(log, bytes);
        const QString folder = scratchFile(QStringLiteral("harvest"));
        QDir().mkpath(folder);
        storage::saveAtomically(folder + QStringLiteral("/database.txt"), database(10000));
        const program::Program program(folder);
        qsizetype blocks = 0;
        qsizetype found = 0;
        for (auto _ : state) {
            editing::Harvester harvester(editing::kDefaultBlockStart);
            editing::readLog(log, harvester, [](qint64, qint64) { return true; });
            QVector<program::Program::Standing> standings;
            if (!program.compareWithCurrentDatabase(harvester.found(), &standings).ok())
                state.SkipWithError("the database could not be read");
            blocks = harvester.blocks();
            found = harvester.found().size();
        }
        state.SetBytesProcessed(state.iterations() * bytes.size());
        state.counters["blocks"] = double(blocks);
        state.counters["found"] = double(found);
    });
}
