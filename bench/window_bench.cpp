// What the user waits for, from the click to the painted list, on the offscreen
// platform; the one-record changes with their versions; start-up; memory.
//   op/list_all/painted/<items>           Show All clicked, the list painted
//   op/search/<in>-<hits>-painted/<items> Search clicked, the hits painted
//   op/select/painted/<items>             an entry selected, its description painted
//   op/update|delete|add/one/<items>      one-record changes through the program object
//                                         (wall time holds two disk syncs: version and file)
//   op/keep_version/linked|copied/<items> keeping a version of the whole database
//   op/import|merge/overlapping[-painted]/<items>  importing or merging half new items
//                                         (and painting the list)
//   op/start_up/filled/<items>            program and window made, started, shown and painted
//   mem/listed/<items>                    memory held with the database listed, above an
//                                         empty database (counter kib_above_empty)
#include "base/dialogs.h"
#include "bench/bench_support.h"
#include "bench/generated_database.h"
#include "download/download_files.h"
#include "history/version_store.h"
#include "main_window/main_window.h"
#include "program/program.h"
#include "storage/text_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <memory>

using namespace bench;

namespace {

class SilentDialogs : public base::Dialogs
{
public:
    void message(const QString &, Icon, const QString &) override {}
    bool askYesNo(const QString &, const QString &, Icon, Button) override { return false; }
    QString inputBox(const QString &, const QString &, const QString &) override { return QString(); }
    QString chooseFileToOpen(const QString &, const QString &, const QString &) override { return QString(); }
    QString chooseFileToSave(const QString &, const QString &, const QString &) override { return QString(); }
    void beep() override {}
};

// A program folder holding the generated database, its program object and main window.
struct StartedWindow
{
    QTemporaryDir folder;
    SilentDialogs dialogs;
    std::unique_ptr<program::Program> program;
    std::unique_ptr<main_window::MainWindow> window;

    explicit StartedWindow(const QByteArray &database)
    {
        storage::saveAtomically(folder.filePath("pref.txt"), " 0 \r\n 65280 \r\n 65280 \r\n");
        storage::saveAtomically(folder.filePath("database.txt"), database);
        storage::saveAtomically(folder.filePath("datalist.txt"), "1\r\ndatabase\r\ndatabase.txt\r\n");
        program = std::make_unique<program::Program>(folder.path());
        window = std::make_unique<main_window::MainWindow>(*program, dialogs);
        window->startUp();
        window->show();
        QApplication::processEvents();
    }
    template <class T>
    T *control(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    // Paints the list now, as the screen would.
    void paintList() const { control<QListView>("List1")->viewport()->repaint(); }
    void restore(const QByteArray &database)
    {
        storage::saveAtomically(folder.filePath("database.txt"), database);
        (void)program->listAll();
    }
};

// The CPU time an operation spends in the program (user) and in the kernel
// (system: mostly writing and syncing the files), as per-iteration counters.
class CpuSplit
{
public:
    template <class Operation>
    void measure(Operation operation)
    {
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        operation();
        getrusage(RUSAGE_SELF, &after);
        user_ += seconds(after.ru_utime) - seconds(before.ru_utime);
        system_ += seconds(after.ru_stime) - seconds(before.ru_stime);
    }
    void report(benchmark::State &state) const
    {
        state.counters["user_ms"] = benchmark::Counter(user_ * 1000, benchmark::Counter::kAvgIterations);
        state.counters["sys_ms"] = benchmark::Counter(system_ * 1000, benchmark::Counter::kAvgIterations);
    }

private:
    static double seconds(const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }
    double user_ = 0;
    double system_ = 0;
};

// The memory the program holds (the heap in use, large blocks included); the
// resident size would count memory freed but kept by the allocator.
long heapKib()
{
    const struct mallinfo2 heap = mallinfo2();
    return long((heap.uordblks + heap.hblkhd) / 1024);
}

void addPainted(const std::string &n, int items)
{
    add("op/list_all/painted/" + n, [items](benchmark::State &state) {
        StartedWindow started(database(items));
        auto *showAll = started.control<QPushButton>("Command3");
        for (auto _ : state) {
            showAll->click();
            started.paintList();
        }
    });
    const struct
    {
        const char *in;
        bool names, descriptions;
        const char *few, *many;
    } searches[] = {{"names", true, false, bench::kFewInNames, bench::kManyInNames},
                    {"descriptions", false, true, bench::kFewInDescriptions, bench::kManyInDescriptions},
                    {"both", true, true, bench::kFewInDescriptions, bench::kManyInNames}};
    for (const auto &search : searches) {
        for (const bool many : {false, true}) {
            add("op/search/" + std::string(search.in) + (many ? "-many" : "-few") + "-painted/" + n,
                [items, search, many](benchmark::State &state) {
                    StartedWindow started(database(items));
                    started.control<QLineEdit>("Text2")->setText(QString::fromLatin1(many ? search.many : search.few));
                    started.control<QCheckBox>("chkItems")->setChecked(search.names);
                    started.control<QCheckBox>("chkDesc")->setChecked(search.descriptions);
                    auto *searchButton = started.control<QPushButton>("Command2");
                    for (auto _ : state) {
                        searchButton->click();
                        started.paintList();
                    }
                });
        }
    }
    add("op/select/painted/" + n, [items](benchmark::State &state) {
        StartedWindow started(database(items));
        auto *list = started.control<QListView>("List1");
        auto *view = started.control<QPlainTextEdit>("Text1");
        int row = 0;
        for (auto _ : state) {
            list->setCurrentIndex(list->model()->index(row, 0));
            view->viewport()->repaint();
            row = (row + 7) % 50;
        }
    });
}

// Times one change to the database; each round starts from the same file.
// `prepare` runs untimed and returns the change to time.
template <typename Prepare>
void timeChange(benchmark::State &state, int items, Prepare prepare)
{
    StartedWindow started(database(items));
    CpuSplit cpu;
    for (auto _ : state) {
        cpu.measure(prepare(*started.program));
        state.PauseTiming();
        started.restore(database(items));
        state.ResumeTiming();
    }
    cpu.report(state);
}

void addChanges(const std::string &n, int items)
{
    // One record in the middle of the database.
    add("op/update/one/" + n, [items](benchmark::State &state) {
        timeChange(state, items, [items](program::Program &program) {
            return [&program, listed = program.listedItem(items / 2)] {
                (void)program.replaceItem(*listed, QStringLiteral("renamed item"), std::nullopt);
            };
        });
    });
    add("op/delete/one/" + n, [items](benchmark::State &state) {
        timeChange(state, items, [items](program::Program &program) {
            return [&program, items] { (void)program.deleteListedItem(items / 2); };
        });
    });
    add("op/add/one/" + n, [items](benchmark::State &state) {
        timeChange(state, items, [](program::Program &program) {
            return [&program] { (void)program.addItem(QStringLiteral("a new item"), QStringLiteral("Weight 1")); };
        });
    });
    // What a change spends on its version: a hard link to the replaced file.
    add("op/keep_version/linked/" + n, [items](benchmark::State &state) {
        QTemporaryDir folder;
        storage::saveAtomically(folder.filePath("database.txt"), database(items));
        const history::VersionStore store{storage::DataFolder(folder.path())};
        CpuSplit cpu;
        // Each version is taken back, as a change would take the file's name
        // away: the file keeps a single link, and so a hard link can be made.
        for (auto _ : state) {
            history::Version kept;
            cpu.measure([&] { kept = store.keepFile(QStringLiteral("database.txt"), history::Kind::Change, "Delete of x"); });
            store.discard(kept);
        }
        cpu.report(state);
    });
    // Where the file system makes no hard link: a copy.
    add("op/keep_version/copied/" + n, [items](benchmark::State &state) {
        QTemporaryDir folder;
        const history::VersionStore store{storage::DataFolder(folder.path())};
        CpuSplit cpu;
        for (auto _ : state) {
            history::Version kept;
            cpu.measure([&] {
                kept = store.keep(QStringLiteral("database.txt"), database(items), history::Kind::Change, "Delete of x");
            });
            store.discard(kept);
        }
        cpu.report(state);
    });
}

// The database holds its first half, the incoming items every other item of
// the whole: about half of them are new to it. The core part is the program
// object's work, files written; painted adds the list painted.
void addImportAndMerge(const std::string &n, int items)
{
    const auto halves = [](int items, QByteArray *kept, QByteArray *importFile, QByteArray *download) {
        const QByteArray &whole = database(items);
        const storage::RecordIndex index = storage::indexRecords(whole);
        *kept = whole.left(index.records[index.records.size() / 2].name.begin);
        for (int r = 0; r < index.records.size(); r += 2) {
            const storage::Record &record = index.records[r];
            const QByteArray name = whole.mid(record.name.begin, record.name.length);
            const QByteArray description = whole.mid(record.description.begin, record.description.length);
            *importFile += name + "\r\n" + QByteArray(description).chopped(1).replace('|', "\r\n") + "\r\n\r\n";
            *download += name + "\r\n" + description + "\r\n";
        }
    };
    for (const bool painted : {false, true}) {
        const std::string variant = painted ? "overlapping-painted/" : "overlapping/";
        add("op/import/" + variant + n, [items, painted, halves](benchmark::State &state) {
            QByteArray kept, importFile, download;
            halves(items, &kept, &importFile, &download);
            StartedWindow started(kept);
            const QString source = started.folder.filePath("insert.txt");
            storage::saveAtomically(source, importFile);
            CpuSplit cpu;
            for (auto _ : state) {
                cpu.measure([&] {
                    (void)started.program->importItems(source);
                    if (painted)
                        started.paintList();
                });
                state.PauseTiming();
                started.restore(kept);
                state.ResumeTiming();
            }
            cpu.report(state);
        });
        add("op/merge/" + variant + n, [items, painted, halves](benchmark::State &state) {
            QByteArray kept, importFile, download;
            halves(items, &kept, &importFile, &download);
            StartedWindow started(kept);
            storage::saveAtomically(download::databaseFilePath(), download);
            const catalogue::Catalogue catalogued = started.program->readCatalogue().catalogue;
            CpuSplit cpu;
            for (auto _ : state) {
                cpu.measure([&] {
                    (void)started.program->mergeDownload(catalogued, 0);
                    if (painted)
                        started.paintList();
                });
                state.PauseTiming();
                started.restore(kept);
                state.ResumeTiming();
            }
            cpu.report(state);
        });
    }
}

void addStartUpAndMemory(const std::string &n, int items)
{
    add("op/start_up/filled/" + n, [items](benchmark::State &state) {
        StartedWindow prepared(database(items)); // its folder's files are written outside the timing
        // Ended as a program that quits, so each start below gets the folder.
        prepared.window.reset();
        prepared.program.reset();
        for (auto _ : state) {
            program::Program program(prepared.folder.path());
            main_window::MainWindow window(program, prepared.dialogs);
            window.startUp();
            window.show();
            window.findChild<QListView *>(QStringLiteral("List1"))->viewport()->repaint();
            state.PauseTiming(); // the window goes outside the timing
            state.ResumeTiming();
        }
    });
    add("mem/listed/" + n, [items](benchmark::State &state) {
        long above = 0;
        (void)database(items); // generated before the measurement
        for (auto _ : state) {
            StartedWindow started{QByteArray()};
            started.paintList();
            const long empty = heapKib();
            started.restore(database(items));
            started.paintList();
            above = heapKib() - empty;
        }
        state.counters["kib_above_empty"] = double(above);
    });
}

} // namespace

void addWindowBenchmarks(int items)
{
    const std::string n = std::to_string(items);
    QStandardPaths::setTestModeEnabled(true);
    addPainted(n, items);
    addChanges(n, items);
    addImportAndMerge(n, items);
    addStartUpAndMemory(n, items);
}
