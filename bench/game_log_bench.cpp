// Harvesting a game log, as Import Game Log does before it lists what it found:
//   op/harvest/log/<MB>  reading a generated log of that many MB from its file a
//                        piece at a time, finding every identify block and its item,
//                        and comparing the items with a database of 10000 items
#include "bench/bench_support.h"
#include "bench/generated_database.h"
#include "app/text_file.h"
#include "editing/game_log.h"
#include "program/program.h"

#include <QDir>

using namespace benchsupport;

void addGameLogBenchmarks()
{
    constexpr int kMegabytes = 20;
    add("op/harvest/log/" + std::to_string(kMegabytes), [](benchmark::State &state) {
        const QString log = scratchFile(QStringLiteral("game.log"));
        const QByteArray bytes = benchdata::generatedGameLog(qsizetype(kMegabytes) << 20);
        textfile::saveAtomically(log, bytes);
        const QString folder = scratchFile(QStringLiteral("harvest"));
        QDir().mkpath(folder);
        textfile::saveAtomically(folder + QStringLiteral("/database.txt"), database(10000));
        const Program program(folder);
        qsizetype blocks = 0;
        qsizetype found = 0;
        for (auto _ : state) {
            gamelog::Harvester harvester(gamelog::kDefaultBlockStart);
            gamelog::readLog(log, harvester, [](qint64, qint64) { return true; });
            QVector<Program::Standing> standings;
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
