#pragma once

#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

// What the benchmarks of gearledger-bench share: the generated databases, in
// memory and as files in a temporary folder, and how each benchmark is measured.
namespace bench {

// The item counts every benchmark runs at.
inline constexpr int kSizes[] = {1000, 10000};
// The most items a listing or a search returns.
inline constexpr int kListLimit = 10000;

const QByteArray &database(int items);
// The file of database(items).
QString databaseFile(int items);
// A path in the benchmark's temporary folder.
QString scratchFile(const QString &name);

// Registers a benchmark (main makes every benchmark report the median of repetitions).
void add(const std::string &name, const std::function<void(benchmark::State &)> &body);

} // namespace bench

// The benchmarks of each file, registered by main.
void addSearchBenchmarks(int items);
void addWindowBenchmarks(int items);
void addGameLogBenchmarks();
void addFieldsBenchmarks();
void addFindItemsBenchmarks();
