// Earlier versions: every change can be taken back, byte for byte, also after
// a restart; twenty versions are kept; a version that cannot be kept stops
// its change; a removed database can come back.
#include "app/text_file.h"
#include "download/download_files.h"
#include "support/program_on_folder.h"

#include <QDir>
#include <QStandardPaths>
#include <QTest>

namespace {
const QByteArray kItems = crlf({"ring", "gold|", "axe", "keen|", "ring", "old|"});
}

class HistoryTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { VERIFY_DIALOGS(dialogs); }
    void cleanupTestCase() { QDir(downloadfiles::privateFolder()).removeRecursively(); }

    void everyChangeIsUndoneByteForByteAlsoAfterARestart()
    {
        ProgramOnFolder p(dialogs, kItems);
        p.folder.write("datalist.txt", crlf({"1", "database", "database.txt"}));
        p.folder.write("insert.txt", crlf({"the shield", "round", "", "ring", "x"}));
        textfile::saveAtomically(downloadfiles::databaseFilePath(), crlf({"bow", "long|", "axe", "dull|"}));
        QVERIFY(!p.program.undoableChange());
        const std::pair<std::function<Outcome()>, QString> changes[] = {
            {[&] { return p.program.addItem("helmet", "iron"); }, "Add of helmet"},
            {[&] { return p.program.replaceItem(*p.program.listedItem(2), QString("old ring"), std::nullopt); },
             "Update of ring"},
            {[&] { return p.program.deleteListedItem(1); }, "Delete of axe"},
            {[&] { return p.program.importItems(p.folder.file("insert.txt")); }, "Import of 1 items"},
            {[&] { return p.program.mergeDownload(p.program.readCatalogue().catalogue, 0); },
             "Merge of 1 downloaded items"}};
        for (const auto &[change, name] : changes) {
            const QByteArray before = p.database();
            QVERIFY(p.program.listAll().ok() && change().ok());
            QVERIFY(p.database() != before);
            QCOMPARE(p.program.undoableChange().value_or("<none>"), name);
            QVERIFY(p.program.undoLastChange().ok());
            QCOMPARE(p.database(), before);
        }
        QVERIFY(!p.program.undoableChange()); // each undo took its change off

        // Two changes, then a restart: the undos walk back through both.
        QVERIFY(p.program.addItem("bow", "").ok());
        QVERIFY(p.program.addItem("arrow", "").ok());
        Program restarted(p.folder.path());
        QCOMPARE(restarted.undoableChange().value_or("<none>"), QStringLiteral("Add of arrow"));
        QVERIFY(restarted.undoLastChange().ok() && restarted.undoLastChange().ok());
        QCOMPARE(p.database(), kItems);
        QCOMPARE(restarted.undoLastChange().message(), QStringLiteral("There is no change of database to undo."));
        // Undoing the undo is a restore of the version the undo kept.
        QVERIFY(restarted.restoreVersion(restarted.versionsOf("database.txt").first().version, "database.txt").ok());
        QCOMPARE(p.database(), kItems + crlf({"bow", "|"}));
    }

    void twentyVersionsAreKeptAndAVersionThatCannotBeKeptStopsItsChange()
    {
        ProgramOnFolder p(dialogs, kItems);
        for (int i = 0; i < 21; ++i)
            QVERIFY(p.program.addItem(QString::number(i), "").ok());
        const QVector<Program::VersionEntry> versions = p.program.versionsOf("database.txt");
        QCOMPARE(versions.size(), 20);
        QCOMPARE(versions.first().items, 23); // the newest, before the 21st add
        QCOMPARE(versions.last().version.change, QStringLiteral("Add of 1"));

        // A file in the way of the versions' folder: the change does not start.
        ProgramOnFolder blocked(dialogs, kItems);
        blocked.folder.write("history", "not a folder");
        const Outcome added = blocked.program.addItem("more", "x");
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
        catalogue::Catalogue copy = p.program.readCatalogue().catalogue;
        QVERIFY(p.program.removeDatabase(copy, "armour").ok());
        QCOMPARE(p.program.removedDatabaseFiles(), QStringList{"armour.txt"});
        const history::Version removed = p.program.versionsOf("armour.txt").first().version;
        QCOMPARE(removed.change, QStringLiteral("Removal of the database armour"));

        QVERIFY(p.program.createDatabase(copy, "armour").ok()); // the name is taken again meanwhile
        QVERIFY(p.program.restoreVersion(removed, "armour.txt").message().startsWith(
            "The database \"armour\" cannot come back under its old name: There is already a database named"));
        QVERIFY(p.program.removeDatabase(copy, "armour").ok());
        QVERIFY(p.program.restoreVersion(removed, "armour.txt").ok());
        QCOMPARE(p.folder.read("armour.txt"), crlf({"helmet", "iron|"}));
        QCOMPARE(p.folder.read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
    }
};

QTEST_GUILESS_MAIN(HistoryTest)
#include "history_test.moc"
