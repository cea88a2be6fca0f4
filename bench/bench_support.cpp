#include "bench/bench_support.h"

#include "bench/generated_database.h"
#include "storage/text_file.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <vector>

namespace bench {

const QByteArray &database(int items)
{
    static std::map<int, QByteArray> made;
    auto found = made.find(items);
    if (found == made.end())
        found = made.emplace(items, bench::generatedDatabase(items)).first;
    return found->second;
}

QString scratchFile(const QString &name)
{
    static QTemporaryDir dir;
    return dir.filePath(name);
}

QString databaseFile(int items)
{
    const QString path = scratchFile(QStringLiteral("database%1.txt").arg(items));
    if (!QFile::exists(path))
        storage::saveAtomically(path, database(items));
    return path;
}

void add(const std::string &name, const std::function<void(benchmark::State &)> &body)
{
    benchmark::RegisterBenchmark(name.c_str(), body)->Unit(benchmark::kMicrosecond);
}

} // namespace bench

int main(int argc, char **argv)
{
    // The windows are measured on the offscreen platform unless another is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Medians of repetitions by default, set as flags rather than on each
    // benchmark so that names stay as they are ("op/list_all/10000_median");
    // the command line may override them.
    std::vector<char *> args{argv[0]};
    std::string defaults[] = {"--benchmark_repetitions=9", "--benchmark_report_aggregates_only=true",
                              "--benchmark_min_time=0.05"};
    for (std::string &flag : defaults)
        args.push_back(flag.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    for (const int items : bench::kSizes) {
        addSearchBenchmarks(items);
        addWindowBenchmarks(items);
    }
    addGameLogBenchmarks();
    addFieldsBenchmarks();
    addFindItemsBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
