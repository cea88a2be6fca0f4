#include "bench/bench_support.h"

#include "bench/generated_database.h"
#include "storage/text_file.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {
namespace {

constexpr int kAllSizes[] = {1000, 10000, 100000, 1000000};

// "10000", "10k" or "1M"; 0 for anything else.
int parsedSize(QString text)
{
    text = text.trimmed();
    int scale = 1;
    if (text.endsWith(QLatin1Char('k'), Qt::CaseInsensitive))
        scale = 1000;
    else if (text.endsWith(QLatin1Char('M')))
        scale = 1000000;
    if (scale != 1)
        text.chop(1);
    bool ok = false;
    const int count = text.toInt(&ok);
    return ok && count > 0 && count <= 10000000 / scale ? count * scale : 0;
}

std::vector<std::function<void()>> &ends()
{
    static std::vector<std::function<void()>> registered;
    return registered;
}

} // namespace

void atEnd(std::function<void()> end)
{
    ends().push_back(std::move(end));
}

void endShared()
{
    for (const auto &end : ends())
        end();
    ends().clear();
}

QVector<int> sizes()
{
    const QString chosen = qEnvironmentVariable("GEARLEDGER_BENCH_SIZES");
    if (chosen.trimmed().isEmpty())
        return QVector<int>(std::begin(kAllSizes), std::end(kAllSizes));
    QVector<int> counts;
    for (const QString &part : chosen.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int items = parsedSize(part);
        if (items == 0) {
            std::fprintf(stderr, "GEARLEDGER_BENCH_SIZES: \"%s\" is no item count\n", qPrintable(part));
            std::exit(1);
        }
        if (!counts.contains(items))
            counts.append(items);
    }
    return counts;
}

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

std::optional<QByteArray> runProbe(const char *variable, const QString &folder, QString *why)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(variable), folder);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(10 * 60 * 1000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        *why = QStringLiteral("the probe failed: ") + QString::fromLocal8Bit(child.readAllStandardError());
        return std::nullopt;
    }
    return child.readAllStandardOutput();
}

void timeProbes(benchmark::State &state, const char *variable, const QString &argument)
{
    for (auto _ : state) {
        QString why;
        const std::optional<QByteArray> printed = runProbe(variable, argument, &why);
        bool number = false;
        const qint64 nanoseconds = printed ? printed->trimmed().toLongLong(&number) : 0;
        if (!number) {
            state.SkipWithError(printed ? "the probe said nothing" : qPrintable(why));
            break;
        }
        state.SetIterationTime(double(nanoseconds) / 1e9);
    }
}

void add(const std::string &name, const std::function<void(benchmark::State &)> &body)
{
    benchmark::RegisterBenchmark(name.c_str(), body)->Unit(benchmark::kMicrosecond);
}

benchmark::internal::Benchmark *add(const std::string &name, int items, Rounds rounds,
                                    const std::function<void(benchmark::State &)> &body)
{
    auto *registered = benchmark::RegisterBenchmark((name + "/" + std::to_string(items)).c_str(), body);
    registered->Unit(items >= 100000 ? benchmark::kMillisecond : benchmark::kMicrosecond);
    if (rounds == Rounds::Once)
        return registered->Iterations(1)->Repetitions(1);
    // A round at a million items takes a tenth of a second to a few seconds:
    // fewer repetitions keep the whole run within minutes.
    if (items >= 1000000)
        registered->Repetitions(3);
    else if (items >= 100000 && rounds == Rounds::Writing)
        registered->Repetitions(5);
    return registered;
}

} // namespace bench

int main(int argc, char **argv)
{
    // The windows are measured on the offscreen platform unless another is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The download folder and the program's other standard places are those of tests.
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsSet(bench::kMemoryProbeVariable))
        return bench::runMemoryProbe(qEnvironmentVariable(bench::kMemoryProbeVariable));
    if (qEnvironmentVariableIsSet(bench::kReadProbeVariable))
        return bench::runReadProbe(qEnvironmentVariable(bench::kReadProbeVariable));
    if (qEnvironmentVariableIsSet(bench::kStartUpProbeVariable))
        return bench::runStartUpProbe(qEnvironmentVariable(bench::kStartUpProbeVariable));
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
    for (const int items : bench::sizes()) {
        addSearchBenchmarks(items);
        addWindowBenchmarks(items);
        addMemoryBenchmarks(items);
    }
    addGameLogBenchmarks();
    addFieldsBenchmarks();
    addFindItemsBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::endShared();
    return 0;
}
