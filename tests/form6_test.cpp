// The Which Database window: merging a download into a catalogued database,
// making a new database of it, and what happens when something is missing.
#include "app/module1.h"
#include "app/twips.h"
#include "catalogue/form6.h"
#include "download/download_files.h"
#include "download/form5.h"
#include "main_window/form1.h"
#include "main_window/item_list_model.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kPrompt = QStringLiteral(
    "Please enter a name for your new database. (Do not use symbols, only letters and numbers)");
const QString kSelectTarget = QStringLiteral("Please select a database to add the new items to.");
const QByteArray kDatabase = crlf({"ring", "gold|", "cloak", "grey|"});

} // namespace

class Form6Test : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Module1> state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> main;
    QPointer<Form5> download;
    QPointer<Form6> form;
    std::unique_ptr<QAbstractItemModelTester> tester;

    // The download left `bytes` in the download file and opened this window.
    Form6 *openAfterDownload(const QByteArray &bytes)
    {
        writeDownload(bytes);
        download = main->windows().show<Form5>([this] { return new Form5(*main, "http://127.0.0.1:9/"); });
        download->Timer1->stop();
        download->Timer2->stop();
        form = main->windows().show<Form6>([this] { return new Form6(*main); });
        if (form->Form_Load())
            tester = std::make_unique<QAbstractItemModelTester>(form->List1->model(),
                                                                QAbstractItemModelTester::FailureReportingMode::QtTest);
        return form;
    }

    static void writeDownload(const QByteArray &bytes)
    {
        QFile f(downloadfiles::databaseFilePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static bool downloadKept() { return QFile::exists(downloadfiles::databaseFilePath()); }
    QStringList listed() const { return main->listModel()->names(); }
    QStringList offered() const
    {
        QStringList names;
        for (int i = 0; i < form->List1->count(); ++i)
            names.append(form->List1->item(i)->text());
        return names;
    }
    // Presses a button of the window; the window may close itself.
    void press(void (Form6::*handler)())
    {
        tester.reset();
        (form->*handler)();
    }
    bool bothWindowsClose()
    {
        return QTest::qWaitFor([this] { return form.isNull() && download.isNull(); });
    }
    bool bothWindowsStayOpen() const { return form && form->isVisible() && download && download->isVisible(); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QDir(downloadfiles::privateFolder()).removeRecursively();
        folder = std::make_unique<TestFolder>();
        folder->write("pref.txt", crlf({" 0 ", " 65280 ", " 65280 "}));
        folder->write("database.txt", kDatabase);
        folder->write("other.txt", crlf({"axe", "heavy|"}));
        folder->write("datalist.txt", crlf({" 2 ", "database", "database.txt", "other", "other.txt"}));
        dialogs.reset();
        state = std::make_unique<Module1>(folder->path());
        main = std::make_unique<Form1>(*state, dialogs);
        main->startUp();
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        tester.reset();
        main.reset();
        state.reset();
    }

    void cleanupTestCase() { QDir(downloadfiles::privateFolder()).removeRecursively(); }

    void theWindowOffersTheCatalogueWithTheCurrentDatabaseSelected()
    {
        openAfterDownload(crlf({"sword", "sharp|"}));
        QCOMPARE(form->windowTitle(), QStringLiteral("Which Database?"));
        QCOMPARE(form->size(), clientPixels(2565, 2025));
        QCOMPARE(twipsOf(form->List1), (TwipRect{120, 600, 2295, 840}));
        QCOMPARE(twipsOf(form->Label1), (TwipRect{120, 120, 2295, 495}));
        QCOMPARE(twipsOf(form->Command1), (TwipRect{1320, 1560, 1095, 375}));
        QCOMPARE(twipsOf(form->Command2), (TwipRect{120, 1560, 1095, 375}));
        QCOMPARE(form->Label1->text(), QStringLiteral("Please select a Database to add new info to:"));
        QCOMPARE(form->Command1->text(), QStringLiteral("OK"));
        QCOMPARE(form->Command2->text(), QStringLiteral("New DB"));
        for (QWidget *w : {static_cast<QWidget *>(form->List1), static_cast<QWidget *>(form->Command1),
                           static_cast<QWidget *>(form->Command2)})
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        QCOMPARE(offered(), (QStringList{"database", "other"}));
        QCOMPARE(form->List1->selectedItems().value(0)->text(), QStringLiteral("database"));
    }

    void okWithNamesAllPresentRewritesTheSameLinesAndClosesBothWindows()
    {
        openAfterDownload(crlf({"ring", "silver|", "cloak", "blue|"}));
        press(&Form6::Command1_Click);
        QVERIFY(bothWindowsClose());
        QCOMPARE(folder->read("database.txt"), kDatabase);
        QVERIFY(!downloadKept());
        QCOMPARE(listed(), (QStringList{"ring", "cloak"}));
        QCOMPARE(main->Label1->text(), QStringLiteral("2 items in database"));
    }

    void okTakesOnlyTheFirstOfRepeatedNamesAndNoRepeatedDescription()
    {
        openAfterDownload(crlf({"sword", "sharp|", "sword", "blunt|", "dagger", "grey|", "shield", "round|", ""}));
        press(&Form6::Command1_Click);
        QVERIFY(bothWindowsClose());
        // "dagger" repeats the cloak's description; the empty last line is no item.
        QCOMPARE(folder->read("database.txt"),
                 kDatabase + crlf({"sword", "sharp|", "shield", "round|"}));
        QCOMPARE(listed(), (QStringList{"ring", "cloak", "sword", "shield"}));
    }

    void okIntoAnotherDatabaseLeavesTheCurrentOneListed()
    {
        folder->write("other.txt", crlf({"axe", "heavy|", "axe", "light|"}));
        openAfterDownload(crlf({"axe", "new|", "bow", "long|"}));
        form->List1->setCurrentRow(1);
        main->selectIndex(0);
        press(&Form6::Command1_Click);
        QVERIFY(bothWindowsClose());
        // Both axes of the target stay.
        QCOMPARE(folder->read("other.txt"), crlf({"axe", "heavy|", "axe", "light|", "bow", "long|"}));
        QCOMPARE(folder->read("database.txt"), kDatabase);
        QCOMPARE(listed(), (QStringList{"ring", "cloak"}));
        QCOMPARE(state->current_db_file, QStringLiteral("database.txt"));
        // The description view is not cleared.
        QCOMPARE(main->Text1->toPlainText(), QStringLiteral("gold\n"));
    }

    void aZeroByteDownloadChangesNothingOnOk()
    {
        openAfterDownload(QByteArray());
        press(&Form6::Command1_Click);
        QVERIFY(bothWindowsClose());
        QCOMPARE(folder->read("database.txt"), kDatabase);
    }

    void okWithoutASelectionAsksForOne()
    {
        state->selectDatabase("uncatalogued", "uncatalogued.txt");
        openAfterDownload(crlf({"sword", "sharp|"}));
        QVERIFY(form->List1->selectedItems().isEmpty());
        dialogs.expectMessage(kSelectTarget);
        press(&Form6::Command1_Click);
        QVERIFY(bothWindowsStayOpen());
        QVERIFY(downloadKept());
    }

    void aBrokenTargetOrDownloadIsReportedAndNothingIsLost()
    {
        openAfterDownload(crlf({"sword", "sharp|"}));
        // The target ends inside an item.
        const QByteArray broken = crlf({"ring", "gold|", "cloak"});
        folder->write("database.txt", broken);
        dialogs.expectMessage(
            "Unanticipated error #62  Description: Input past end of file (database.txt, after line 3)   Source: "
            "Gearledger");
        press(&Form6::Command1_Click);
        QCOMPARE(folder->read("database.txt"), broken);

        // The target is missing.
        QVERIFY(QFile::remove(folder->file("other.txt")));
        form->List1->setCurrentRow(1);
        dialogs.expectMessage("Unanticipated error #53  Description: File not found (other.txt)   Source: Gearledger");
        press(&Form6::Command1_Click);
        QVERIFY(!folder->exists("other.txt"));

        // The download's last name has no description: neither button writes anything.
        folder->write("database.txt", kDatabase);
        writeDownload(crlf({"sword", "sharp|", "shield"}));
        const QString incomplete = QStringLiteral(
            "Unanticipated error #62  Description: Input past end of file (tmp94838.txt, after line 3)   Source: "
            "Gearledger");
        form->List1->setCurrentRow(0);
        dialogs.expectMessage(incomplete);
        press(&Form6::Command1_Click);
        dialogs.expectInput(kPrompt, "fresh");
        dialogs.expectMessage(incomplete);
        press(&Form6::Command2_Click);
        QCOMPARE(folder->read("database.txt"), kDatabase);
        QVERIFY(!folder->exists("fresh.txt"));
        QCOMPARE(folder->read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "other", "other.txt"}));
        QVERIFY(bothWindowsStayOpen());
        QVERIFY(downloadKept());
    }

    void newDbMakesANewCurrentDatabaseOfTheDistinctItems()
    {
        openAfterDownload(crlf({"sword", "sharp|", "sword", "blunt|", "spear", "sharp|", "ring", "gold|", ""}));
        dialogs.expectInput(kPrompt, "My Mud");
        press(&Form6::Command2_Click);
        QCOMPARE(dialogs.lastTitle, QStringLiteral("New database"));
        QCOMPARE(dialogs.lastDefaultText, QStringLiteral("mydatabase"));
        QVERIFY(bothWindowsClose());
        QCOMPARE(folder->read("My Mud.txt"), crlf({"sword", "sharp|", "ring", "gold|"}));
        QCOMPARE(folder->read("datalist.txt"),
                 crlf({" 3 ", "database", "database.txt", "other", "other.txt", "My Mud", "My Mud.txt"}));
        QCOMPARE(state->current_db_name, QStringLiteral("My Mud"));
        QCOMPARE(state->current_db_file, QStringLiteral("My Mud.txt"));
        QCOMPARE(listed(), (QStringList{"sword", "ring"}));
        QCOMPARE(main->Label1->text(), QStringLiteral("2 items in My Mud"));
        QVERIFY(!downloadKept());
        QCOMPARE(folder->read("database.txt"), kDatabase);
    }

    void newDbOfAZeroByteDownloadIsAnEmptyDatabase()
    {
        openAfterDownload(QByteArray());
        dialogs.expectInput(kPrompt, "empty");
        press(&Form6::Command2_Click);
        QVERIFY(bothWindowsClose());
        QCOMPARE(folder->read("empty.txt"), QByteArray());
        QCOMPARE(main->Label1->text(), QStringLiteral("0 items in empty"));
    }

    void newDbCancelledOrRefusedChangesNothing()
    {
        openAfterDownload(crlf({"sword", "sharp|"}));
        const QByteArray catalogueBefore = folder->read("datalist.txt");
        dialogs.expectInput(kPrompt, QString()); // Cancel or an emptied text
        press(&Form6::Command2_Click);
        // An existing database is never overwritten, by its name or by its file.
        dialogs.expectInput(kPrompt, "other");
        dialogs.expectMessage(QStringLiteral("There is already a database named \"other\". Please choose another name."));
        press(&Form6::Command2_Click);
        folder->write("loose.txt", crlf({"kept", "safe|"}));
        dialogs.expectInput(kPrompt, "loose");
        dialogs.expectMessage(
            QStringLiteral("A file named loose.txt already exists in the program folder. Please choose another name."));
        press(&Form6::Command2_Click);
        dialogs.expectInput(kPrompt, "../escape");
        dialogs.expectMessage(QStringLiteral("A database name cannot contain \"/\" or \"\\\". Please choose another name."));
        press(&Form6::Command2_Click);

        QCOMPARE(folder->read("datalist.txt"), catalogueBefore);
        QCOMPARE(folder->read("other.txt"), crlf({"axe", "heavy|"}));
        QCOMPARE(folder->read("loose.txt"), crlf({"kept", "safe|"}));
        QCOMPARE(state->current_db_file, QStringLiteral("database.txt"));
        QVERIFY(bothWindowsStayOpen());
        QVERIFY(downloadKept());
    }

    void aMissingCatalogueIsSeededAndBothWindowsCloseKeepingTheDownload()
    {
        QVERIFY(QFile::remove(folder->file("datalist.txt")));
        dialogs.expectMessage(
            QStringLiteral("Could not open the datalist.txt file, this file will be created. Please Try again."));
        openAfterDownload(crlf({"sword", "sharp|"}));
        QVERIFY(bothWindowsClose());
        QCOMPARE(folder->read("datalist.txt"), crlf({"1", "database", "database.txt"}));
        QVERIFY(downloadKept());
    }

    void aCatalogueReadInPartIsReportedAndOffersWhatWasRead()
    {
        folder->write("datalist.txt", crlf({" 3 ", "database", "database.txt", "other", "other.txt"}));
        dialogs.expectMessage(QStringLiteral("Unanticipated error #62"));
        openAfterDownload(crlf({"sword", "sharp|"}));
        QCOMPARE(offered(), (QStringList{"database", "other"}));
        // The merge still works; a new database would need the whole catalogue.
        dialogs.expectInput(kPrompt, "fresh");
        dialogs.expectMessage(QStringLiteral("The catalogue file datalist.txt could not be read in full, so no database "
                                             "can be added to it. Please correct the file and open this window again."));
        press(&Form6::Command2_Click);
        QVERIFY(!folder->exists("fresh.txt"));
    }
};

QTEST_MAIN(Form6Test)
#include "form6_test.moc"
