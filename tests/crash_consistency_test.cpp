// Every kind of write on a database of 3000 items with twenty earlier versions,
// killed (SIGKILL) at random moments in a child process. After each kill and
// the program's own start-up that follows: every file holds exactly its old or
// its new content, and the versions are the old ones or the new ones; the Undo
// entry names the newest change in place and takes back exactly that; no
// database is hidden; no version shares its inode with a database.
#include "download/download_files.h"
#include "storage/record_index.h"
#include "storage/text_file.h"
#include "support/folder_state.h"
#include "support/program_on_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using State = QMap<QString, QByteArray>;

QByteArray manyItems(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "item number " + QByteArray::number(i) + "\r\nWeight " + QByteArray::number(i % 40)
                 + ", Item type: WORN |Item is: MAGIC |Estimated Value: " + QByteArray::number(i) + " gold|\r\n";
    return bytes;
}

// Database files with items and versions that are neither catalogued nor
// offered back, and versions that share their inode with a database.
QStringList faultsOf(const program::Program &program)
{
    const QString folder = program.folder().path();
    QSet<QString> known;
    for (const catalogue::Entry &entry : program.readCatalogue().catalogue.entries)
        known.insert(entry.fileName);
    for (const program::Program::RemovedDatabase &removed : program.removedDatabases())
        known.insert(removed.file);
    QStringList faults;
    QSet<QPair<dev_t, ino_t>> databases;
    struct stat st;
    for (const QString &file : QDir(folder).entryList(QDir::Files)) {
        if (::stat(QFile::encodeName(folder + "/" + file).constData(), &st) == 0)
            databases.insert({st.st_dev, st.st_ino});
        if (!known.contains(file) && QDir(folder + "/history/" + file).exists()
            && !storage::indexRecords(storage::readFile(folder + "/" + file)).records.isEmpty())
            faults.append(file + " is hidden");
    }
    for (QDirIterator it(folder + "/history", QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        if (::lstat(QFile::encodeName(it.next()).constData(), &st) == 0 && databases.contains({st.st_dev, st.st_ino}))
            faults.append(it.filePath() + " shares its inode with a database");
    }
    return faults;
}

// What the next start finds: the files, the versions (named without the time
// they were kept, which differs from run to run), the Undo entry and the
// database after pressing it, and what must never be.
struct Found
{
    State files, versions;
    QString undo;
    QByteArray afterUndo;
    QStringList faults;
};

Found afterNextStart(const QString &folder)
{
    static const QRegularExpression stamp("\\d{4}-\\d\\d-\\d\\d[ T]\\d\\d\\.\\d\\d\\.\\d\\d\\.\\d{3}Z?");
    ScriptedDialogs dialogs;
    program::Program program(folder);
    (void)program.startUp(dialogs, {});
    Found found;
    const State all = folderState(folder);
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (it.key().startsWith("history/"))
            found.versions.insert(QString(it.key()).replace(stamp, "*"), it.value());
        else
            found.files.insert(it.key(), it.value());
    }
    found.faults += faultsOf(program);
    found.undo = program.undoableChange().value_or("<none>");
    (void)program.undoLastChange();
    found.afterUndo = storage::readFile(program.folder().file("database.txt"));
    return found;
}

// Each write, and the change Undo names after it.
const std::pair<const char *, const char *> kWrites[] = {
    {"add", "Add of a helmet"}, {"update", "Update of item number 2000"}, {"delete", "Delete of item number 2000"},
    {"import", "Import of 250 items"}, {"merge", "Merge of 250 downloaded items"}, {"harvest", "Harvest of 2 items"},
    {"restore", "Restore of the version of 2020-01-01 10:00:11"}, {"undo", "Add of item number 29"},
    {"new database", "Add of item number 30"}, {"removal", "Add of item number 30"},
    {"restore of a removed database", "Add of item number 30"}, {"colours", "Add of item number 30"}};
constexpr int kUndo = 7;

// The writes, each on a program object started on the folder.
void write(int which, program::Program &p, const QString &folder)
{
    p.openCatalogue();
    switch (which) {
    case 0: (void)p.addItem("a helmet", QString("Weight 3\nHUM").repeated(200)); break;
    case 1: (void)p.replaceItem(*p.listedItem(2000), QString("x"), QString("y")); break;
    case 2: (void)p.deleteListedItem(2000); break;
    case 3: (void)p.importItems(folder + "/insert.txt"); break;
    case 4: (void)p.mergeDownload(0); break;
    case 5: (void)p.addHarvest({{"a found axe", "keen"}, {"a bow", "long"}}); break;
    case 6: (void)p.restoreVersion(p.versionsOf("database.txt").last().version, "database.txt"); break;
    case kUndo: (void)p.undoLastChange(); break;
    case 8: (void)p.createDatabase("fresh"); break;
    case 9: (void)p.removeDatabase("armour"); break;
    case 10: (void)p.restoreVersion(p.versionsOf("gone.txt").first().version, "gone.txt"); break;
    case 11: (void)p.saveColours({192, 255, 0}); break;
    }
}
constexpr int kKillsPerWrite = 20;

// Runs a write in a child process, killed after `moment` nanoseconds (never
// when negative); returns how long the child ran.
qint64 runWrite(int which, const QString &folder, qint64 moment = -1)
{
    QElapsedTimer timer;
    timer.start();
    const pid_t child = ::fork();
    if (child == 0) {
        program::Program program(folder);
        (void)program.listAll();
        write(which, program, folder);
        ::_exit(0);
    }
    while ((moment < 0 || timer.nsecsElapsed() < moment) && ::waitpid(child, nullptr, WNOHANG) == 0) {
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return timer.nsecsElapsed();
}

// What a start after a kill found, against the old and the new state.
QStringList problemsOf(const Found &now, const Found &old, const Found &fresh)
{
    QStringList problems = now.faults;
    for (const QString &path : QStringList(old.files.keys()) + fresh.files.keys() + now.files.keys()) {
        const QByteArray bytes = now.files.value(path, "<none>");
        if (bytes != old.files.value(path, "<none>") && bytes != fresh.files.value(path, "<none>"))
            problems.append(path + " holds neither its old nor its new content");
    }
    if (now.versions != old.versions && now.versions != fresh.versions)
        problems.append("the versions are neither the old nor the new ones: " + now.versions.keys().join(", "));
    const Found &expected = now.files.value("database.txt") == old.files.value("database.txt") ? old : fresh;
    if (now.undo != expected.undo || now.afterUndo != expected.afterUndo)
        problems.append(QString("Undo names \"%1\" (expected \"%2\")%3")
                            .arg(now.undo, expected.undo, now.afterUndo == expected.afterUndo ? "" : " and fails"));
    problems.removeDuplicates();
    return problems;
}

} // namespace

class CrashConsistencyTest : public QObject
{
    Q_OBJECT

    TestFolder base;

    void reset(const QString &folder)
    {
        QDir(folder).removeRecursively();
        const State files = folderState(base.path());
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile file(folder + "/" + it.key());
            QDir().mkpath(QFileInfo(file).path());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(it.value()) == it.value().size());
        }
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        base.write("database.txt", manyItems(3000));
        base.write("pref.txt", " 0 \r\n 65280 \r\n 65280 \r\n");
        base.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        base.write("armour.txt", manyItems(1000));
        base.write("insert.txt", manyItems(3250).mid(manyItems(3000).size()).replace("|", "\r\n"));
        storage::saveAtomically(download::databaseFilePath(), manyItems(3500).mid(manyItems(3250).size()));
        // Twenty versions of the database as an earlier release named them, and a removed database.
        QDir(base.path()).mkpath("history/database.txt");
        QDir(base.path()).mkpath("history/gone.txt");
        for (int i = 1; i <= 20; ++i)
            base.write(QString("history/database.txt/2020-01-01 10.00.%1.000;change;Add of item number %1.txt")
                           .arg(i + 10), manyItems(i));
        base.write("history/gone.txt/2020-01-01 09.00.00.000;change;Removal of the database gone.txt", manyItems(50));
    }
    void cleanupTestCase() { QDir(download::privateDownloadFolder()).removeRecursively(); }

    void everyWriteKilledAtAnyMomentLeavesTheOldOrTheNewStateAndNothingHidden()
    {
        TestFolder scratch;
        const QString folder = scratch.path() + "/program";
        reset(folder);
        const Found old = afterNextStart(folder);
        QVERIFY2(old.faults.isEmpty(), qPrintable(old.faults.join("\n")));
        QRandomGenerator random(20261206);
        QStringList problems;
        for (int which = 0; which < int(std::size(kWrites)); ++which) {
            // The write run whole: its new state, and how long it takes at most of three runs.
            qint64 nanoseconds = 0;
            for (int run = 0; run < 3; ++run) {
                reset(folder);
                nanoseconds = qMax(nanoseconds, runWrite(which, folder));
            }
            const Found fresh = afterNextStart(folder);
            QVERIFY2(fresh.faults.isEmpty() && fresh.files != old.files, kWrites[which].first);
            QCOMPARE(fresh.undo, QString(kWrites[which].second));
            // Undo takes the change back whole (after an undo, the change before it).
            if (which != kUndo && fresh.files["database.txt"] != old.files["database.txt"])
                QCOMPARE(fresh.afterUndo, old.files["database.txt"]);

            int survived = 0, leftOld = 0, leftNew = 0;
            for (int kill = 0; kill < kKillsPerWrite; ++kill) {
                reset(folder);
                // A moment anywhere in the write (and a little after it).
                runWrite(which, folder, qint64(random.bounded(1.3) * double(nanoseconds)));
                const Found now = afterNextStart(folder);
                const QStringList found = problemsOf(now, old, fresh);
                for (const QString &problem : found)
                    problems.append(QString("%1, kill %2: %3").arg(kWrites[which].first).arg(kill).arg(problem));
                survived += found.isEmpty();
                leftOld += now.files == old.files;
                leftNew += now.files == fresh.files;
            }
            qInfo("%s: %d of %d kills survived (%d left the old state, %d the new, %d part of each)",
                  kWrites[which].first, survived, kKillsPerWrite, leftOld, leftNew, kKillsPerWrite - leftOld - leftNew);
        }
        for (const QString &problem : std::as_const(problems))
            qWarning("%s", qPrintable(problem.left(300)));
        QCOMPARE(problems.size(), 0);
    }
};

QTEST_GUILESS_MAIN(CrashConsistencyTest)
#include "crash_consistency_test.moc"
