// The Which Database window: its buttons take the download in, close and
// announce it; without a catalogue it seeds one and leaves the download.
#include "download/download_files.h"
#include "storage/text_file.h"
#include "support/program_fixture.h"
#include "windows/merge_target_window.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class MergeTargetWindowTest : public ProgramFixture
{
    Q_OBJECT

    std::unique_ptr<windows::MergeTargetWindow> window;
    std::unique_ptr<QSignalSpy> handled;

    void openAfterDownload(const QByteArray &bytes)
    {
        storage::saveAtomically(download::databaseFilePath(), bytes);
        window = std::make_unique<windows::MergeTargetWindow>(p->program, dialogs);
        handled = std::make_unique<QSignalSpy>(window.get(), &windows::MergeTargetWindow::downloadHandled);
        window->show();
        window->load();
    }
    void press(const char *button) { QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton); }
    void closeWindows() override { window.reset(); }

public:
    MergeTargetWindowTest() : ProgramFixture(crlf({"ring", "gold|"})) {}

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        ProgramFixture::init();
        p->folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "other", "other.txt"}));
    }
    void cleanupTestCase() { QDir(download::privateDownloadFolder()).removeRecursively(); }

    void okMergesIntoThePreselectedDatabaseAndNewDbMakesANewCurrentOne()
    {
        openAfterDownload(crlf({"sword", "sharp|", ""}));
        QCOMPARE(window->findChild<QListWidget *>("List1")->currentRow(), 0);
        dialogs.expectProgress("Adding the downloaded items...", 0.5);
        press("Command1"); // cancelled: nothing is written
        QCOMPARE(p->database(), crlf({"ring", "gold|"}));
        dialogs.expectProgress("Adding the downloaded items...");
        press("Command1");
        QCOMPARE(p->database(), crlf({"ring", "gold|", "sword", "sharp|"}));
        QVERIFY(!window->isVisible() && handled->count() == 1);
        QVERIFY(!QFile::exists(download::databaseFilePath()));
        QCOMPARE(p->listed(), (QStringList{"ring", "sword"}));

        openAfterDownload(crlf({"axe", "keen|"}));
        dialogs.expectInput("Please enter a name for your new database. (Do not use symbols, only letters and "
                            "numbers)", "");
        press("Command2"); // cancelled: nothing happens
        QVERIFY(window->isVisible());
        dialogs.expectInput("Please enter a name for your new database. (Do not use symbols, only letters and "
                            "numbers)", "My Mud");
        press("Command2");
        QCOMPARE(p->folder.read("My Mud.txt"), crlf({"axe", "keen|"}));
        QCOMPARE(p->program.countText(), QStringLiteral("1 items in My Mud"));
        QVERIFY(handled->count() == 1);
    }

    void theListFollowsTheCatalogueSoOkMergesIntoTheDatabaseShown()
    {
        p->folder.write("datalist.txt", crlf({"3", "database", "database.txt", "other", "other.txt", "x", "x.txt"}));
        p->folder.write("x.txt", "");
        openAfterDownload(crlf({"sword", "sharp|"}));
        window->findChild<QListWidget *>("List1")->setCurrentRow(2);
        QVERIFY(p->program.removeDatabase("other").ok()); // as the Current Database window does
        dialogs.expectProgress("Adding the downloaded items...");
        press("Command1"); // into x, now the second row
        QCOMPARE(p->folder.read("x.txt"), crlf({"sword", "sharp|"}));
    }

    void withoutACatalogueTheWindowSeedsOneAndClosesKeepingTheDownload()
    {
        QFile::remove(p->folder.file("datalist.txt"));
        dialogs.expectMessage("Could not open the datalist.txt file, this file will be created. Please Try again.");
        openAfterDownload(crlf({"sword", "sharp|"}));
        QCOMPARE(p->folder.read("datalist.txt"), crlf({"1", "database", "database.txt"}));
        QVERIFY(!window->isVisible() && handled->count() == 1);
        QVERIFY(QFile::exists(download::databaseFilePath()));
    }
};

QTEST_MAIN(MergeTargetWindowTest)
#include "merge_target_window_test.moc"
