// What the user waits for, with the main window on the offscreen platform, at
// each size: from the key or click to the painted list; the changes and their
// versions; start-up.
//   op/list_all/painted/<items>           Show All clicked, the list painted
//   op/search/<in>-<hits>-painted/<items> Return pressed in the search box, the hits painted
//                                         (waiting for a search in the background; held_ms: the
//                                         longest the window's thread was kept from its event loop)
//   op/select/painted/<items>             an entry selected, its description painted
//   op/update|delete|add/one/<items>      one-record changes through the program object
//                                         (wall time holds two disk syncs: version and file)
//   op/undo/one/<items>                   Undo of a delete (the delete untimed)
//   op/keep_version/linked|copied/<items> keeping a version of the whole database
//   op/versions/list/<items>              the versions of the database (3 kept) listed with
//                                         their items by a program object that never listed them
//   op/versions/list_again/<items>        the same listed again by that program object
//   op/import|merge/overlapping[-painted]/<items>  importing or merging half new items
//                                         (and painting the list)
//   op/start_up/filled/<items>            program and window made, started, shown and painted
//   op/start_up/every_row_placed/<items>  the same, then events run until the list has placed
//                                         its last row (it places its rows in slices)
//   op/start_up/own_process/<items>       the same in a process of its own (this program run
//                                         again as a start-up probe), as a player's start is:
//                                         free of the memory the other benchmarks left behind
// The changes report their CPU time per round (user_ms: the program's own,
// sys_ms: the kernel's, mostly writing and syncing the files).
#include "bench/bench_support.h"
#include "bench/generated_database.h"
#include "bench/started_program.h"
#include "download/download_files.h"
#include "history/version_store.h"
#include "storage/text_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <optional>

using namespace bench;

namespace {

using With = StartedProgram::With;

// The CPU time an operation spends in the program (user) and in the kernel
// (system: mostly writing and syncing the files), as per-iteration counters.
class CpuSplit
{
public:
    template <class Operation>
    auto measure(Operation operation)
    {
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        struct Account
        {
            CpuSplit &split;
            rusage before;
            ~Account()
            {
                rusage after{};
                getrusage(RUSAGE_SELF, &after);
                split.user_ += seconds(after.ru_utime) - seconds(before.ru_utime);
                split.system_ += seconds(after.ru_stime) - seconds(before.ru_stime);
            }
        } account{*this, before};
        return operation();
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

// Ends the benchmark with the failure when there is one (a message the window
// showed, or an outcome not done): true then, and the caller leaves its loop.
bool stopsOn(benchmark::State &state, StartedProgram &started, const base::Outcome &outcome = base::Outcome::done())
{
    started.dialogs().report(outcome);
    const QString failure = started.takeMessage();
    if (failure.isEmpty())
        return false;
    state.SkipWithError(qPrintable(failure));
    return true;
}

// The started window on the database of that many items, listing all of it
// (written again when a change before left it otherwise).
StartedProgram &listedWindow(benchmark::State &state, int items)
{
    StartedProgram &started = listed(items, With::Window);
    started.takeMessage();
    if (started.program().items().rowCount() != items) {
        if (const QString failure = started.restore(database(items)); !failure.isEmpty())
            state.SkipWithError(qPrintable(failure));
    }
    return started;
}

void pressReturn(QWidget *widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// Presses Return in the search box and returns once the hits are listed and
// painted, running the event loop while a search runs in the background. What
// it gives, in ms, is the longest the window's thread was kept from its event
// loop: the key's handling with the painting, or, after a search in the
// background, the larger of the key's handling and the listing of the hits
// with the painting.
double searchedAndPainted(StartedProgram &started, QWidget *box)
{
    QElapsedTimer clock;
    qint64 listingFrom = 0;
    const QMetaObject::Connection listing =
        QObject::connect(started.program().itemTable(), &QAbstractItemModel::modelAboutToBeReset,
                         [&] { listingFrom = clock.nsecsElapsed(); });
    clock.start();
    pressReturn(box);
    const qint64 key = clock.nsecsElapsed();
    const bool inBackground = started.program().searchRunning();
    if (inBackground) {
        QEventLoop loop;
        QObject::connect(&started.program(), &program::Program::searchEnded, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const qint64 listed = clock.nsecsElapsed();
    started.paintList();
    const qint64 painting = clock.nsecsElapsed() - listed;
    QObject::disconnect(listing);
    const qint64 held = inBackground ? std::max(key, listed - listingFrom + painting) : key + painting;
    return double(held) / 1e6;
}

void addPainted(int items)
{
    add("op/list_all/painted", items, Rounds::Reading, [items](benchmark::State &state) {
        StartedProgram &started = listedWindow(state, items);
        auto *showAll = started.control<QPushButton>("Command3");
        for (auto _ : state) {
            showAll->click();
            started.paintList();
            if (stopsOn(state, started))
                break;
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
            add("op/search/" + std::string(search.in) + (many ? "-many" : "-few") + "-painted", items,
                Rounds::Reading, [items, search, many](benchmark::State &state) {
                    StartedProgram &started = listedWindow(state, items);
                    auto *box = started.control<QLineEdit>("Text2");
                    box->setText(QString::fromLatin1(many ? search.many : search.few));
                    started.control<QCheckBox>("chkItems")->setChecked(search.names);
                    started.control<QCheckBox>("chkDesc")->setChecked(search.descriptions);
                    double held = 0;
                    for (auto _ : state) {
                        held += searchedAndPainted(started, box);
                        if (stopsOn(state, started))
                            break;
                    }
                    state.counters["hits"] = double(started.program().items().rowCount());
                    state.counters["held_ms"] = benchmark::Counter(held, benchmark::Counter::kAvgIterations);
                });
        }
    }
    add("op/select/painted", items, Rounds::Reading, [items](benchmark::State &state) {
        StartedProgram &started = listedWindow(state, items);
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

// Times a change of the listed database; each round starts from the generated
// database, and the versions of the round before are gone. `prepare` runs
// untimed and returns the change to time, which returns its outcome.
template <typename Prepare>
void timeChange(benchmark::State &state, int items, Prepare prepare)
{
    StartedProgram &started = listedWindow(state, items);
    CpuSplit cpu;
    for (auto _ : state) {
        state.PauseTiming();
        auto change = prepare(started.program());
        state.ResumeTiming();
        const base::Outcome outcome = cpu.measure(change);
        state.PauseTiming();
        const bool failed = stopsOn(state, started, outcome);
        const QString restored = started.restore(database(items));
        started.forgetVersions();
        if (failed)
            break;
        if (!restored.isEmpty()) {
            state.SkipWithError(qPrintable(restored));
            break;
        }
        state.ResumeTiming();
    }
    cpu.report(state);
}

void addChanges(int items)
{
    // One record in the middle of the database.
    add("op/update/one", items, Rounds::Writing, [items](benchmark::State &state) {
        timeChange(state, items, [items](program::Program &program) {
            return [&program, listed = program.listedItem(items / 2)] {
                return listed ? program.replaceItem(*listed, QStringLiteral("renamed item"), std::nullopt)
                              : base::Outcome::refused(QStringLiteral("the item is not listed"));
            };
        });
    });
    add("op/delete/one", items, Rounds::Writing, [items](benchmark::State &state) {
        timeChange(state, items, [items](program::Program &program) {
            return [&program, items] { return program.deleteListedItem(items / 2); };
        });
    });
    add("op/add/one", items, Rounds::Writing, [items](benchmark::State &state) {
        timeChange(state, items, [](program::Program &program) {
            return [&program] { return program.addItem(QStringLiteral("a new item"), QStringLiteral("Weight 1")); };
        });
    });
    // Undo of a delete, which brings back the generated database.
    add("op/undo/one", items, Rounds::Writing, [items](benchmark::State &state) {
        timeChange(state, items, [items](program::Program &program) {
            const base::Outcome deleted = program.deleteListedItem(items / 2);
            return [&program, deleted] { return deleted.ok() ? program.undoLastChange() : deleted; };
        });
    });
    // What a change spends on its version: a hard link to the replaced file.
    add("op/keep_version/linked", items, Rounds::Writing, [items](benchmark::State &state) {
        // The folder's database file; how much of it is listed does not matter.
        const StartedProgram &started = listed(items, With::Window);
        const history::VersionStore store{storage::DataFolder(started.folder())};
        CpuSplit cpu;
        // Each version is taken back, as a change would take the file's name
        // away: the file keeps a single link, and so a hard link can be made.
        for (auto _ : state) {
            const history::Version kept = cpu.measure(
                [&] { return store.keepFile(QStringLiteral("database.txt"), history::Kind::Change, "Delete of x"); });
            state.PauseTiming(); // taking the version back is not part of keeping it
            store.discard(kept);
            state.ResumeTiming();
        }
        cpu.report(state);
    });
    // Where the file system makes no hard link: a copy.
    add("op/keep_version/copied", items, Rounds::Writing, [items](benchmark::State &state) {
        // The folder's database file; how much of it is listed does not matter.
        const StartedProgram &started = listed(items, With::Window);
        const history::VersionStore store{storage::DataFolder(started.folder())};
        CpuSplit cpu;
        for (auto _ : state) {
            const history::Version kept = cpu.measure([&] {
                return store.keep(QStringLiteral("database.txt"), database(items), history::Kind::Change,
                                  "Delete of x");
            });
            state.PauseTiming(); // taking the version back is not part of keeping it
            store.discard(kept);
            state.ResumeTiming();
        }
        cpu.report(state);
    });
}

// Lists the versions of the database with 3 versions kept (made by adding
// items), by a new program object each round when `again` is false, else
// again by one that listed them before. Keeps no version afterwards.
void timeVersionsListing(benchmark::State &state, int items, bool again)
{
    constexpr int kKept = 3;
    StartedProgram &started = listedWindow(state, items);
    for (int i = 0; i < kKept; ++i) {
        if (stopsOn(state, started, started.program().addItem(QStringLiteral("item %1").arg(i), QString())))
            return;
    }
    // Ended as a program that quits, so that each program object below gets the folder.
    started.close();
    std::unique_ptr<program::Program> listing;
    for (auto _ : state) {
        if (!listing || !again) {
            state.PauseTiming();
            listing.reset();
            listing = std::make_unique<program::Program>(started.folder());
            if (again)
                (void)listing->versionsOf(QStringLiteral("database.txt"));
            state.ResumeTiming();
        }
        const auto versions = listing->versionsOf(QStringLiteral("database.txt"));
        if (versions.size() != kKept || versions.last().items != items) {
            state.SkipWithError("the versions were not listed with their items");
            break;
        }
    }
    listing.reset();
    started.open();
    if (const QString restored = started.restore(database(items)); !restored.isEmpty())
        state.SkipWithError(qPrintable(restored));
    started.forgetVersions();
}

void addVersions(int items)
{
    add("op/versions/list", items, Rounds::Reading,
        [items](benchmark::State &state) { timeVersionsListing(state, items, false); });
    add("op/versions/list_again", items, Rounds::Reading,
        [items](benchmark::State &state) { timeVersionsListing(state, items, true); });
}

// The database holds the first half of the generated items, the incoming items
// are every other item of the whole: about half of them are new to it. Made
// once per size, with a started window on that database.
struct Overlap
{
    QByteArray kept, importFile, download;
    std::unique_ptr<StartedProgram> started;

    explicit Overlap(int items)
    {
        const QByteArray &whole = database(items);
        const storage::RecordIndex index = storage::indexRecords(whole);
        kept = whole.left(index.records[index.records.size() / 2].name.begin);
        for (int r = 0; r < index.records.size(); r += 2) {
            const storage::Record &record = index.records[r];
            const QByteArray name = whole.mid(record.name.begin, record.name.length);
            const QByteArray description = whole.mid(record.description.begin, record.description.length);
            importFile += name + "\r\n" + QByteArray(description).chopped(1).replace('|', "\r\n") + "\r\n\r\n";
            download += name + "\r\n" + description + "\r\n";
        }
        started = std::make_unique<StartedProgram>(kept, With::Window);
    }
};

Overlap &overlap(int items)
{
    static int size = 0;
    static std::unique_ptr<Overlap> made;
    static const bool endsWithTheRun = (atEnd([] { made.reset(); }), true);
    (void)endsWithTheRun;
    if (size != items || !made) {
        made.reset();
        made = std::make_unique<Overlap>(items);
        size = items;
    }
    return *made;
}

// Times an import or a merge into the overlapping database (`operation`
// returns its outcome), the list painted too when `painted`.
template <typename Operation>
void timeTakingIn(benchmark::State &state, Overlap &taking, bool painted, Operation operation)
{
    StartedProgram &started = *taking.started;
    started.takeMessage();
    CpuSplit cpu;
    for (auto _ : state) {
        const base::Outcome outcome = cpu.measure([&] {
            const base::Outcome done = operation(started.program());
            if (painted)
                started.paintList();
            return done;
        });
        state.PauseTiming();
        const bool failed = stopsOn(state, started, outcome);
        const QString restored = started.restore(taking.kept);
        started.forgetVersions();
        if (failed)
            break;
        if (!restored.isEmpty()) {
            state.SkipWithError(qPrintable(restored));
            break;
        }
        state.ResumeTiming();
    }
    cpu.report(state);
}

void addImportAndMerge(int items)
{
    for (const bool painted : {false, true}) {
        const std::string variant = painted ? "overlapping-painted" : "overlapping";
        add("op/import/" + variant, items, Rounds::Writing, [items, painted](benchmark::State &state) {
            Overlap &taking = overlap(items);
            const QString source = scratchFile(QStringLiteral("insert.txt"));
            storage::saveAtomically(source, taking.importFile);
            timeTakingIn(state, taking, painted,
                         [&source](program::Program &program) { return program.importItems(source); });
            storage::removeFile(source);
        });
        add("op/merge/" + variant, items, Rounds::Writing, [items, painted](benchmark::State &state) {
            Overlap &taking = overlap(items);
            storage::saveAtomically(download::databaseFilePath(), taking.download);
            taking.started->program().openCatalogue();
            timeTakingIn(state, taking, painted, [](program::Program &program) { return program.mergeDownload(0); });
            storage::removeFile(download::databaseFilePath());
        });
    }
}

// Runs events until the list has placed its last row.
void placeEveryRow(const QListView *list)
{
    const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);
    while (last.isValid() && !list->visualRect(last).isValid())
        QCoreApplication::processEvents();
}

void addStartUp(int items)
{
    add("op/start_up/own_process", items, Rounds::Reading, [items](benchmark::State &state) {
        StartedProgram &started = listedWindow(state, items);
        started.close();
        timeProbes(state, kStartUpProbeVariable, started.folder());
        started.open();
    })->UseManualTime()->Repetitions(kProcessRepetitions);
    for (const bool everyRow : {false, true}) {
        const std::string name = everyRow ? "op/start_up/every_row_placed" : "op/start_up/filled";
        add(name, items, Rounds::Reading, [items, everyRow](benchmark::State &state) {
            StartedProgram &started = listedWindow(state, items);
            // Ended as a program that quits, so each start below gets the folder.
            started.close();
            for (auto _ : state) {
                auto program = std::make_unique<program::Program>(started.folder());
                auto window = std::make_unique<main_window::MainWindow>(*program, started.dialogs());
                window->startUp();
                window->show();
                auto *list = window->findChild<QListView *>(QStringLiteral("List1"));
                list->viewport()->repaint();
                if (everyRow)
                    placeEveryRow(list);
                state.PauseTiming(); // the window and the program end outside the timing
                window.reset();
                program.reset();
                if (stopsOn(state, started))
                    break;
                state.ResumeTiming();
            }
            started.open();
        });
    }
}

} // namespace

int bench::runStartUpProbe(const QString &folder)
{
    QuietDialogs dialogs;
    QElapsedTimer timer;
    timer.start();
    program::Program program(folder);
    main_window::MainWindow window(program, dialogs);
    window.startUp();
    window.show();
    window.findChild<QListView *>(QStringLiteral("List1"))->viewport()->repaint();
    const qint64 nanoseconds = timer.nsecsElapsed();
    if (const QString failure = dialogs.takeMessage(); !failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 2;
    }
    std::printf("%lld\n", static_cast<long long>(nanoseconds));
    return 0;
}

void addWindowBenchmarks(int items)
{
    addPainted(items);
    addChanges(items);
    addVersions(items);
    addImportAndMerge(items);
    addStartUp(items);
}
