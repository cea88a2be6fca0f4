// The program object: start-up, listing, search, and the one-item changes.
#include "support/program_fixture.h"
#include "support/write_limit.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace {
const QString kSource = QStringLiteral("   Source: Gearledger");
// Twin names; a record without a final bar; a lone LF, Windows-1252 bytes and an empty last line.
const QByteArray kOddItems = crlf({"ring", "first|", "axe", "", "ring", "gold|old", "caf\xE9\nx", "\x80 5|\x81||"});

} // namespace

class ProgramTest : public DialogsFixture
{
    Q_OBJECT

private slots:

    void theFirstStartWritesBothFilesAfterTheirNoticesAndListsOnlyOnTheNextListing()
    {
        TestFolder folder;
        {
            program::Program program(folder.path());
            QSignalSpy counted(&program, &program::Program::listingChanged);
            dialogs.expectMessage("Could not find the Preference file: pref.txt  This file will be created.");
            dialogs.expectMessage("Could not find the database.txt file, please be sure that the database.txt is in "
                                  "the same folder as the program.  A database will now be created.");
            QVERIFY(program.startUp(dialogs, {}).ok());
            QCOMPARE(folder.read("pref.txt"), QByteArray(" 0 \r\n 65280 \r\n 65280 \r\n"));
            QCOMPARE(folder.read("database.txt"), sampleItemBytes());
            QCOMPARE(program.colours().descriptionText, std::optional<quint32>(65280));
            QCOMPARE(program.items().rowCount(), 0);
            QCOMPARE(counted.count(), 0); // the count label keeps its caption
            QVERIFY(program.listAll().ok());
            QCOMPARE(program.countText(), QStringLiteral("1 items in database"));
        }

        // A bad second line: the background stays applied, the rest and the listing never come.
        folder.write("pref.txt", "255\r\nblue\r\n0\r\n");
        program::Program again(folder.path());
        bool listed = false;
        const base::Outcome started = again.startUp(dialogs, [&] { listed = true; });
        QCOMPARE(started.message(), "Unanticipated error #13  Description: Type mismatch (pref.txt line 2 is not a "
                                    "number)" + kSource);
        QCOMPARE(again.colours().background, std::optional<quint32>(255));
        QVERIFY(!again.colours().itemText && !listed && again.items().rowCount() == 0);
    }

    // A database kept elsewhere through a link is saved beside its target: a killed save leaves its leftover there.
    void startUpCleansTheFoldersThatDatabaseLinksLeadToOfTheirLeftoversOnly()
    {
        TestFolder elsewhere;
        const QStringList kept{".database.txt.gearledger-save-abc123", ".notes.txt.gearledger-save-abc123", "real.txt"};
        for (const QString &name : kept)
            elsewhere.write(name, sampleItemBytes());
        elsewhere.write(".real.txt.gearledger-save-Ab3dE9", "killed save");
        elsewhere.write(".armour.txt.gearledger-save-000000", "killed save");
        TestFolder folder;
        folder.write("pref.txt", " 0 \r\n 65280 \r\n 65280 \r\n");
        folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        QVERIFY(QFile::link(elsewhere.file("real.txt"), folder.file("database.txt")));
        QVERIFY(QFile::link(elsewhere.file("armour.txt"), folder.file("armour.txt"))); // its target is gone
        QVERIFY(program::Program(folder.path()).startUp(dialogs, {}).ok());
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
    }

    void aListingKeepsFileOrderAndWhatWasReadBeforeAFailure()
    {
        ProgramOnFolder p(dialogs, crlf({"first", "one|", "second"}));
        QCOMPARE(p.listed(), (QStringList{"first", "second"})); // also at start-up, which reported nothing
        QCOMPARE(p.program.listAll().message(),
                 "Unanticipated error #62  Description: Input past end of file (database.txt, after line 3)" + kSource);
        QCOMPARE(p.program.countText(), QStringLiteral("2 items in database"));
        // Model indexes of the listed entries only.
        const QAbstractItemModel &table = *p.program.itemTable();
        QVERIFY(table.index(1, 0).isValid());
        for (const auto &[row, column] : {std::pair{-1, 0}, {2, 0}, {0, 1}})
            QVERIFY(!table.index(row, column).isValid());
        QVERIFY(!table.index(0, 0, table.index(0, 0)).isValid());

        QFile::remove(p.folder.file("database.txt"));
        QCOMPARE(p.program.listAll().failure()->number(), 53);
        QCOMPARE(p.program.countText(), QStringLiteral("0 items in database"));
    }

    void aSearchListsTheHitsIgnoringCaseWhereItIsToldAndShowsTheFirst()
    {
        ProgramOnFolder p(dialogs, sampleItemBytes() + crlf({"Iron Ring", "plain|", "", "ring of magic|", "Dagger", ""}));
        QSignalSpy shown(&p.program, &program::Program::descriptionShown);
        const auto hits = [&](const QString &text, bool names, bool descriptions) {
            return p.program.search(text, names, descriptions).ok() ? p.listed() : QStringList{"<failed>"};
        };
        QCOMPARE(hits("RING", true, false), (QStringList{"small metallic ring", "Iron Ring"}));
        QCOMPARE(shown.last().first().toString(), p.program.items().description(0));
        QCOMPARE(hits("magic", true, false), QStringList{});
        QCOMPARE(shown.last().first().toString(), QString());
        QCOMPARE(hits("magic", false, true), (QStringList{"small metallic ring", ""}));
        QCOMPARE(hits("PLAIN", true, true), QStringList{"Iron Ring"});
        QCOMPARE(p.program.items().record(0), 1);
        QCOMPARE(hits("|", false, true).size(), 3); // "|" is an ordinary character
        QCOMPARE(hits("", true, false), (QStringList{"small metallic ring", "Iron Ring", "Dagger"}));
        QCOMPARE(hits("", false, true).size(), 3); // an empty text is in every non-empty text only

        QCOMPARE(p.program.search("ring", false, false).message(),
                 QStringLiteral("You must search in at least one of the Items or Descriptions' text.  Please check "
                                "an area to search in."));
        QCOMPARE(p.listed().size(), 3); // untouched by the refusal
    }

    // Above the background size a search returns before its hits are listed; what happens meanwhile decides
    // whether they ever are.
    void aLargeSearchRunsInTheBackgroundAndOnlyTheNewestOneOfTheUnchangedDatabaseIsListed()
    {
        ProgramOnFolder p(dialogs, sampleItemBytes() + crlf({"Iron Ring", "plain|", "Dagger", "sharp|"}));
        const QStringList all = p.listed();
        QVERIFY(p.program.search("ring", true, false).ok());
        const QStringList hits = p.listed();
        QVERIFY(p.program.listAll().ok());
        p.program.setBackgroundSearchBytes(-1); // even an empty file
        QStringList ends;
        connect(&p.program, &program::Program::searchEnded, this, [&](const base::Outcome &outcome) {
            ends.append(outcome.ok() ? "done" : outcome.wasCancelled() ? "cancelled" : outcome.message());
        });
        const struct
        {
            std::function<void()> meanwhile;
            QStringList ends, listed;
        } cases[] = {
            {[] {}, {"done"}, hits},
            {[&] { QVERIFY(p.program.startSearch("dagger", true, false).ok()); }, {"cancelled", "done"}, {"Dagger"}},
            {[&] { QVERIFY(p.program.listAll().ok()); }, {"cancelled"}, all},
            {[&] { QVERIFY(p.program.deleteListedItem(0).ok()); }, {"cancelled"}, all.mid(1)},
        };
        for (const auto &c : cases) {
            ends.clear();
            const QStringList before = p.listed();
            QVERIFY(p.program.startSearch("ring", true, false).ok());
            QVERIFY(p.program.searchRunning());
            QCOMPARE(p.listed(), before);
            c.meanwhile();
            QTRY_COMPARE(ends, c.ends);
            QCoreApplication::processEvents(); // the end of a dropped search, posted before it was dropped
            QCOMPARE(p.listed(), c.listed);
            QVERIFY(!p.program.searchRunning());
        }

        // A file changed since it was listed is read on the search's thread too, its failure told at the end.
        QFile::remove(p.folder.file("database.txt"));
        ends.clear();
        QVERIFY(p.program.startSearch("ring", true, false).ok());
        QTRY_COMPARE(ends.size(), 1);
        QVERIFY(ends.first().startsWith("Unanticipated error #53"));
        QCOMPARE(p.program.countText(), QStringLiteral("0 items in database"));
        QVERIFY(p.program.startSearch("ring", true, false).ok()); // the program ends while it runs
    }

    void addingAppendsWhatWasTypedAndNothingWhenItCannotBeWritten()
    {
        const QByteArray twoItems = crlf({"ring", "gold|", "sword", "sharp|"});
        std::signal(SIGXFSZ, SIG_DFL); // as the program starts
        ProgramOnFolder p(dialogs, twoItems);
        const QString refused = QStringLiteral("Unanticipated error #5  Description: Invalid argument: the text holds "
                                               "the character \"\u2603\" (U+2603), which cannot be stored in the "
                                               "program's files; nothing was written") + kSource;
        QCOMPARE(p.program.addItem(QString::fromUtf8("snow \u2603"), "cold").message(), refused);
        QCOMPARE(p.program.addItem("snow", QString::fromUtf8("\u2603")).message(), refused);
        QVERIFY(!p.folder.exists("42198739.txt"));
        // A write past the file-size limit fails with its message: the signal the kernel sends kills nothing.
        withLimit(RLIMIT_FSIZE, twoItems.size(), [&] {
            QCOMPARE(p.program.addItem("helmet", "iron").message(),
                     "Unanticipated error #75  Description: Path/File access error: could not write database.txt "
                     "(File too large)" + kSource);
        });
        QCOMPARE(p.database(), twoItems);

        // Nothing else is checked: empty texts, a final line end, a repeated name.
        for (const auto &[name, typed] : {std::pair{"helmet", "caf\u00E9\n5 \u20AC"}, {"", ""}, {"cloak", "x\n"},
                                          {"ring", "silver"}})
            QVERIFY(p.program.addItem(QString::fromUtf8(name), QString::fromUtf8(typed)).ok());
        QCOMPARE(p.database(), twoItems + crlf({"helmet", "caf\xE9|5 \x80|", "", "|", "cloak", "x||", "ring",
                                                "silver|"}));
        QCOMPARE(p.folder.read("42198739.txt"), crlf({"silver"})); // the scratch file keeps the last text typed

        // A last line without its line end gets one first (lone CRs stay); a missing file is made.
        p.folder.write("database.txt", "x\ry");
        QVERIFY(p.program.addItem("a", "").ok());
        QCOMPARE(p.database(), QByteArray("x\ry\r\na\r\n|\r\n"));
        QFile::remove(p.folder.file("database.txt"));
        QVERIFY(p.program.addItem("b", "").ok());
        QCOMPARE(p.database(), crlf({"b", "|"}));
    }

    void anUpdateReplacesExactlyTheListedRecordAndWritesUnchangedTextsBackAsRead()
    {
        ProgramOnFolder p(dialogs, kOddItems);
        for (int row = 0; row < 4; ++row)
            QVERIFY(p.program.replaceItem(*p.program.listedItem(row), std::nullopt, std::nullopt).ok());
        QCOMPARE(p.database(), kOddItems);

        QVERIFY(p.program.search("ring", true, false).ok());
        const program::ListedItem laterRing = *p.program.listedItem(1);
        QCOMPARE(laterRing.record, 2);
        QVERIFY(p.program.replaceItem(laterRing, QString("gold ring"), QString("third\nline")).ok());
        const QByteArray edited =
            crlf({"ring", "first|", "axe", "", "gold ring", "third|line|", "caf\xE9\nx", "\x80 5|\x81||"});
        QCOMPARE(p.database(), edited);

        // The listed item is no longer there: nothing changes.
        QCOMPARE(p.program.replaceItem(laterRing, QString("x"), std::nullopt).message(),
                 QStringLiteral("This item is no longer at its place in the database file: the file has been changed "
                                "since the item was selected.  Nothing was written.  Select the item again to edit "
                                "it."));
        QCOMPARE(p.database(), edited);
    }

    void aDeleteTakesExactlyTheListedRecordAndItsEntry()
    {
        const QByteArray twins = crlf({"ring", "first|", "ring", "second|", "sword", "sharp|", "shield", "round|"});
        ProgramOnFolder p(dialogs, twins);
        QVERIFY(p.program.deleteListedItem(1).ok()); // the later ring
        QCOMPARE(p.database(), crlf({"ring", "first|", "sword", "sharp|", "shield", "round|"}));
        QCOMPARE(p.program.countText(), QStringLiteral("3 items in database"));
        VERIFY_TABLE(p);

        QCOMPARE(p.program.deleteListedItem(3).message(), program::kNoItemSelected);

        QVERIFY(p.program.listAll().ok());
        p.folder.write("database.txt", crlf({"sword", "sharp|"}));
        QCOMPARE(p.program.deleteListedItem(0).message(),
                 QStringLiteral("The selected item is no longer at its place in the database file: the file has "
                                "been changed since the list was filled.  Nothing was deleted.  Press Show All and "
                                "select the item again."));
        QCOMPARE(p.database(), crlf({"sword", "sharp|"}));
    }

    // Changes one after another, each starting from what the one before left listed: "u ROW NAME" renames,
    // "d ROW" deletes, "a NAME" adds, "s TEXT" searches in names, "z" undoes. After each the table lists what a
    // program started on the file lists (after the same search), and at the end the file holds `written`.
    void theTableFollowsEveryChangeAsTheFileHoldsIt_data()
    {
        QTest::addColumn<QByteArray>("database");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("start, middle and end, twins, no final bar")
            << crlf({"ring", "first|", "ring", "second", "sword", "sharp|"})
            << QStringList{"u 0 a longer ring", "d 1", "a axe", "u 2 ax", "d 0", "u 0 x"}
            << crlf({"x", "sharp|", "ax", ""});
        QTest::newRow("lone CR and LF") << QByteArray("a\rb|\r\nc\nd\r\ne|\r")
                                        << QStringList{"u 1 c\nd2", "a f", "d 0", "u 0 g"}
                                        << QByteArray("g\r\ne|\rf\r\n\r\n");
        QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{"a c", "u 0 aa", "d 1"}
                                           << QByteArray("aa\r\nb\r\n");
        QTest::newRow("dangling last name") << QByteArray("a\r\nx|\r\nb") << QStringList{"a c", "a d"}
                                            << QByteArray("a\r\nx|\r\nb\r\nc\r\n\r\nd\r\n\r\n");
        QTest::newRow("hits stay listed after a delete")
            << crlf({"ring", "1|", "sword", "2|", "shield", "3|", "axe", "4|"})
            << QStringList{"s s", "d 1", "d 0", "a spear", "s s", "u 0 sabre"}
            << crlf({"ring", "1|", "axe", "4|", "sabre", ""});
        QTest::newRow("each change undone, then two undos")
            << crlf({"ring", "first|", "ring", "second", "sword", "sharp|"})
            << QStringList{"u 1 long ring", "z", "s r", "d 1", "z", "a axe", "z", "d 0", "u 0 r", "z", "z"}
            << crlf({"ring", "first|", "ring", "second", "sword", "sharp|"});
        QTest::newRow("undone with lone CR and LF, no final line end")
            << QByteArray("a\rb|\r\nc\nd\r\ne") << QStringList{"a f", "z", "u 1 c\nd2", "z", "d 0", "z"}
            << QByteArray("a\rb|\r\nc\nd\r\ne");
    }

    void theTableFollowsEveryChangeAsTheFileHoldsIt()
    {
        QFETCH(QByteArray, database);
        QFETCH(QStringList, changes);
        ProgramOnFolder p(dialogs, database);
        const auto entries = [](const program::ItemTable &table) {
            QStringList shown;
            for (int row = 0; row < table.rowCount(); ++row)
                shown << QString::number(table.record(row)) + ':' + table.name(row) + ':' + table.description(row);
            return shown;
        };
        QString searched;
        for (const QString &change : changes) {
            const QString argument = change.section(' ', change.startsWith('u') ? 2 : 1);
            const int row = change.section(' ', 1, 1).toInt();
            if (change.startsWith('s'))
                (void)p.program.search(searched = argument, true, false);
            else if (change.startsWith('u'))
                QVERIFY(p.program.replaceItem(*p.program.listedItem(row), argument, std::nullopt).ok());
            else if (change.startsWith('d'))
                QVERIFY(p.program.deleteListedItem(row).ok());
            else if (change.startsWith('z'))
                QVERIFY(p.program.undoLastChange().ok());
            else
                QVERIFY(p.program.addStoredItem({argument, ""}).ok());
            searched = change.startsWith('s') || change.startsWith('d') ? searched : QString();
            ProgramOnFolder fresh(dialogs, p.database());
            if (!searched.isEmpty())
                (void)fresh.program.search(searched, true, false);
            QCOMPARE(entries(p.program.items()), entries(fresh.program.items()));
        }
        QTEST(p.database(), "written");
    }

    void weightSetsStartAsTheDefaultsAndAreReplacedAndRemovedByName()
    {
        ProgramOnFolder p(dialogs, sampleItemBytes());
        QSignalSpy changed(&p.program, &program::Program::scoreSetsChanged);
        QCOMPARE(p.program.scoreSets(), query::defaultScoreSets());
        QVERIFY(p.program.saveScoreSet(" Tank ", " hp ").ok());
        QVERIFY(p.program.saveScoreSet("mine", "2*hitrol").ok()); // kept as written, checked when used
        QVERIFY(p.program.removeScoreSet("MELEE").ok());
        QCOMPARE(p.program.removeScoreSet("melee").message(), "There is no weight set named melee.");
        const QVector<query::ScoreSet> kept{{"Tank", "hp"}, query::defaultScoreSets()[2], {"mine", "2*hitrol"}};
        QCOMPARE(p.program.scoreSets(), kept);
        QCOMPARE(query::parseScoreSets(p.folder.read("scores.cfg")), kept);
        QCOMPARE(changed.count(), 3);
        withWritesLimitedTo(0, [&] { QVERIFY(p.program.saveScoreSet("x", "1").failure()); });
        QCOMPARE(p.program.scoreSets(), kept);
        QCOMPARE(changed.count(), 3);
    }

    void weightSetsThatWouldNotReadBackAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("message");
        QTest::newRow("no name") << " " << "hp" << "Type a name for the weight set.";
        const QString badName = "The name of a weight set cannot hold \":\" nor begin with \"#\": ";
        QTest::newRow("colon") << "a:b" << "hp" << badName + "a:b";
        QTest::newRow("comment") << "#a" << "hp" << badName + "#a";
        QTest::newRow("no weights") << "a" << "" << "Type the weights of the set a first.";
        QTest::newRow("two lines") << "a" << "hp\n+1" << "A weight set is one line: its name and weights cannot hold a line break.";
        QTest::newRow("character") << "\u2603" << "hp" << "The character \u2603 cannot be kept in scores.cfg.";
    }

    void weightSetsThatWouldNotReadBackAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, expression);
        ProgramOnFolder p(dialogs, sampleItemBytes());
        QTEST(p.program.saveScoreSet(name, expression).message(), "message");
        QVERIFY(!p.folder.exists("scores.cfg"));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "program_test.moc"
