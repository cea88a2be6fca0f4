// File > "Add From File": importing the records of a text file, the duplicate test, and every way
// an import can stop.
#include "editing/item_import.h"
#include "main_window/import_command.h"
#include "support/program_fixture.h"
#include "support/write_limit.h"

#include <QDir>
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

class ImportCommandTest : public ProgramFixture
{
    Q_OBJECT

    // An import answered with the path of insert.txt holding `bytes` (or with
    // `path`), ending with `message` when one is given.
    void import(const QString &message, const QByteArray &bytes, QString path = {}, double cancelAt = 2)
    {
        if (!bytes.isEmpty()) {
            p->folder.write("insert.txt", bytes);
            path = p->folder.file("insert.txt");
        }
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectInput(kPrompt, path);
        if (!path.isEmpty())
            dialogs.expectProgress("Adding the items of " + path, cancelAt);
        if (!message.isEmpty())
            dialogs.expectMessage(message);
        main_window::runImport(p->program, dialogs);
    }

public:
    ImportCommandTest() : ProgramFixture(kTwoItems) {}

private slots:

    // The duplicate test compares exactly; the empty name is never new.
    void theDuplicateTestComparesExactlyAndNeverTakesTheEmptyName()
    {
        editing::NameTable names;
        names.add(QByteArray("ring"));
        names.add(QString("sword"));
        QVERIFY(!names.isNew(QByteArray("ring")) && names.isNew(QString("Ring")) && names.isNew(QString("ring ")));
        QVERIFY(!names.isNew(QString()));
    }

    void newItemsGoToTheEndInFileOrderWithCleanedNamesAndThosePresentSkipped()
    {
        // The last record ends with lone CRs and no line end at all.
        import(kUpdated, crlf({"a long sword", "Sharp.", "Heavy.", "", "The Ring", "", "'Vorpal Blade',",
                               "Snicker-snack.", "", "'x", "", "Another Sword", "", "an apple", "", "anvil", "",
                               "the the key", "", "THE KEY", "", "the", "", "Some gold", "", "the ",
                               "lost with its empty name", "", "'ab", "lost with its empty name too", "", "a ring", "copper", "", "helmet", "iron", "",
                               "The helmet", "steel", "", "", "ignored", ""})
                             + "A\rround\rold");
        QCOMPARE(p->database(),
                 kTwoItems + crlf({"long sword", "Sharp.|Heavy.|", "Ring", "", "Vorpal Blade", "Snicker-snack.|", "'x",
                                   "", "Another Sword", "", "apple", "", "anvil", "", "the key", "", "THE KEY", "",
                                   "the", "", "gold", "", "helmet", "iron|", "A", "round|old|"}));
        QCOMPARE(p->program.countText(), QStringLiteral("15 items in database"));
        VERIFY_TABLE(*p);
        const QByteArray imported = p->database();
        import(kUpdated, p->folder.read("insert.txt")); // again: nothing is new
        QCOMPARE(p->database(), imported);
    }

    void aCancelledOrFailedImportLeavesTheDatabaseAsItWas()
    {
        QVERIFY(p->program.search("ring", true, false).ok());
        import(QString(), {}); // cancelled: the database is listed again all the same
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Insert From File"));
        QCOMPARE(dialogs.lastDefaultText, QDir::homePath() + QStringLiteral("/insert.txt"));
        QCOMPARE(p->listed(), (QStringList{"ring", "sword"}));
        for (const QString &missing : {p->folder.file("nothing here.txt"), p->folder.path()})
            import(QStringLiteral("Could not find the file: ") + missing, {}, missing);
        withWritesLimitedTo(kTwoItems.size(), [&] {
            import(QStringLiteral("Unanticipated error #75"), crlf({"helmet", "iron", "", "shield"}));
        });
        QCOMPARE(p->database(), kTwoItems);
        // A file that cannot be read is not missing: the reason is told.
        p->folder.write("insert.txt", kTwoItems);
        withNoFileOpening([&] {
            QCOMPARE(p->program.importItems(p->folder.file("insert.txt")).message(),
                     QStringLiteral("Unanticipated error #75  Description: Path/File access error: could not read "
                                    "insert.txt (Too many open files)   Source: Gearledger"));
        });


        import({}, crlf({"helmet", "iron", ""}), {}, 0.5); // cancelled: nothing is written
        QCOMPARE(p->database(), kTwoItems);

        QFile::remove(p->folder.file("database.txt"));
        dialogs.expectMessage(kCheckTheFormat);
        dialogs.expectMessage(QStringLiteral(
            "Could not find the database.txt file; Please go and select another database, or create a new one."));
        main_window::runImport(p->program, dialogs);
    }
};

QTEST_GUILESS_MAIN(ImportCommandTest)
#include "import_command_test.moc"
