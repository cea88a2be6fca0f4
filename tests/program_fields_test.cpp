// The program object's finding of items by their fields: fields.txt, the
// scope, the fields read per database, showing a found item, the columns.
#include "support/program_fixture.h"

#include <QSignalSpy>
#include <QTest>

namespace {
const QByteArray kRings = crlf({"ring of fire", "Weight 4, value 310, level 18.|Can be worn on: finger|Affects hitroll by 2.|",
                                "copper band", "Weight 1, value 20, level 30.|Can be worn on: finger|Affects hitroll by 3.|",
                                "long sword", "Weight 9, value 90, level 10.|Affects damage roll by 4.|"});
const QByteArray kArmour = crlf({"iron helmet", "Weight 5, value 10, level 5.|Can be worn on: head|Affects hitroll by 1.|"});
} // namespace

class ProgramFieldsTest : public ProgramFixture
{
    Q_OBJECT

    program::FoundItems find(const QString &query, bool all = true, const QString &score = {}, bool best = false)
    {
        program::FoundItems found;
        if (!p->program.fieldsRead(all)) {
            QSignalSpy ready(&p->program, &program::Program::fieldsReady);
            [&] { QVERIFY(p->program.readFields(all).ok() && ready.wait(5000)); }();
        }
        const base::Outcome outcome = p->program.findItems({query, score, all, best}, &found);
        [&] { QVERIFY2(outcome.ok(), qPrintable(outcome.message())); }();
        return found;
    }
    QStringList names(const program::FoundItems &found)
    {
        QStringList names;
        for (const query::Hit &hit : found.hits)
            names.append(found.cell(hit, program::kNameColumn, 0));
        return names;
    }

public:
    ProgramFieldsTest() : ProgramFixture(kRings) {}

private slots:
    void init()
    {
        ProgramFixture::init();
        p->folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        p->folder.write("armour.txt", kArmour);
    }

    void theDefaultRulesAreWrittenOnFirstUseAndBadRulesAreRefusedByLine()
    {
        QVERIFY(!p->folder.exists("fields.txt"));
        QCOMPARE(names(find("hitroll>=2")), QStringList({"ring of fire", "copper band"}));
        QCOMPARE(p->folder.read("fields.txt"), fields::defaultRulesFile());
        QCOMPARE(p->program.saveFieldRules("match Level {level:number}\r\nmach x\r\n").message(),
                 "The rules in fields.txt cannot be used: line 2: unknown rule 'mach'; rules begin with match, alias "
                 "or coin");
        QCOMPARE(p->folder.read("fields.txt"), fields::defaultRulesFile());
        p.reset();
        TestFolder folder;
        program::Program program(folder.path());
        folder.write("fields.txt", "# mine\nmatch {level:number}\n");
        QCOMPARE(program.readFields(false).message(),
                 "The rules in fields.txt cannot be used: line 2: a pattern must begin with text");
    }

    void theScopeIsTheCurrentDatabaseOrAllAndOnlyAChangedDatabaseIsReadAgain()
    {
        QCOMPARE(find("hitroll:*", false).countLine, "2 items in 1 database");
        const program::FoundItems all = find("hitroll:*");
        QCOMPARE(all.countLine, "3 items in 2 databases");
        QCOMPARE(all.cell(all.hits[2], program::kDatabaseColumn, 2), "armour");
        QVERIFY(p->program.addItem("gold ring", "Affects hitroll by 5.").ok());
        const program::FoundItems after = find("hitroll>=5");
        QCOMPARE(names(after), QStringList({"gold ring"}));
        QVERIFY(after.in.databases[0] != all.in.databases[0]);
        QCOMPARE(after.in.databases[1], all.in.databases[1]);
    }

    void aScoreRanksAndBestPerSlotGroups()
    {
        const program::FoundItems found = find("level<=40", true, "hitroll + damroll*2", true);
        QCOMPARE(found.queryFields, QStringList({"level", "hitroll", "damroll"}));
        QCOMPARE(found.cell(found.hits[2], program::kScoreColumn, 2), "8");
        QCOMPARE(found.groups.size(), 3);
        QCOMPARE(found.groups[0].slot, "finger");
        QCOMPARE(found.groups[0].best, QVector<int>({1, 0}));
        QCOMPARE(found.groups[2].slot, "(no slot)");
        program::Program::Mistake mistake;
        QCOMPARE(p->program.findItems({"level<=40", "hitrol", true}, nullptr, &mistake).message(),
                 "unknown field 'hitrol' at word 1; did you mean hitroll?");
        QCOMPARE(mistake, program::Program::Mistake::InScore);
    }

    void showingAFoundItemMakesItsDatabaseCurrentAndChoosesIt()
    {
        const program::FoundItems found = find("helmet");
        QSignalSpy chosen(&p->program, &program::Program::itemChosen);
        QSignalSpy shown(&p->program, &program::Program::descriptionShown);
        QVERIFY(p->program.showFoundItem(found, found.hits[0]).ok());
        QCOMPARE(p->program.currentDatabase().fileName, "armour.txt");
        QCOMPARE(chosen.takeLast()[0].toInt(), 0);
        QCOMPARE(shown.takeLast()[0].toString(), QString::fromLatin1(kArmour.split('\r')[1].mid(1)));
        p->folder.write("armour.txt", crlf({"other", "x|"}));
        QCOMPARE(p->program.showFoundItem(found, found.hits[0]).message(),
                 "iron helmet is no longer in the database armour.");
    }

    void tryingRulesReadsTheScopeWithoutSavingThem()
    {
        program::FieldScope tried;
        QCOMPARE(p->program.tryFieldRules("match level {lvl:numbr}", true, &tried).message(),
                 "The rules in fields.txt cannot be used: line 1: unknown placeholder {lvl:numbr}");
        QVERIFY(p->program.tryFieldRules("match Affects hitroll by {hr:number}", true, &tried).ok());
        QCOMPARE(tried.known.fields().size(), 1);
        QCOMPARE(tried.known.summary(tried.known.fields()[0]), "hr: 3 of 4 items");
        QVERIFY(!p->folder.exists("fields.txt"));
    }

    void shownColumns_data()
    {
        QTest::addColumn<QStringList>("queryFields");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("defaults") << QStringList() << QStringList() << QStringList()
                                  << QStringList({"name", "database", "level", "type", "slot"});
        QTest::newRow("query fields first, once") << QStringList({"slot", "hp"}) << QStringList({"hp", "mana"})
                                                  << QStringList()
                                                  << QStringList({"name", "database", "slot", "hp", "level", "type", "mana"});
        QTest::newRow("hidden, never the name") << QStringList({"hp"}) << QStringList()
                                                << QStringList({"name", "database", "hp", "type"})
                                                << QStringList({"name", "level", "slot"});
    }
    void shownColumns()
    {
        QFETCH(QStringList, queryFields);
        QFETCH(QStringList, added);
        QFETCH(QStringList, hidden);
        QTEST(program::shownColumns(queryFields, added, hidden), "shown");
    }

    void theChosenColumnsAreRemembered()
    {
        p->program.rememberFindColumns({{"weight"}, {"type"}});
        const program::ColumnChoice choice = program::Program(p->folder.path()).findColumns();
        QCOMPARE(program::shownColumns({"hitroll"}, choice.added, choice.hidden),
                 QStringList({"name", "database", "hitroll", "level", "slot", "weight"}));
    }
};

QTEST_GUILESS_MAIN(ProgramFieldsTest)
#include "program_fields_test.moc"
