// Every kind of write on a database of 9500 items (room for an import and a
// merge under the 10000 the program lists), killed (SIGKILL) at 200 random
// moments in a child process: after each kill, and the cleaning the next start
// does, every file holds exactly its old or its new content and nothing else
// of the program's is left.
#include "app/text_file.h"
#include "download/download_files.h"
#include "support/folder_state.h"
#include "support/program_on_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
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

// The state of the folder after the cleaning the next start does.
State afterNextStart(const QString &folder)
{
    textfile::removeSaveLeftovers(folder);
    for (const QFileInfo &versions : QDir(folder + "/history").entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        textfile::removeSaveLeftovers(versions.filePath());
    return folderState(folder);
}

} // namespace

class CrashConsistencyTest : public QObject
{
    Q_OBJECT

    TestFolder base;

    // The writes, each on a program object started on the folder.
    static void write(int which, const QString &folder)
    {
        Program program(folder);
        (void)program.listAll();
        catalogue::Catalogue copy = program.readCatalogue().catalogue;
        switch (which) {
        case 0: (void)program.addItem("a new helmet", QString("Weight 3\nItem is: HUM").repeated(200)); break;
        case 1: (void)program.replaceItem(*program.listedItem(5000), QString("renamed"), QString("new text")); break;
        case 2: (void)program.deleteListedItem(5000); break;
        case 3: (void)program.importItems(folder + "/insert.txt"); break;
        case 4: (void)program.mergeDownload(copy, 0); break;
        case 5: (void)program.createDatabase(copy, "fresh"); break;
        case 6: (void)program.removeDatabase(copy, "armour"); break;
        case 7: (void)program.saveColours({192, 255, 0}); break;
        }
    }
    static constexpr int kWrites = 8;

    void reset(const QString &folder)
    {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        const State files = folderState(base.path());
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QFile file(folder + "/" + it.key());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(it.value()) == it.value().size());
        }
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        base.write("database.txt", manyItems(9500));
        base.write("pref.txt", " 0 \r\n 65280 \r\n 65280 \r\n");
        base.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        base.write("armour.txt", manyItems(3000));
        base.write("insert.txt", manyItems(9750).mid(manyItems(9500).size()).replace("|", "\r\n"));
        textfile::saveAtomically(downloadfiles::databaseFilePath(), manyItems(10000).mid(manyItems(9750).size()));
    }
    void cleanupTestCase() { QDir(downloadfiles::privateFolder()).removeRecursively(); }

    void everyFileHoldsItsOldOrItsNewContentAfterAKillAtAnyMoment()
    {
        TestFolder scratch;
        const QString folder = scratch.path() + "/program";
        const State old = folderState(base.path());
        // Each write run whole: its new content and how long it takes.
        QVector<State> fresh(kWrites);
        QVector<qint64> nanoseconds(kWrites);
        for (int which = 0; which < kWrites; ++which) {
            reset(folder);
            QElapsedTimer timer;
            timer.start();
            write(which, folder);
            nanoseconds[which] = timer.nsecsElapsed();
            fresh[which] = afterNextStart(folder);
            QVERIFY2(fresh[which] != old, qPrintable(QString::number(which)));
        }

        int survived = 0;
        QRandomGenerator random(20261206);
        for (int kill = 0; kill < 200; ++kill) {
            const int which = kill % kWrites;
            reset(folder);
            const pid_t child = ::fork();
            if (child == 0) {
                write(which, folder);
                ::_exit(0);
            }
            // A moment anywhere in the write (and a little after it).
            const qint64 moment = qint64(random.bounded(1.3) * double(nanoseconds[which]));
            QElapsedTimer timer;
            timer.start();
            while (timer.nsecsElapsed() < moment && ::waitpid(child, nullptr, WNOHANG) == 0) {
            }
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);

            const State now = afterNextStart(folder);
            const QStringList paths = QStringList(old.keys()) + fresh[which].keys() + now.keys();
            for (const QString &path : paths) {
                const bool history = path.startsWith("history/");
                // A version is kept before its change and stays; it holds the old database.
                if (history && now.contains(path))
                    QVERIFY2(old.values().contains(now[path]), qPrintable(path));
                else if (!history)
                    QVERIFY2(now.value(path, "<none>") == old.value(path, "<none>")
                                 || now.value(path, "<none>") == fresh[which].value(path, "<none>"),
                             qPrintable(QString("write %1, kill %2: %3").arg(which).arg(kill).arg(path)));
            }
            ++survived;
        }
        qInfo("%d kills survived, every file holding its old or new content", survived);
    }
};

QTEST_GUILESS_MAIN(CrashConsistencyTest)
#include "crash_consistency_test.moc"
