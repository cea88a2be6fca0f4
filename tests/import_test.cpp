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

    // An import answered with this path (insert.txt holding these bytes, when
    // given) that ends with this message, if any.
    void import(const QString &message, const QByteArray &bytes, QString path = {})
    {
        if (!bytes.isEmpty()) {
            program->folder.write("insert.txt", bytes);
            path = program->folder.file("insert.txt");
        }
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectInput(kPrompt, path);
        if (!message.isEmpty())
            dialogs.expectMessage(message);
        program->form->mnuAdd->trigger();
    }

private slots:
    void init() { dialogs.reset(); program = std::make_unique<StartedProgram>(dialogs, kTwoItems); }
    void cleanup() { program.reset(); VERIFY_DIALOGS(dialogs); }

    void newItemsGoToTheEndInFileOrderWithCleanedNamesAndThosePresentSkipped()
    {
        // The long sword and the Ring first; the last record ends with lone CRs and no line end at all.
        import(QStringLiteral("Your database has been updated successfully!"),
               crlf({"a long sword", "Sharp.", "Heavy.", "", "The Ring", "", "'Vorpal Blade',", "Snicker-snack.", "",
                     "'an orb',", "", "'x", "", "'", "", "Another Sword", "", "an apple", "", "anvil", "",
                     "the the key", "", "THE KEY", "", "the", "", "An", "", "Some gold", "", "some coins", "",
                     "SOME coins", "", "the ", "lost with its empty name", "", "a ring", "copper", "", "helmet", "iron",
                     "", "The helmet", "steel", "steel", "", "Sword", "blunt", "", "", "ignored", ""})
                   + "A\rround\rold");
        QCOMPARE(program->database(),
                 kTwoItems + crlf({"long sword", "Sharp.|Heavy.|", "Ring", "", "Vorpal Blade", "Snicker-snack.|", "orb",
                                   "", "'x", "", "'", "", "Another Sword", "", "apple", "", "anvil", "", "the key", "",
                                   "THE KEY", "", "the", "", "An", "", "gold", "", "coins", "", "SOME coins", "",
                                   "helmet", "iron|", "Sword", "blunt|", "A", "round|old|"}));
        QCOMPARE(program->listed().size(), 21);
        VERIFY_TABLE(*program);
    }

    void cancelledOrFailedImportsLeaveTheDatabaseAsItWas()
    {
        program->search("ring");
        import(QString(), {}); // cancelled
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Insert From File"));
        QCOMPARE(dialogs.lastDefaultText, QDir::homePath() + QStringLiteral("/insert.txt"));
        QCOMPARE(program->listed(), (QStringList{"ring", "sword"})); // listed again all the same
        for (const QString &missing : {program->folder.file("nothing here.txt"), program->folder.path()})
            import(QStringLiteral("Could not find the file: ") + missing, {}, missing);
        withWritesLimitedTo(kTwoItems.size(), [&] {
            import(QStringLiteral("Unanticipated error #75"), crlf({"helmet", "iron", "", "shield"}));
        });
        QCOMPARE(program->database(), kTwoItems);
        VERIFY_TABLE(*program);

        program->state.selectDatabase("gone", "gone.txt");
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectMessage(QStringLiteral(
            "Could not find the gone.txt file; Please go and select another database, or create a new one."));
        program->form->mnuAdd->trigger();
        QVERIFY(!program->folder.exists("gone.txt"));

        const QByteArray full = QByteArray("item\r\n|\r\n").repeated(9999);
        program = std::make_unique<StartedProgram>(dialogs, full);
        import(QStringLiteral("Unanticipated error #9"), crlf({"one more", "", "one too many"}));
        QCOMPARE(program->database(), full);
        VERIFY_TABLE(*program);
    }
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
