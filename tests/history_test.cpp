// Earlier versions: changes are taken back one by one, also after a restart;
// twenty versions are kept, in the order they were kept whatever the clock;
// a version that cannot be kept stops its change; a removed database can come
// back, with its own versions; the start settles what a killed change left.
#include "support/program_fixture.h"

#include <QDir>
#include <QTest>

#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kItems = crlf({"ring", "gold|", "axe", "keen|", "ring", "old|"});

// A program folder holding the default colours and the items, not yet opened.
void prepare(const TestFolder &folder)
{
    folder.write("pref.txt", " 0 \r\n 65280 \r\n 65280 \r\n");
    folder.write("database.txt", kItems);
}
} // namespace

class HistoryTest : public DialogsFixture
{
    Q_OBJECT

private slots:

    void changesAreUndoneOneByOneAlsoAfterARestart()
    {
        TestFolder folder;
        prepare(folder);
        {
            program::Program first(folder.path());
            QVERIFY(first.startUp(dialogs, {}).ok());
            QVERIFY(!first.undoableChange());
            // Two changes, then a restart: the undos walk back through both.
            QVERIFY(first.addItem("bow", "").ok());
            QVERIFY(first.addItem("arrow", "").ok());
        }
        program::Program restarted(folder.path());
        QVERIFY(restarted.startUp(dialogs, {}).ok());
        QCOMPARE(restarted.undoableChange().value_or("<none>"), QStringLiteral("Add of arrow"));
        QVERIFY(restarted.undoLastChange().ok() && restarted.undoLastChange().ok());
        QCOMPARE(folder.read("database.txt"), kItems);
        QCOMPARE(restarted.undoLastChange().message(), QStringLiteral("There is no change of database to undo."));
        // Undoing the undo is a restore of the version the undo kept.
        QVERIFY(restarted.restoreVersion(restarted.versionsOf("database.txt").first().version, "database.txt").ok());
        QCOMPARE(folder.read("database.txt"), kItems + crlf({"bow", "|"}));
    }

    // Between a delete and its undo the file, its listing or the version are changed by another
    // program: the undo restores what the version holds, and the table lists the file.
    void anUndoRestoresTheVersionWhateverHappenedSinceTheChange_data()
    {
        QTest::addColumn<QString>("between");
        QTest::addColumn<QByteArray>("restored");
        QTest::newRow("nothing") << "" << kItems;
        QTest::newRow("file rewritten") << "file" << kItems;
        QTest::newRow("file rewritten and listed") << "file listed" << kItems;
        QTest::newRow("version rewritten in place") << "version" << crlf({"bow", "yew|"});
    }

    void anUndoRestoresTheVersionWhateverHappenedSinceTheChange()
    {
        QFETCH(QString, between);
        ProgramOnFolder p(dialogs, kItems);
        QVERIFY(p.program.deleteListedItem(1).ok());
        if (between.startsWith("file"))
            p.folder.write("database.txt", crlf({"other", "program|"}));
        if (between.endsWith("listed"))
            QVERIFY(p.program.listAll().ok());
        if (between == "version") {
            QFile version(p.program.versionsOf("database.txt").first().version.path);
            QVERIFY(version.open(QIODevice::WriteOnly) && version.write(crlf({"bow", "yew|"})) > 0);
        }
        QVERIFY(p.program.undoLastChange().ok());
        QTEST(p.database(), "restored");
        ProgramOnFolder fresh(dialogs, p.database());
        QCOMPARE(p.program.items().rowCount(), fresh.program.items().rowCount());
        QCOMPARE(p.program.items().name(1), fresh.program.items().name(1));
    }

    // A file in the way of the versions' folder: the change does not start.
    void aVersionThatCannotBeKeptStopsItsChange()
    {
        ProgramOnFolder blocked(dialogs, kItems);
        blocked.folder.write("history", "not a folder");
        const base::Outcome added = blocked.program.addItem("more", "x");
        QVERIFY2(added.message().contains("Could not keep the earlier version of database.txt, so nothing was "
                                          "changed: Path/File access error: could not make the folder"),
                 qPrintable(added.message()));
        QCOMPARE(blocked.database(), kItems);
    }

    void aRemovedDatabaseComesBackUnderItsOldNameWhileTheNameIsFree()
    {
        ProgramOnFolder p(dialogs, kItems);
        p.folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        p.folder.write("armour.txt", crlf({"helmet", "iron|"}));
        p.program.openCatalogue();
        QVERIFY(p.program.removeDatabase("armour").ok());
        p.folder.write("armour.txt", "helmet\r\n"); // a file left holding no whole item is no database to bring back
        QVERIFY(p.program.removedDatabases().isEmpty());
        QVERIFY(QFile::remove(p.folder.file("armour.txt")));
        QCOMPARE(p.program.removedDatabases().size(), 1);
        QCOMPARE(p.program.removedDatabases().first().file, QStringLiteral("armour.txt"));
        const history::Version removed = p.program.versionsOf("armour.txt").first().version;
        QCOMPARE(removed.change, QStringLiteral("Removal of the database armour"));

        // The name is taken again meanwhile: the new database has no versions, the removed one keeps its own.
        QVERIFY(p.program.createDatabase("armour").ok() && p.program.chooseDatabase("armour").ok());
        QVERIFY(!p.program.undoableChange());
        const QString setAsideFolder = p.program.removedDatabases().first().versionsFolder;
        const auto setAside = [&] { return p.program.versionsOf(setAsideFolder); };
        QCOMPARE(setAside().first().version.change, QStringLiteral("Removal of the database armour"));
        QVERIFY(p.program.restoreVersion(setAside().first().version, "armour.txt").message().startsWith(
            "The database \"armour\" cannot come back under its old name: There is already a database named"));
        QVERIFY(p.program.removeDatabase("armour").ok());
        QCOMPARE(p.program.removedDatabases().size(), 2);
        QVERIFY(p.program.restoreVersion(setAside().first().version, "armour.txt").ok());
        QCOMPARE(p.folder.read("armour.txt"), crlf({"helmet", "iron|"}));
        QCOMPARE(p.folder.read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        QCOMPARE(p.program.versionsOf("armour.txt").size(), 1); // its own versions came back with it
        QCOMPARE(p.program.removedDatabases().size(), 1);
    }

    void aVersionsNameFitsWhateverTheChange()
    {
        ProgramOnFolder p(dialogs, kItems);
        const QString quotes(80, QChar(0x201C)); // three bytes each in a file name
        QVERIFY(p.program.addItem(quotes, "").ok());
        QVERIFY(p.program.replaceItem(*p.program.listedItem(3), QString(quotes + "!"), std::nullopt).ok());
        QVERIFY(p.program.deleteListedItem(3).ok());
        QVERIFY(p.program.undoableChange()->startsWith("Delete of " + quotes.left(20)));
        QVERIFY(p.program.undoLastChange().ok());
        QCOMPARE(p.program.items().name(3), quotes + "!");
    }

    // Under a clock that goes back an hour (the end of summer time), and after
    // versions named by local time in an earlier release.
    void versionsKeepTheirOrderWhenTheClockGoesBack()
    {
        const QByteArray zone = qgetenv("TZ");
        qputenv("TZ", "Europe/Berlin");
        ::tzset();
        TestFolder folder;
        QDir(folder.path()).mkpath("history/database.txt");
        folder.write("history/database.txt/2020-01-01 00.00.00.000;change;Add of legacy.txt", "");
        int minute = 0; // from 02:50 summer time to 02:10 winter time
        const QDateTime start(QDate(2024, 10, 27), QTime(0, 50), Qt::UTC);
        const history::VersionStore store(storage::DataFolder(folder.path()),
                                          [&] { return start.addSecs(60 * minute++); });
        for (int i = 1; i <= 21; ++i)
            store.finalise(store.keep("database.txt", "", history::Kind::Change, QString::number(i)));
        const QVector<history::Version> versions = store.versions("database.txt");
        qputenv("TZ", zone);
        ::tzset();
        QCOMPARE(versions.size(), 20);
        QCOMPARE(versions.first().change, QStringLiteral("21"));
        QCOMPARE(versions.last().change, QStringLiteral("2"));
        QCOMPARE(store.undoTarget("database.txt")->change, QStringLiteral("21"));
    }

    // What a change killed half-way (in this release or an earlier one) left,
    // and a link among the versions' folders: the start settles it all,
    // never leaving the program folder.
    void theStartSettlesWhatAKilledChangeLeft()
    {
        TestFolder folder;
        prepare(folder);
        const auto hardLink = [&](const QString &file, const QString &name) {
            return ::link(QFile::encodeName(folder.file(file)), QFile::encodeName(folder.file(name))) == 0;
        };
        const auto inode = [&](const QString &name) {
            struct stat st;
            return ::stat(QFile::encodeName(folder.file(name)).constData(), &st) == 0 ? st.st_ino : 0;
        };
        const QString stamp = "000001;2024-10-27T00.59.00.000Z;change;";
        QDir(folder.path()).mkpath("history/database.txt");
        const QString legacy = "history/database.txt/2020-01-01 10.00.00.000;change;Add of a.txt";
        QVERIFY(hardLink("database.txt", legacy)); // an earlier release, killed before its rename
        QVERIFY(hardLink("database.txt", "history/database.txt/" + stamp + "Add of b.txt.pending")); // did not happen
        const QString happened = "history/database.txt/000002;2024-10-27T01.00.00.000Z;change;Add of c.txt";
        folder.write(happened + ".pending", kItems.left(13)); // a copy of what its change replaced
        const QString notHappened = "history/database.txt/000003;2024-10-27T01.01.00.000Z;change;Add of e.txt";
        folder.write(notHappened + ".pending", kItems); // a copy of the content still in place
        TestFolder outside;
        outside.write(".x.txt.gearledger-save-abcdef", "not the program's");
        outside.write(stamp + "Add of d.txt.pending", "not the program's");
        QVERIFY(QFile::link(outside.path(), folder.file("history/elsewhere.txt")));

        program::Program restarted(folder.path());
        QVERIFY(restarted.startUp(dialogs, {}).ok());
        QCOMPARE(restarted.undoableChange().value_or("<none>"), QStringLiteral("Add of c"));
        QCOMPARE(folder.read(happened), kItems.left(13));
        QVERIFY(!folder.exists(notHappened) && !folder.exists(notHappened + ".pending"));
        QVERIFY(inode(legacy) != inode("database.txt"));
        QCOMPARE(folder.read(legacy), kItems);
        QCOMPARE(folder.read("database.txt"), kItems);
        QVERIFY(outside.exists(".x.txt.gearledger-save-abcdef") && outside.exists(stamp + "Add of d.txt.pending"));

        // A database file with another hard link elsewhere keeps its version as a copy.
        QVERIFY(hardLink("database.txt", "backup.txt"));
        QVERIFY(restarted.addItem("bow", "").ok());
        QVERIFY(inode(restarted.versionsOf("database.txt").first().version.path.mid(folder.path().size() + 1))
                != inode("backup.txt"));
    }
};

QTEST_GUILESS_MAIN(HistoryTest)
#include "history_test.moc"
