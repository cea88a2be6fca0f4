// The memory a program holds with the database listed, at each size:
//   mem/listed/<items>    the heap in use with the database listed in the main
//                         window, above an empty database, in this process
//                         (counter kib_above_empty)
//   mem/resident/<items>  a program of its own (this program run again as a
//                         memory probe) started with its window on the database,
//                         above one started on an empty database: the resident
//                         size (rss_kib_above_empty) and its peak so far
//                         (peak_kib_above_empty) once the list is painted, and
//                         the same after a Show All (show_all_*); file_kib is
//                         the database file's size
// Each runs once: the figures come out the same every time.
#include "bench/bench_support.h"
#include "bench/started_program.h"
#include "storage/text_file.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

using namespace bench;

namespace {

using With = StartedProgram::With;

// The memory the program holds (the heap in use, large blocks included); the
// resident size would count memory freed but kept by the allocator.
long heapKib()
{
    const struct mallinfo2 heap = mallinfo2();
    return long((heap.uordblks + heap.hblkhd) / 1024);
}

// VmRSS and VmHWM of this process, in KiB.
QString residentKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QString();
    long rss = 0, peak = 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            rss = line.mid(6).trimmed().split(' ').first().toLong();
        else if (line.startsWith("VmHWM:"))
            peak = line.mid(6).trimmed().split(' ').first().toLong();
    }
    return QStringLiteral("%1 %2").arg(rss).arg(peak);
}

// A program folder whose database file is `database` (a hard link to it
// where the file system gives one: the probe only reads it), or empty.
class ProbeFolder
{
public:
    explicit ProbeFolder(const QString &database)
    {
        storage::saveAtomically(dir_.filePath("pref.txt"), " 0 \r\n 65280 \r\n 65280 \r\n");
        storage::saveAtomically(dir_.filePath("datalist.txt"), "1\r\ndatabase\r\ndatabase.txt\r\n");
        const QString file = dir_.filePath("database.txt");
        if (database.isEmpty())
            storage::saveAtomically(file, QByteArray());
        else if (::link(QFile::encodeName(database).constData(), QFile::encodeName(file).constData()) != 0)
            QFile::copy(database, file);
    }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// Runs the probe on a folder: its four figures (KiB), or nothing with the reason in *why.
std::optional<QVector<long>> probe(const QString &folder, QString *why)
{
    const std::optional<QByteArray> printed = runProbe(kMemoryProbeVariable, folder, why);
    if (!printed)
        return std::nullopt;
    QVector<long> figures;
    for (const QByteArray &figure : printed->simplified().split(' '))
        figures.append(figure.toLong());
    if (figures.size() != 4) {
        *why = QStringLiteral("the memory probe said nothing");
        return std::nullopt;
    }
    return figures;
}

void addMemory(int items)
{
    add("mem/listed", items, Rounds::Once, [items](benchmark::State &state) {
        (void)database(items); // generated before the measurement
        long above = 0;
        for (auto _ : state) {
            StartedProgram started(QByteArray(), With::Window);
            started.paintList();
            const long empty = heapKib();
            if (const QString failure = started.restore(database(items)); !failure.isEmpty()) {
                state.SkipWithError(qPrintable(failure));
                break;
            }
            started.paintList();
            above = heapKib() - empty;
        }
        state.counters["kib_above_empty"] = double(above);
    });
    add("mem/resident", items, Rounds::Once, [items](benchmark::State &state) {
        const QString file = databaseFile(items);
        for (auto _ : state) {
            QString why;
            const ProbeFolder empty{QString()}, filled{file};
            const std::optional<QVector<long>> base = probe(empty.path(), &why);
            const std::optional<QVector<long>> listed = base ? probe(filled.path(), &why) : std::nullopt;
            if (!listed) {
                state.SkipWithError(qPrintable(why));
                break;
            }
            const char *names[] = {"rss_kib_above_empty", "peak_kib_above_empty", "show_all_rss_kib_above_empty",
                                   "show_all_peak_kib_above_empty"};
            for (int i = 0; i < 4; ++i)
                state.counters[names[i]] = double((*listed)[i] - (*base)[i]);
        }
        state.counters["file_kib"] = double(QFile(file).size() / 1024);
    });
}

} // namespace

int bench::runMemoryProbe(const QString &folder)
{
    StartedProgram started(folder, StartedProgram::With::Window);
    started.paintList();
    QApplication::processEvents();
    const QString listed = residentKib();
    started.control<QPushButton>("Command3")->click();
    started.paintList();
    QApplication::processEvents();
    const QString shownAll = residentKib();
    if (const QString failure = started.takeMessage(); !failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 2;
    }
    std::printf("%s %s\n", qPrintable(listed), qPrintable(shownAll));
    return 0;
}

void addMemoryBenchmarks(int items)
{
    addMemory(items);
}
