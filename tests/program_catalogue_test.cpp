// The program object's catalogue and download operations: choosing, creating
// and removing databases, and taking a download in.
#include "download/download_files.h"
#include "storage/text_file.h"
#include "support/program_fixture.h"
#include "support/write_limit.h"

#include <QDir>
#include <QStandardPaths>
#include <QTest>

namespace {
const QString kAgain = QStringLiteral(" Please choose another name.");
const QByteArray kCatalogue = crlf({" 3 ", "database", "database.txt", "armour", "armour.txt", "lost", "gone.txt"});
} // namespace

class ProgramCatalogueTest : public ProgramFixture
{
    Q_OBJECT

    QStringList files() const { return QDir(p->folder.path()).entryList(QDir::Files); }

public:
    ProgramCatalogueTest() : ProgramFixture(crlf({"ring", "gold|", "cloak", "grey|", "cloak", "worn|"})) {}

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        ProgramFixture::init();
        p->folder.write("datalist.txt", kCatalogue);
        p->folder.write("armour.txt", crlf({"helmet", "iron|"}));
        p->program.openCatalogue();
    }
    void cleanupTestCase() { QDir(download::privateDownloadFolder()).removeRecursively(); }

    void newNamesThatWouldLoseOrEscapeAFileAreRefusedAndOthersStartWithTheSample()
    {
        p->folder.write("loose.txt", "x\r\ny\r\n");
        const QStringList before = files();
        const QString own = QStringLiteral("The name \"Pref\" would overwrite the program's own file Pref.txt.");
        const std::pair<QString, QString> refusals[] = {
            {"database", "There is already a database named \"database\"."}, // the first entry
            {"lost", "There is already a database named \"lost\"."},
            {"loose", "A file named loose.txt already exists in the program folder."},
            {"gone", "A file named gone.txt already exists in the program folder."}, // catalogued, no file
            {"../escape", "A database name cannot contain \"/\" or \"\\\"."},
            {"..", "A database name cannot contain \"..\"."},
            {"a\tb", "A database name cannot contain control characters such as tabs or line breaks."},
            {"Pref", own},
            {"snow\u2603", "A database name cannot contain the character \"\u2603\", which the program's files cannot "
                           "hold."}};
        for (const auto &[name, message] : refusals)
            QCOMPARE(p->program.createDatabase(name).message(), message + kAgain);
        QCOMPARE(files(), before);

        QVERIFY(p->program.createDatabase("My Mud").ok());
        QCOMPARE(p->folder.read("My Mud.txt"), sampleItemBytes());
        QCOMPARE(p->folder.read("datalist.txt"), QByteArray(kCatalogue).replace(" 3 ", " 4 ") + crlf({"My Mud", "My Mud.txt"}));
        QCOMPARE(p->program.currentDatabase().fileName, QStringLiteral("database.txt")); // unchanged

        // Only an exactly catalogued name becomes current.
        QCOMPARE(p->program.chooseDatabase("").message(), QStringLiteral("You must select a proper database"));
        QCOMPARE(p->program.chooseDatabase("my mud").message(), "A proper database must be selected");
        QVERIFY(p->program.chooseDatabase("My Mud").ok());
        QCOMPARE(p->program.currentDatabasePath(), p->folder.file("My Mud.txt"));

        // A hand-edited entry naming a path or a program file (the lock file too) is neither opened nor merged into.
        for (const char *file : {"../outside.txt", "pref.txt", "scores.cfg", "gearledger.lock", "fields.txt"}) {
            p->folder.write("datalist.txt", crlf({"1", "away", file}));
            p->program.openCatalogue();
            const QString refusal = QStringLiteral("The catalogue gives the database \"away\" the file name \"%1\", "
                                                   "which is not a database file of the program folder, so it is left "
                                                   "alone. Please correct datalist.txt.").arg(file);
            QCOMPARE(p->program.chooseDatabase("away").message(), refusal);
            QCOMPARE(p->program.mergeDownload(0).message(), refusal);
        }
        QCOMPARE(p->program.currentDatabasePath(), p->folder.file("My Mud.txt"));
    }

    void onlyACataloguedDatabaseIsRemovedAndThePrimaryBecomesCurrent()
    {
        QVERIFY(p->program.chooseDatabase("armour").ok());
        for (const auto &[text, message] :
             {std::pair{"", "You must select a proper database"}, {"database", "You cannot delete the primary database"},
              {"Armour", "A proper database must be selected"}})
            QCOMPARE(p->program.removeDatabase(text).message(), QString(message));
        QVERIFY(p->program.removeDatabase("armour").ok());
        QVERIFY(!p->folder.exists("armour.txt"));
        QCOMPARE(p->folder.read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "lost", "gone.txt"}));
        QCOMPARE(p->program.currentDatabase().displayName, QStringLiteral("database"));
        // A database whose file is already gone can still leave the catalogue.
        QVERIFY(p->program.removeDatabase("lost").ok());
        QCOMPARE(p->folder.read("datalist.txt"), crlf({" 1 ", "database", "database.txt"}));

        // A catalogue not read in full is never rewritten: it would lose the entries not read.
        const QByteArray tooMany = crlf({"51", "database", "database.txt", "armour", "armour.txt"});
        p->folder.write("datalist.txt", tooMany);
        p->program.openCatalogue();
        QVERIFY(p->program.createDatabase("fresh").message().contains("could not be read in full"));
        QVERIFY(p->program.removeDatabase("armour").message().contains("could not be read in full"));
        QCOMPARE(p->folder.read("datalist.txt"), tooMany);
        QFile::remove(p->folder.file("datalist.txt")); // and a missing one whose seed cannot be written
        withWritesLimitedTo(0, [&] { QVERIFY(p->program.openCatalogue().failure); });
        QVERIFY(p->program.createDatabase("fresh").message().contains("could not be read in full"));
        QVERIFY(!p->folder.exists("datalist.txt"));
    }

    void aDownloadTakesOnlyItemsWithANewNameAndANewDescription()
    {
        const auto download = [](const QByteArray &bytes) {
            storage::saveAtomically(download::databaseFilePath(), bytes);
        };
        // "ring" is there already, the second "sword" repeats a name, "dagger" the
        // cloak's description, "mace" the first sword's; letter case differs; the
        // empty name is a name, the empty last line no item; both cloaks of the target stay.
        download(crlf({"ring", "silver|", "sword", "sharp|", "sword", "blunt|", "dagger", "grey|", "mace", "sharp|",
                       "Ring", "shiny|", "", "nameless|", ""}));
        QCOMPARE(p->program.mergeDownload(-1).message(), "Please select a database to add the new items to.");
        QVERIFY(p->program.mergeDownload(0).ok());
        const QByteArray merged = crlf({"ring", "gold|", "cloak", "grey|", "cloak", "worn|", "sword", "sharp|", "Ring",
                                        "shiny|", "", "nameless|"});
        QCOMPARE(p->database(), merged);
        QCOMPARE(p->program.mergeDownload(2).message(),
                 "Unanticipated error #53  Description: File not found (gone.txt)   Source: Gearledger");

        QCOMPARE(p->program.newDatabaseFromDownload("armour").message(),
                 "There is already a database named \"armour\"." + kAgain);
        QVERIFY(p->program.newDatabaseFromDownload("Fresh").ok());
        QCOMPARE(p->folder.read("Fresh.txt"),
                 crlf({"ring", "silver|", "sword", "sharp|", "dagger", "grey|", "Ring", "shiny|", "", "nameless|"}));
        QCOMPARE(p->program.currentDatabase().fileName, QStringLiteral("Fresh.txt"));

        // A download whose last name has no description: nothing is written.
        download(crlf({"axe", "keen|", "shield"}));
        QVERIFY(p->program.mergeDownload(0).failure());
        QVERIFY(p->program.newDatabaseFromDownload("Other").failure());
        QCOMPARE(p->database(), merged);
        QVERIFY(!p->folder.exists("Other.txt"));
        QVERIFY(p->program.discardDownload().ok());
        QVERIFY(!QFile::exists(download::databaseFilePath()));
    }
};

QTEST_GUILESS_MAIN(ProgramCatalogueTest)
#include "program_catalogue_test.moc"
