#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <benchmark/benchmark.h>

#include <functional>
#include <optional>
#include <string>

// What the benchmarks of gearledger-bench share: the generated databases, in
// memory and as files in a temporary folder, and how each benchmark is measured.
namespace bench {

// The item counts the sized benchmarks run at: 1000, 10000, 100000 and
// 1000000, or those named in GEARLEDGER_BENCH_SIZES ("1000,10000"; "1k,10k",
// "100k" and "1M" are read too). A benchmark's name ends with its count
// ("op/list_all/10000"), so --benchmark_filter can choose among them as well;
// nothing of a size is generated until one of its benchmarks runs.
QVector<int> sizes();

// The generated database of that many items, made once per run.
const QByteArray &database(int items);
// The file of database(items), written once per run.
QString databaseFile(int items);
// A path in the benchmark's temporary folder, which goes when the program ends.
QString scratchFile(const QString &name);

// Runs `end` when the benchmarks have run, before the application object
// goes: the windows and program objects that benchmarks share end there.
void atEnd(std::function<void()> end);
void endShared();

// What one round of a benchmark costs, for how many rounds it gets where a
// round is long: a Reading round reads or searches the database, a Writing
// round writes and syncs files of its size; a measure that comes out the same
// every time (memory) runs Once.
enum class Rounds { Reading, Writing, Once };

// Registers a benchmark (main makes every benchmark report the median of repetitions).
void add(const std::string &name, const std::function<void(benchmark::State &)> &body);
// Registers a benchmark of a database of `items` items, named "<name>/<items>",
// with fewer repetitions at the large sizes; the benchmark, for more settings.
benchmark::internal::Benchmark *add(const std::string &name, int items, Rounds rounds,
                                    const std::function<void(benchmark::State &)> &body);

// Every command of the benchmark program: the benchmarks, or the memory probe
// (memory_bench.cpp) when the program runs itself to measure a program object.
int runMemoryProbe(const QString &folder);
inline const char *const kMemoryProbeVariable = "GEARLEDGER_BENCH_MEMORY_PROBE";
// The start-up probe (window_bench.cpp): starts a program on the folder and
// prints the nanoseconds to its painted list.
int runStartUpProbe(const QString &folder);
inline const char *const kStartUpProbeVariable = "GEARLEDGER_BENCH_START_UP_PROBE";
// The read probe (search_bench.cpp): reads the file into new memory as the
// program does and finds its line ends, and prints the nanoseconds it took.
int runReadProbe(const QString &file);
inline const char *const kReadProbeVariable = "GEARLEDGER_BENCH_READ_PROBE";
// The repetitions of a benchmark that starts a process each round, at every
// size: the memory a new process gets makes its rounds vary more than others.
inline constexpr int kProcessRepetitions = 9;
// Runs this program again as the probe that `variable` names, on the folder:
// what it printed, or nothing with the reason in *why.
std::optional<QByteArray> runProbe(const char *variable, const QString &folder, QString *why);
// Times each round of the benchmark as the nanoseconds a probe printed (a
// benchmark timed by hand): this program run again as the probe that
// `variable` names, on `argument`.
void timeProbes(benchmark::State &state, const char *variable, const QString &argument);

} // namespace bench

// The benchmarks of each file, registered by main.
void addSearchBenchmarks(int items);
void addWindowBenchmarks(int items);
void addMemoryBenchmarks(int items);
void addGameLogBenchmarks();
void addFieldsBenchmarks();
void addFindItemsBenchmarks();
