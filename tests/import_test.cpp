// File > "Add From File": importing the records of a text file.
#include "editing/editing_menu.h"
#include "support/started_program.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {
const QString kCheckTheFormat = QStringLiteral(
    "Before you proceed you should be sure that the file that you are about to insert is in the correct format.  "
    "A file not in the correct format can damage your database.  If you downloaded an update from Gearledger' web "
    "site the file should be fine.  View the readme.txt for more information on file formats.");
const QString kPrompt = QStringLiteral("Please type the full path of the file to insert into your database");
const QString kUpdated = QStringLiteral("Your database has been updated successfully!");
const QByteArray kTwoItems = crlf({"ring", "gold|", "sword", "sharp|"});
} // namespace

class ImportTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    void start(const QByteArray &database = kTwoItems)
    {
        program = std::make_unique<StartedProgram>(dialogs, database);
    }

    // Imports insert.txt of the program folder holding these bytes; the
    // import succeeds.
    void import(const QByteArray &file)
    {
        program->folder.write("insert.txt", file);
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectInput(kPrompt, program->folder.file("insert.txt"));
        dialogs.expectMessage(kUpdated);
        program->form->mnuAdd->trigger();
    }

    // An import that the user answers with this text and that stops with this message.
    void importStopping(const QString &answer, const QString &message)
    {
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectInput(kPrompt, answer);
        dialogs.expectMessage(message);
        program->form->mnuAdd->trigger();
    }

    void search(const QString &text)
    {
        program->form->Text2->setText(text);
        program->form->Command2_Click();
    }

private slots:
    void init() { dialogs.reset(); }
    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        program.reset();
    }

    void theLongSwordAndTheRingGoToTheEndInFileOrder()
    {
        start(sampleItemBytes());
        import(crlf({"a long sword", "Sharp.", "Heavy.", "", "The Ring", ""}));
        QCOMPARE(program->database(), sampleItemBytes() + crlf({"long sword", "Sharp.|Heavy.|", "Ring", ""}));
        QCOMPARE(program->listed(), (QStringList{"small metallic ring", "long sword", "Ring"}));
        QCOMPARE(program->form->Label1->text(), QStringLiteral("3 items in database"));
        VERIFY_TABLE(*program);
    }

    void quotedNamesAreUnquoted()
    {
        start();
        import(crlf({"'Vorpal Blade',", "Snicker-snack.", "", "'an orb',", "", "'x", "", "'"}));
        QCOMPARE(program->database(), kTwoItems + crlf({"Vorpal Blade", "Snicker-snack.|", "orb", "", "'x", "", "'", ""}));
    }

    void oneLeadingArticleGoesAndEveryOtherNameStays()
    {
        start();
        import(crlf({"Another Sword", "", "an apple", "", "anvil", "", "the the key", "", "THE KEY", "", "the", "", "An",
                     "", "the ", "lost with its empty name", "", "A"}));
        QCOMPARE(program->database(), kTwoItems + crlf({"Another Sword", "", "apple", "", "anvil", "", "the key", "",
                                                        "THE KEY", "", "the", "", "An", "", "A", ""}));
        VERIFY_TABLE(*program);
    }

    void namesAlreadyPresentAreSkippedWithTheirLines()
    {
        start();
        import(crlf({"a ring", "copper", "", "helmet", "iron", "", "The helmet", "steel", "steel", "", "Sword", "blunt",
                     "", "", "ignored", "", "shield"}));
        QCOMPARE(program->database(), kTwoItems + crlf({"helmet", "iron|", "Sword", "blunt|", "shield", ""}));
        VERIFY_TABLE(*program);
    }

    void importingIntoAnotherDatabaseNamesIt()
    {
        start();
        program->folder.write("armour.txt", crlf({"helmet", "iron|"}));
        program->state.selectDatabase("armour", "armour.txt");
        import(crlf({"shield", "round", "", "helmet", "steel"}));
        QCOMPARE(program->folder.read("armour.txt"), crlf({"helmet", "iron|", "shield", "round|"}));
        QCOMPARE(program->database(), kTwoItems);
        QCOMPARE(program->form->Label1->text(), QStringLiteral("2 items in armour"));
    }

    void aCancelledInputBoxStopsSilentlyAfterReloadingTheList()
    {
        start();
        search("ring");
        QCOMPARE(program->listed(), QStringList{"ring"});
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectInput(kPrompt, QString());
        program->form->mnuAdd->trigger();
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Insert From File"));
        QCOMPARE(dialogs.lastDefaultText, QDir::homePath() + QStringLiteral("/insert.txt"));
        QCOMPARE(suggestedImportPath(), dialogs.lastDefaultText);
        QCOMPARE(program->listed(), (QStringList{"ring", "sword"}));
        QCOMPARE(program->database(), kTwoItems);
        VERIFY_TABLE(*program);
    }

    void aMissingImportFileIsNamed()
    {
        start();
        const QString missing = program->folder.file("nothing here.txt");
        importStopping(missing, QStringLiteral("Could not find the file: ") + missing);
        importStopping(program->folder.path(), QStringLiteral("Could not find the file: ") + program->folder.path());
        QCOMPARE(program->database(), kTwoItems);
    }

    void aMissingDatabaseIsNamedBeforeAnythingIsAsked()
    {
        start();
        program->state.selectDatabase("gone", "gone.txt");
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectMessage(QStringLiteral(
            "Could not find the gone.txt file; Please go and select another database, or create a new one."));
        program->form->mnuAdd->trigger();
        QVERIFY(!program->folder.exists("gone.txt"));
        QVERIFY(program->listed().isEmpty());
    }

    void aDatabaseThatCannotBeWrittenKeepsItsItemsAndIsListedAgain()
    {
        start();
        program->folder.write("insert.txt", crlf({"helmet", "iron", "", "shield"}));
        {
            const WriteLimit full(kTwoItems.size());
            importStopping(program->folder.file("insert.txt"), QStringLiteral("Unanticipated error #75"));
        }
        QCOMPARE(program->database(), kTwoItems);
        QCOMPARE(program->listed(), (QStringList{"ring", "sword"}));
        VERIFY_TABLE(*program);
    }

    void aDatabaseEndingInsideARecordIsNotTouched()
    {
        dialogs.expectMessage(QStringLiteral("Unanticipated error #62  Description: Input past end of file "
                                             "(database.txt, after line 3)   Source: Gearledger"));
        start(crlf({"ring", "gold|", "sword"}));
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectMessage(QStringLiteral("Unanticipated error #62"));
        program->form->mnuAdd->trigger();
        QCOMPARE(program->database(), crlf({"ring", "gold|", "sword"}));
    }

    void anImportBeyondTheListCapacityAddsNothing()
    {
        QByteArray full;
        for (int i = 1; i < 10000; ++i)
            full += "item " + QByteArray::number(i) + "\r\n|\r\n";
        start(full);
        program->folder.write("insert.txt", crlf({"one more", "", "one too many"}));
        importStopping(program->folder.file("insert.txt"), QStringLiteral("Unanticipated error #9"));
        QCOMPARE(program->database(), full);
        QCOMPARE(program->listed().size(), 9999);
        VERIFY_TABLE(*program);
    }
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
