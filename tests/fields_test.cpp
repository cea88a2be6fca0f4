// Reading fields out of descriptions: the default rules on identify text of
// every format the program meets, the rules file's errors, the store's sums
// and word sets, and the registry of a scope.
#include "fields/field_store.h"
#include "fields/registry.h"
#include "fields/rules.h"
#include "storage/windows1252.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

fields::Rules rulesOf(const QString &text)
{
    const fields::ParsedRules parsed = fields::parseRules(text);
    if (!parsed.errors.isEmpty())
        qWarning() << parsed.errors.first().message;
    return parsed.rules;
}

fields::FieldStore storeOf(const fields::Rules &rules, const QByteArray &bytes)
{
    return *fields::buildStore(rules, bytes, storage::indexRecords(bytes));
}

// "weight 9; flags magic glow" for the first item of the bytes.
QString fieldsText(const fields::FieldStore &store, int record = 0)
{
    QStringList out;
    for (const fields::ItemField &field : store.itemFields(record))
        out.append(field.name + u' ' + field.text);
    return out.join(QStringLiteral("; "));
}

} // namespace

class FieldsTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultRulesReadEveryFormat_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("expected");
        QTest::newRow("sample format") << "Weight 9, Item type: WEAPON |Damage: 3d6 fire |Item is: MAGIC GLOW |This item will "
                                          "also affect your ARMOR -4 and  CON +1. |Estimated Value: 7 gold, 8 silver, and 4 copper|"_ba
                                       << "weight 9; type weapon; damage 10.5; flags magic glow; value 70804; armor -4; con 1";
        QTest::newRow("program's sample") << "Weight 0, Item type: WORN |Item is: MAGIC |This item will also affect your "
                                             "ARMOR -3 and  INT +4. |Estimated Value: 7 gold, 8 silver, and 4 copper|"_ba
                                          << "weight 0; type worn; flags magic; value 70804; armor -3; int 4";
        QTest::newRow("rom identify") << "Object 'a ring' is type armor, extra flags glow hum.|Weight 4, value 310, level 18.|Armor "
                                         "class is 6 pierce, 6 bash, 6 slash, and 4 vs. magic.|Affects hitroll by 2.|Affects damage "
                                         "roll by 3.|Affects hitroll by 1.|Can be worn on: finger|"_ba
                                      << "weight 4; type armor; flags glow hum; value 310; level 18; ac_pierce 6; ac_bash 6; "
                                         "ac_slash 6; ac_magic 4; slot finger; hitroll 3; damroll 3";
        QTest::newRow("merc damage and wear") << "Damage is 3d6 (average 10).|Wear location: finger|"_ba << "damage 10.5; slot finger";
        QTest::newRow("name block") << "Level: 12|Wear: finger|Hitroll: +3|Damroll: -1|Weight: 2|Type: armor|Flags: anti-evil hum|"_ba
                                    << "weight 2; type armor; flags anti-evil hum; level 12; slot finger; hitroll 3; damroll -1";
        QTest::newRow("benchmark phrases") << "Weight 12, Item type: WEAPON, Damage 3d8, Can be worn on: FINGER, Item is: MAGIC, "
                                              "Level 12, Armor class 4|Affects: strength by 3, Estimated Value: 12 gold, 3 silver|"_ba
                                           << "weight 12; type weapon; damage 13.5; flags magic; value 120300; level 12; ac 4; "
                                              "slot finger; str 3";
        QTest::newRow("words stop at other text; numbers end words")
            << "Item is: MAGIC, Level 3x|Weightless 4|level 2.5.|Damage 2d4-1|"_ba << "damage 4; flags magic; level 2.5";
        QTest::newRow("not across a line break, only at a word start") << "Weight|9|Overweight 4|Affects|hp by 2|"_ba << "";
        QTest::newRow("money stops at an unknown unit") << "Estimated Value: 9 gold, 2 rubies, 1 copper|"_ba << "value 90000";
    }
    void defaultRulesReadEveryFormat()
    {
        QFETCH(QByteArray, description);
        const fields::ParsedRules defaults = fields::parseRules(fields::decodeRulesFile(fields::defaultRulesFile()));
        QCOMPARE(defaults.errors.size(), 0);
        QTEST(fieldsText(storeOf(defaults.rules, "x\r\n" + description + "\r\n")), "expected");
    }

    void placeholdersReadTheirKindOfText_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("expected");
        QTest::newRow("signed and decimal") << "x {n:number}" << "x -3|x +4|X 2.5|x 2.|x 7%"_ba << "n 12.5";
        QTest::newRow("too many digits or a word") << "x {n:number}" << "x 1234567890123456789|x 3d6|x 4b"_ba << "";
        QTest::newRow("dice") << "x {n:dice}" << "x 3d6|x 2d4+1|x 1D8-2|x 3d6x|x d6"_ba << "n 19";
        QTest::newRow("money") << "x {n:money}" << "x 2 gold 5 copper|x 1.5 GOLD, and|x gold 5"_ba << "n 355";
        QTest::newRow("word and words") << "x {w:word}\nwords: {v:words}" << "x Anti-Evil|words: a b\tc, d|x o'ak"_ba
                                        << "w anti-evil o'ak; v a b c";
        QTest::newRow("names of up to four words")
            << "affects {name} by {number}"
            << "affects a b c d by 1|affects a b c d e by 2|affects \xE9p\xE9\x65 by 3|affects 2x by 4|Affects Hit-Roll by 5"_ba
            << "a_b_c_d 1; hit_roll 5";
        QTest::newRow("pairs") << "x {pairs}" << "x STR +1, DEX -2 and  con 3 and|x int+1 wis 2"_ba << "con 3; dex -2; str 1";
        QTest::newRow("not again inside its own match") << "val {name} is {number}" << "val val x is 3|"_ba << "val_x 3";
        QTest::newRow("hash in a pattern") << "x#1 {n:number}" << "x#1 4|x 5|X#1 6"_ba << "n 10";
        QTest::newRow("anchor text in the middle of a word") << "ring {n:number}" << "boring 3|Ring 4|(ring 5"_ba << "n 9";
    }
    void placeholdersReadTheirKindOfText()
    {
        QFETCH(QString, rule);
        QFETCH(QByteArray, description);
        const fields::Rules rules = rulesOf("coin gold: 100\ncoin copper: 1\nmatch " + rule.replace("\n", "\nmatch "));
        QTEST(fieldsText(storeOf(rules, "item\r\n" + description + "\r\n")), "expected");
    }

    void valuesFromSeveralRulesJoinByRecordAndBlocksLoseNothingAtTheirEdges()
    {
        const fields::Rules rules = rulesOf("match a {n:number}\nmatch b {n:number}\nmatch c {w:words}\nmatch d {w:word}");
        const fields::FieldStore store = storeOf(rules, "0\r\nb 1|a 2|d y\r\n1\r\na 3|c x y|d z|d x\r\n2\r\nb 4|d x\r\n3\r\nnone\r\n");
        QCOMPARE(QStringList({fieldsText(store, 0), fieldsText(store, 1), fieldsText(store, 2), fieldsText(store, 3)}),
                 QStringList({"n 3; w y", "n 3; w x y z", "n 4; w x", ""}));
        QCOMPARE(store.column("w")->dictionary().size(), size_t(3));
        QByteArray bytes;
        for (int k = 0; k < 1100; ++k)
            bytes += "n\r\nlevel " + QByteArray::number(k) + "\r\n";
        const fields::FieldStore levels = storeOf(rulesOf("match level {level:number}"), bytes);
        QCOMPARE(levels.column("level")->records().size(), size_t(1100));
        for (const int k : {0, 511, 512, 1023, 1024, 1099})
            QCOMPARE(levels.number("level", k), std::optional<double>(k));
    }

    void rulesFilesReadInEitherEncoding()
    {
        const QString rule = QStringLiteral("match \u00C9p\u00E9e {x:number}\n");
        QByteArray windows1252;
        QVERIFY(storage::encodeWindows1252(rule, &windows1252));
        for (const QByteArray &file : {rule.toUtf8(), "\xEF\xBB\xBF" + rule.toUtf8(), windows1252}) {
            const fields::Rules rules = rulesOf(fields::decodeRulesFile(file));
            QCOMPARE(fieldsText(storeOf(rules, "a\r\n\xC9P\xC9\x45 3\r\n")), "x 3");
        }
        QCOMPARE(fields::parseRules(u"match \u03A9 {x:number}").errors.first().message,
                 "line 1: '\u03A9' cannot be in a database");
    }

    void rulesErrorsNameTheirLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("placeholders")
            << "# c\r\nmatch Level {lvl:numbr}\nmatch {level:number} up\rmatch Affects {name} by\nmatch x {Level:number}"
            << QStringList{"line 2: unknown placeholder {lvl:numbr}", "line 3: a pattern must begin with text",
                           "line 4: {name} without {number}", "line 5: unknown placeholder {Level:number}"};
        QTest::newRow("rule words")
            << "mach x\n\n  # fine\ncoin gold 5\nalias Hit: hr\nmatch a {pairs} b\nmatch a|b"
            << QStringList{"line 1: unknown rule 'mach'; rules begin with match, alias or coin",
                           "line 4: this rule has the form 'coin UNIT: VALUE'",
                           "line 5: 'Hit' is not a field name (lower case letters, digits and _)",
                           "line 6: {pairs} must end the pattern", "line 7: a pattern cannot hold '|', a line break"};
        QTest::newRow("within a line")
            << "match  \t\nmatch a {2x:number}\nalias x: a, \u00D6l\ncoin gold: 1e3\nmatch a {name} {number} {name} {number}\n"
               "match b {x:word"
            << QStringList{"line 1: match needs a pattern", "line 2: unknown placeholder {2x:number}",
                           "line 3: '\u00D6l' cannot name a field", "line 4: this rule has the form 'coin UNIT: VALUE'",
                           "line 5: {name} and {number} may be used once each", "line 6: '{' without '}'"};
        QTest::newRow("between lines")
            << "match a {x:word}\nmatch b {x:number}\nalias y: z\nalias w: z\nalias v: y\ncoin gp: 1\ncoin GP: 2\n"
            << QStringList{"line 2: x holds words (line 1), not numbers", "line 3: y is an alias of v (line 5), not a field",
                           "line 4: 'z' is an alias of y on line 3 already", "line 7: coin GP is defined on line 6 already"};
    }
    void rulesErrorsNameTheirLine()
    {
        QFETCH(QString, text);
        QStringList messages;
        for (const fields::RuleError &error : fields::parseRules(text).errors)
            messages.append(error.message);
        QTEST(messages, "errors");
    }

    void aliasesCoinsAndRepeatsMakeOneField()
    {
        const fields::Rules rules = rulesOf("coin GP: 2.5\ncoin cp: 1\nalias hitroll: hr, Hit Roll\nmatch Gold: "
                                            "{worth:money}\nmatch hits {hr:number}\nmatch tag {tags:words}\nmatch "
                                            "boost {name} of {number}\nmatch bonus {pairs}");
        const fields::FieldStore store = storeOf(
            rules, "a\r\nGold: 3 gp and 2 CP|hits 1, boost hit roll of 2|Hits 4|bonus HR +1, STR -1 and wis 2|tag b "
                   "a|tag a c\r\nb\r\nboost a of 2|\r\n");
        QCOMPARE(fieldsText(store), "worth 9.5; hitroll 8; tags b a c; str -1; wis 2");
        QCOMPARE(fieldsText(store, 1), "a 2");
        QCOMPARE(rules.field("hitroll")->aliases, QStringList({"hit_roll", "hr"}));
        QCOMPARE(store.number("hitroll", 1), std::nullopt);
        QCOMPARE(store.words("tags", 0), QStringList({"b", "a", "c"}));
    }

    void aBuildStopsWhenCancelledAndReportsProgress()
    {
        const QByteArray bytes = QByteArray("n\r\na 1\r\n").repeated(1000);
        std::atomic<bool> cancel = false;
        QVector<int> done;
        const auto progress = [&](int items, int total) { done << items << total, cancel = true; };
        QVERIFY(!fields::buildStore(rulesOf("match a {x:number}"), bytes, storage::indexRecords(bytes), {progress, &cancel}));
        QCOMPARE(done, QVector<int>({512, 1000}));
    }

    void theRegistryKnowsRulesAndDataAcrossStores()
    {
        const fields::Rules rules = rulesOf("alias hitroll: hr\nmatch lvl {level:number}\nmatch x {pairs}");
        const fields::FieldStore first = storeOf(rules, "a\r\nlvl 3 x Int 1\r\nb\r\nx hr 2\r\n");
        const fields::FieldStore second = storeOf(rules, "c\r\nx con 1 int 4\r\n");
        const fields::Registry registry(rules, {&first, &second});
        QStringList summaries;
        for (const fields::FieldInfo &field : registry.fields())
            summaries.append(registry.summary(field));
        QCOMPARE(summaries, QStringList({"level: 1 of 3 items", "hitroll: 1 of 3 items", "con: 1 of 3 items",
                                         "int: 2 of 3 items"}));
        const fields::Registry one(rulesOf("match x {slot:words}"), {&second});
        QCOMPARE(one.summary(*one.find(u"slot")), "slot: 0 of 1 item");
    }

    void numbersShowAsWritten()
    {
        for (const auto &[value, text] : std::vector<std::pair<double, QString>>{
                 {70804, "70804"}, {-3, "-3"}, {10.5, "10.5"}, {0.1 + 0.2, "0.3"}, {1e20, "1e+20"}})
            QCOMPARE(fields::numberText(value), text);
        QCOMPARE(fields::groupedNumber(1234567), "1,234,567");
    }
};

QTEST_GUILESS_MAIN(FieldsTest)
#include "fields_test.moc"
