// The Which Database window: merging a download into a catalogued database,
// making a new database of it, and what happens when something is missing.
#include "catalogue/form6.h"
#include "download/download_files.h"
#include "download/form5.h"
#include "support/started_program.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPointer>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {
const QString kPrompt = QStringLiteral(
    "Please enter a name for your new database. (Do not use symbols, only letters and numbers)");
const QByteArray kDatabase = crlf({"ring", "gold|", "cloak", "grey|", "cloak", "worn|"});
const QByteArray kCatalogue = crlf({" 2 ", "database", "database.txt", "other", "other.txt"}); // no other.txt
} // namespace

class Form6Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;
    QPointer<Form5> download;
    QPointer<Form6> form;
    std::unique_ptr<QAbstractItemModelTester> tester;

    // The download left `bytes` in the download file and opened this window.
    void openAfterDownload(const QByteArray &bytes)
    {
        writeDownload(bytes);
        Form1 &main = *program->form;
        download = main.windows().show<Form5>([&] { return new Form5(main, "http://127.0.0.1:9/"); });
        download->Timer1->stop();
        download->Timer2->stop();
        form = main.windows().show<Form6>([&] { return new Form6(main); });
        if (form->Form_Load())
            tester = std::make_unique<QAbstractItemModelTester>(form->List1->model(),
                                                                QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    static void writeDownload(const QByteArray &bytes) { textfile::saveAtomically(downloadfiles::databaseFilePath(), bytes); }
    static bool downloadKept() { return QFile::exists(downloadfiles::databaseFilePath()); }
    QByteArray file(const QString &name) const { return program->folder.read(name); }
    // Presses a button of the window; true when it closed both windows.
    bool press(void (Form6::*handler)())
    {
        tester.reset();
        (form->*handler)();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull() && download.isNull();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QDir(downloadfiles::privateFolder()).removeRecursively();
        dialogs.reset();
        program = std::make_unique<StartedProgram>(dialogs, kDatabase);
        program->folder.write("datalist.txt", kCatalogue);
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        tester.reset();
        program.reset();
    }

    void cleanupTestCase() { QDir(downloadfiles::privateFolder()).removeRecursively(); }

    void okMergesOnlyItemsWithANewNameAndANewDescription()
    {
        // Into the current database, which is preselected: both its cloaks stay.
        // "ring" is there already, the second "sword" repeats a name, "dagger"
        // the cloak's description, "mace" the first sword's; names differing in
        // letter case differ; the empty last line is no item.
        openAfterDownload(crlf({"ring", "silver|", "sword", "sharp|", "sword", "blunt|", "dagger", "grey|", "mace",
                                "sharp|", "Ring", "shiny|", ""}));
        QVERIFY(press(&Form6::Command1_Click));
        const QByteArray merged = kDatabase + crlf({"sword", "sharp|", "Ring", "shiny|"});
        QCOMPARE(file("database.txt"), merged);
        QVERIFY(!downloadKept());
        VERIFY_TABLE(*program);

        openAfterDownload(QByteArray());
        QVERIFY(press(&Form6::Command1_Click));
        QCOMPARE(file("database.txt"), merged);
    }

    void whatTheButtonsCannotTakeIsReportedAndNothingIsLost()
    {
        program->state.selectDatabase("uncatalogued", "uncatalogued.txt");
        openAfterDownload(crlf({"sword", "sharp|"}));
        dialogs.expectMessage("Please select a database to add the new items to.");
        press(&Form6::Command1_Click);

        // A target that ends inside an item, and one that is missing.
        form->List1->setCurrentRow(0);
        const QByteArray broken = crlf({"ring", "gold|", "cloak"});
        program->folder.write("database.txt", broken);
        dialogs.expectMessage("Unanticipated error #62  Description: Input past end of file (database.txt, after "
                              "line 3)   Source: Gearledger");
        press(&Form6::Command1_Click);
        form->List1->setCurrentRow(1);
        dialogs.expectMessage("Unanticipated error #53  Description: File not found (other.txt)   Source: Gearledger");
        press(&Form6::Command1_Click);

        // New DB never overwrites an existing database, by its name or by its file.
        dialogs.expectInput(kPrompt, QString()); // Cancel or an emptied text
        press(&Form6::Command2_Click);
        program->folder.write("loose.txt", crlf({"kept", "safe|"}));
        const std::pair<const char *, const char *> refusals[] = {
            {"other", "There is already a database named \"other\"."},
            {"loose", "A file named loose.txt already exists in the program folder."},
            {"../escape", "A database name cannot contain \"/\" or \"\\\"."}};
        for (const auto &[name, message] : refusals) {
            dialogs.expectInput(kPrompt, name);
            dialogs.expectMessage(QString(message) + " Please choose another name.");
            press(&Form6::Command2_Click);
        }

        // The download's last name has no description: neither button writes anything.
        writeDownload(crlf({"sword", "sharp|", "shield"}));
        const QString incomplete = QStringLiteral("Unanticipated error #62  Description: Input past end of file "
                                                  "(tmp94838.txt, after line 3)   Source: Gearledger");
        dialogs.expectMessage(incomplete);
        press(&Form6::Command1_Click);
        dialogs.expectInput(kPrompt, "fresh");
        dialogs.expectMessage(incomplete);
        QVERIFY(!press(&Form6::Command2_Click));
        QCOMPARE(file("database.txt"), broken);
        QCOMPARE(QDir(program->folder.path()).entryList(QDir::Files),
                 (QStringList{"database.txt", "datalist.txt", "loose.txt", "pref.txt"}));
        QCOMPARE(file("datalist.txt"), kCatalogue);
        QVERIFY(downloadKept());
    }

    void newDbMakesANewCurrentDatabaseOfTheDistinctItemsOnlyWithACatalogue()
    {
        openAfterDownload(crlf({"sword", "sharp|", "sword", "blunt|", "spear", "sharp|", "ring", "gold|", ""}));
        dialogs.expectInput(kPrompt, "My Mud");
        QVERIFY(press(&Form6::Command2_Click));
        QCOMPARE(dialogs.lastDefaultText, QStringLiteral("mydatabase"));
        QCOMPARE(dialogs.lastTitle, QStringLiteral("New database"));
        QCOMPARE(file("My Mud.txt"), crlf({"sword", "sharp|", "ring", "gold|"}));
        QCOMPARE(file("datalist.txt"),
                 crlf({" 3 ", "database", "database.txt", "other", "other.txt", "My Mud", "My Mud.txt"}));
        QCOMPARE(program->listed(), (QStringList{"sword", "ring"}));
        VERIFY_TABLE(*program);
        QVERIFY(!downloadKept());

        // Without a catalogue the window seeds it and closes both windows, keeping the download.
        QVERIFY(QFile::remove(program->folder.file("datalist.txt")));
        dialogs.expectMessage("Could not open the datalist.txt file, this file will be created. Please Try again.");
        openAfterDownload(crlf({"sword", "sharp|"}));
        QVERIFY(QTest::qWaitFor([this] { return form.isNull() && download.isNull(); }));
        QCOMPARE(file("datalist.txt"), crlf({"1", "database", "database.txt"}));
        QVERIFY(downloadKept());
    }
};

QTEST_MAIN(Form6Test)
#include "form6_test.moc"
