// File > "Add From File": importing the records of a text file.
#include "support/started_program.h"

#include <QAction>
#include <QDir>
#include <QTest>

namespace {
const QString kCheckTheFormat = QStringLiteral(
    "Before you proceed you should be sure that the file that you are about to insert is in the correct format.  "
    "A file not in the correct format can damage your database.  If you downloaded an update from Gearledger' web "
    "site the file should be fine.  View the readme.txt for more information on file formats.");
const QString kPrompt = QStringLiteral("Please type the full path of the file to insert into your database");
const QByteArray kTwoItems = crlf({"ring", "gold|", "sword", "sharp|"});
} // namespace

class ImportTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    void start(const QByteArray &database = kTwoItems) { program = std::make_unique<StartedProgram>(dialogs, database); }

    // An import of insert.txt holding these bytes that ends with this message.
    void import(const QByteArray &file,
                const QString &message = QStringLiteral("Your database has been updated successfully!"))
    {
        program->folder.write("insert.txt", file);
        importAnswering(program->folder.file("insert.txt"), message);
    }

    // An import that the user answers with this text and that ends with this message, if any.
    void importAnswering(const QString &answer, const QString &message)
    {
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectInput(kPrompt, answer);
        if (!message.isEmpty())
            dialogs.expectMessage(message);
        program->form->mnuAdd->trigger();
    }

private slots:
    void init() { dialogs.reset(); start(); }
    void cleanup() { program.reset(); VERIFY_DIALOGS(dialogs); }

    void theLongSwordAndTheRingGoToTheEndInFileOrder()
    {
        start(sampleItemBytes());
        import(crlf({"a long sword", "Sharp.", "Heavy.", "", "The Ring", ""}));
        QCOMPARE(program->database(), sampleItemBytes() + crlf({"long sword", "Sharp.|Heavy.|", "Ring", ""}));
        QCOMPARE(program->listed(), (QStringList{"small metallic ring", "long sword", "Ring"}));
        VERIFY_TABLE(*program);
    }

    void namesAreCleanedAndThoseAlreadyPresentSkippedWithTheirLines()
    {
        // The last record ends with lone CRs and no line end at all.
        import(crlf({"'Vorpal Blade',", "Snicker-snack.", "", "'an orb',", "", "'x", "", "'", "", "'x,", "gone", "",
                     "Another Sword", "", "an apple", "", "anvil", "", "the the key", "", "THE KEY", "", "the", "",
                     "An", "", "Some gold", "", "some coins", "", "SOME coins", "", "Something", "", "some", "", "th", "",
                     "the ", "lost with its empty name", "", "a ring", "copper", "", "helmet", "iron", "", "The helmet",
                     "steel", "steel", "", "Sword", "blunt", "", "", "ignored", ""})
               + "A\rround\rold");
        QCOMPARE(program->database(),
                 kTwoItems + crlf({"Vorpal Blade", "Snicker-snack.|", "orb", "", "'x", "", "'", "", "Another Sword", "",
                                   "apple", "", "anvil", "", "the key", "", "THE KEY", "", "the", "", "An", "", "gold",
                                   "", "coins", "", "SOME coins", "", "Something", "", "some", "", "th", "", "helmet",
                                   "iron|", "Sword", "blunt|", "A", "round|old|"}));
        VERIFY_TABLE(*program);
    }

    void aCancelledInputBoxStopsSilentlyAfterReloadingTheList()
    {
        program->search("ring");
        importAnswering(QString(), QString());
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Insert From File"));
        QCOMPARE(dialogs.lastDefaultText, QDir::homePath() + QStringLiteral("/insert.txt"));
        QCOMPARE(program->listed(), (QStringList{"ring", "sword"}));
        QCOMPARE(program->database(), kTwoItems);
    }

    void aMissingImportFileOrDatabaseIsNamed()
    {
        const QString missing = program->folder.file("nothing here.txt");
        importAnswering(missing, QStringLiteral("Could not find the file: ") + missing);
        importAnswering(program->folder.path(), QStringLiteral("Could not find the file: ") + program->folder.path());
        QCOMPARE(program->database(), kTwoItems);

        program->state.selectDatabase("gone", "gone.txt");
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectMessage(QStringLiteral(
            "Could not find the gone.txt file; Please go and select another database, or create a new one."));
        program->form->mnuAdd->trigger();
        QVERIFY(!program->folder.exists("gone.txt"));
    }

    void aDatabaseThatCannotBeWrittenKeepsItsItemsAndIsListedAgain()
    {
        {
            const WriteLimit full(kTwoItems.size());
            import(crlf({"helmet", "iron", "", "shield"}), QStringLiteral("Unanticipated error #75"));
        }
        QCOMPARE(program->database(), kTwoItems);
        QCOMPARE(program->listed(), (QStringList{"ring", "sword"}));
        VERIFY_TABLE(*program);
    }

    void anImportBeyondTheListCapacityAddsNothing()
    {
        QByteArray full;
        for (int i = 1; i < 10000; ++i)
            full += "item " + QByteArray::number(i) + "\r\n|\r\n";
        start(full);
        import(crlf({"one more", "", "one too many"}), QStringLiteral("Unanticipated error #9"));
        QCOMPARE(program->database(), full);
        QCOMPARE(program->listed().size(), 9999);
        VERIFY_TABLE(*program);
    }
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
