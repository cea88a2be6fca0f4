// Queries, scores, rankings and the compare text over a scope of two small
// databases read with the default rules; the export of rows; the weight sets.
#include "query/compare.h"
#include "query/export.h"
#include "query/score_sets.h"
#include "query/query.h"
#include "query/ranking.h"
#include "query/score.h"
#include "search/item_search.h"

#include <QTest>

#include <cmath>
#include <deque>

namespace {

// Name and description lines of each item.
const QByteArray kEmberfall = "ring of fire\r\nLevel 18|Wear: finger|Hitroll: +3|Flags: magic anti-evil|Weight: 1|\r\n"
                              "copper band\r\nLevel: 30|Wear: finger|Hitroll: +1|Damroll: +3|Weight: 2|\r\n"
                              "iron helm\r\nLevel: 50|Wear: head|Flags: glow|Weight: 8|\r\n"
                              "Sea Ring\r\nLevel: 12|Wear: finger|Hitroll: +3|\r\n";
const QByteArray kTidereach = "sea ring\r\nLevel: 12|Wear: finger|Hitroll: +3|Weight: 1|\r\n"
                              "kelp paste\r\nWeight: 1, Item type: POTION|Heals 2d4 hit points.|\r\n"
                              "Ring Of Fire\r\nLevel: 18|Wear: neck finger|Hitroll: +3|Flags: hum|Weight: 1|\r\n";

// Databases read with the default rules, their scope and its registry.
struct Catalogue
{
    explicit Catalogue(const QVector<QPair<QString, QByteArray>> &files)
    {
        for (const auto &[name, file] : files) {
            const storage::RecordIndex &index = indexes.emplace_back(storage::indexRecords(bytes.emplace_back(file)));
            scope.append({name, &bytes.back(), &index, &stores.emplace_back(*fields::buildStore(rules, bytes.back(), index))});
        }
        registry = query::registryOf(rules, scope);
    }
    QVector<query::Hit> hits(const QString &text) const { return query::evaluate(*query::parseQuery(text, registry).query, scope); }
    query::Score score(const QString &text) const { return *query::parseScore(text, registry).score; }

    fields::Rules rules = fields::parseRules(fields::decodeRulesFile(fields::defaultRulesFile())).rules;
    std::deque<QByteArray> bytes; // deques keep their elements in place
    std::deque<storage::RecordIndex> indexes;
    std::deque<fields::FieldStore> stores;
    query::Scope scope;
    fields::Registry registry;
};

const Catalogue &catalogue()
{
    static const Catalogue made({{"Emberfall", kEmberfall}, {"Tidereach", kTidereach}});
    return made;
}

// "0:1 1:0": database and record of each hit, in the order given or the hits' own.
QString hitsText(const QVector<query::Hit> &hits, const QVector<int> &order = {})
{
    QStringList out;
    for (qsizetype k = 0; k < (order.isEmpty() ? hits.size() : order.size()); ++k) {
        const query::Hit &hit = hits[order.isEmpty() ? k : order[k]];
        out.append(QStringLiteral("%1:%2").arg(hit.database).arg(hit.record));
    }
    return out.join(u' ');
}

} // namespace

class QueryTest : public QObject
{
    Q_OBJECT

private slots:
    void queriesPrintCanonicallyOrSayWhereTheyAreWrong_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("printed"); // or the error
        const QString example = "level<=40 slot:finger (hitroll>=3 or damroll>=3) -flags:anti-evil";
        QTest::newRow("example") << example << example;
        QTest::newRow("aliases and case") << "HR>=3 AND Lvl:18 Or hit_roll:*" << "hitroll>=3 level=18 or hitroll:*";
        QTest::newRow("groups flatten, negations") << "((a b)) (c or (d or e)) -(a b) --c -(d)" << "a b (c or d or e) -(a b) --c -d";
        QTest::newRow("phrases, prefixes, signs") << "\"a  (phrase)\"  slot:FIN* \"\" armor<=-3 level>+2.50 :odd <=3"
                                                  << "\"a  (phrase)\" slot:FIN* \"\" armor<=-3 level>+2.50 :odd <=3";
        QTest::newRow("quotes end words, and") << "a\"b c\"d A and b OR c" << "a \"b c\" d A b or c";
        QTest::newRow("empty") << "  " << "";
        QTest::newRow("unknown") << "slot:finger hitrol>=3" << "unknown field 'hitrol' at word 2; did you mean hitroll?";
        QTest::newRow("far from any") << "zzzz:1" << "unknown field 'zzzz' at word 1";
        QTest::newRow("open") << "(a b" << "')' missing at the end";
        QTest::newRow("close") << "a b c)" << "unexpected ')' at word 3";
        QTest::newRow("number") << "level<=x" << "a number is needed after 'level<=' at word 1";
        QTest::newRow("or at the end") << "a or" << "'or' needs a term on both sides at word 2";
        QTest::newRow("and before or") << "a AND or b" << "'and' needs a term on both sides at word 2";
        QTest::newRow("quote") << "a \"b c" << "the quote opened at word 2 is not closed";
        QTest::newRow("words compared") << "slot>3" << "'slot' holds words, not numbers, and cannot be compared at word 1";
        QTest::newRow("empty group") << "a ()" << "'()' holds no term at word 2";
        QTest::newRow("lone minus") << "a -" << "'-' needs a term after it at word 2";
        QTest::newRow("no word") << "slot:" << "a word is needed after 'slot:' at word 1";
        QTest::newRow("no prefix of numbers") << "a level:1*" << "a number is needed after 'level:' at word 2";
        QTest::newRow("deep") << QString(101, u'(') + "a" << "the query nests more than 100 deep at word 1";
    }
    void queriesPrintCanonicallyOrSayWhereTheyAreWrong()
    {
        QFETCH(QString, text);
        QFETCH(QString, printed);
        const query::QueryParse parsed = query::parseQuery(text, catalogue().registry);
        QCOMPARE(parsed.query ? parsed.query->text() : parsed.error, printed);
        if (parsed.query)
            QCOMPARE(*query::parseQuery(printed, catalogue().registry).query, *parsed.query);
    }

    void queriesFindItemsInDatabaseThenFileOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hits");
        QTest::newRow("word") << "RING" << "0:0 0:3 1:0 1:2";
        QTest::newRow("example") << "level<=40 slot:finger (hitroll>=3 or damroll>=3) -flags:anti-evil"
                                 << "0:1 0:3 1:0 1:2";
        QTest::newRow("prefix and not") << "slot:fing* -ring" << "0:1";
        QTest::newRow("phrase and presence") << "\"of fire\" flags:*" << "0:0 1:2";
        QTest::newRow("equal") << "level:18 level=18" << "0:0 1:2";
        QTest::newRow("missing") << "-level:*" << "1:1";
        QTest::newRow("decimals") << "hitroll>2.5 weight<2" << "0:0 1:0 1:2";
        QTest::newRow("everything") << "" << "0:0 0:1 0:2 0:3 1:0 1:1 1:2";
        QTest::newRow("or") << "potion or helm" << "0:2 1:1";
        QTest::newRow("bar is a character") << "|heals" << "1:1";
        QTest::newRow("not a group") << "-(ring or band) level<=50" << "0:2";
        QTest::newRow("groups of either") << "(ring -fire) or (band hitroll:1) or FLAGS:Anti-Evil" << "0:0 0:1 0:3 1:0";
    }
    void queriesFindItemsInDatabaseThenFileOrder()
    {
        QFETCH(QString, text);
        QTEST(hitsText(catalogue().hits(text)), "hits");
    }

    // Among few candidates a word is sought item by item, elsewhere over the whole file.
    void wordsMatchAsTheMainSearchDoesAmongAnyCandidates_data()
    {
        QTest::addColumn<QString>("word");
        QTest::newRow("plain") << "ring";
        QTest::newRow("accents") << QStringLiteral("\u00E9P\u00C9e");
        QTest::newRow("not across name and description") << "sword|";
        QTest::newRow("bar") << QStringLiteral("|\u00C9P");
        QTest::newRow("not in a database's characters") << QStringLiteral("\u03A9");
    }
    void wordsMatchAsTheMainSearchDoesAmongAnyCandidates()
    {
        QFETCH(QString, word);
        QByteArray bytes;
        for (int k = 0; k < 400; ++k)
            bytes += QByteArray(k % 3 ? "sword\r\n" : "\xC9P\xC9\x45 sword\r\n") + "Level " + QByteArray::number(k % 40)
                     + (k % 6 == 1 ? "|a RING|" : "|") + (k % 9 ? "\xE9p\xE9\x65" : "") + "\r\n";
        const Catalogue big({{"big", bytes}});
        const QVector<int> found = search::findRecords(bytes, *big.scope[0].index, word, search::SearchIn::Both);
        QVector<query::Hit> all, five, otherFive;
        for (int record = 0; record < 400; ++record) {
            if (found.contains(record))
                all.append({0, record});
            if (record % 40 == 5)
                (found.contains(record) ? five : otherFive).append({0, record});
        }
        QCOMPARE(hitsText(big.hits('"' + word + '"')), hitsText(all));
        QCOMPARE(hitsText(big.hits("level:5 \"" + word + '"')), hitsText(five));
        QCOMPARE(hitsText(big.hits("level:5 -\"" + word + '"')), hitsText(otherFive));
    }

    void scoresKeepPrecedenceAndNeverFailOrSayWhereTheyAreWrong_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("printed"); // or the error
        QTest::addColumn<double>("value");
        QTest::newRow("weights") << "2*hitroll + 2*damroll + level/10 - weight/5"
                                 << "2 * hitroll + 2 * damroll + level / 10 - weight / 5" << 7.6;
        QTest::newRow("groups") << "(level+weight)*hitroll" << "(level + weight) * hitroll" << 57.0;
        QTest::newRow("right groups") << "level-(weight-HR)" << "level - (weight - hitroll)" << 20.0;
        QTest::newRow("negations") << "--level * -(2*3)" << "--level * -(2 * 3)" << -108.0;
        QTest::newRow("left to right") << "10/4/5" << "10 / 4 / 5" << 0.5;
        QTest::newRow("division by zero") << "level/(hitroll-3) + 1" << "level / (hitroll - 3) + 1" << 1.0;
        const QStringList huge(18, QStringLiteral("999999999999999999"));
        QTest::newRow("overflow") << huge.join(u'*') << huge.join(QStringLiteral(" * ")) << 1.0;
        QTest::newRow("empty") << "" << "" << 0.0;
        QTest::newRow("unknown") << "hitrol*2" << "unknown field 'hitrol' at word 1; did you mean hitroll?" << 0.0;
        QTest::newRow("open") << "(level + 2" << "')' missing at the end" << 0.0;
        QTest::newRow("operator") << "2*hitroll + 2 damroll" << "an operator is missing before 'damroll' at word 4" << 0.0;
        QTest::newRow("operand") << "level +" << "a number or field is needed at the end" << 0.0;
        QTest::newRow("close") << "level)" << "unexpected ')' at word 1" << 0.0;
        QTest::newRow("words") << "slot*2" << "'slot' holds words, not numbers at word 1" << 0.0;
        QTest::newRow("character") << "level % 2" << "unexpected '%' at word 2" << 0.0;
        QTest::newRow("deep") << QString(101, u'-') + "level" << "the score nests more than 100 deep at word 1" << 0.0;
    }
    void scoresKeepPrecedenceAndNeverFailOrSayWhereTheyAreWrong()
    {
        QFETCH(QString, text);
        QFETCH(QString, printed);
        QFETCH(double, value);
        const query::ScoreParse parsed = query::parseScore(text, catalogue().registry);
        QCOMPARE(parsed.score ? parsed.score->text() : parsed.error, printed);
        if (!parsed.score)
            return;
        QCOMPARE(catalogue().score(printed), *parsed.score);
        QCOMPARE(catalogue().score(QString(text).replace("level", "weight")) == *parsed.score, !text.contains("level"));
        const double first = query::scoresOf(*parsed.score, catalogue().scope, {{0, 0}}).front();
        QCOMPARE(text.startsWith("9999") ? double(std::isfinite(first) && first > 1e300) : first, value);
    }

    void scoresFollowHitsInAnyOrder()
    {
        QByteArray bytes;
        for (int k = 0; k < 400; ++k)
            bytes += "item\r\n" + (k % 3 ? "Level " + QByteArray::number(k) : QByteArray()) + "|Hitroll: "
                     + QByteArray::number(k % 7) + "|\r\n";
        const Catalogue big({{"big", bytes}});
        QVector<query::Hit> backwards;
        for (int k = 399; k >= 0; --k)
            backwards.append({0, k});
        const std::vector<double> scores = query::scoresOf(big.score("level*10 + hitroll"), big.scope, backwards);
        for (const query::Hit &hit : backwards) // a missing level counts 0
            QCOMPARE(scores[size_t(399 - hit.record)], double((hit.record % 3 ? hit.record * 10 : 0) + hit.record % 7));
    }

    void sortKeysPutMissingLast_data()
    {
        QTest::addColumn<QString>("key"); // a field, "(name)", "(database)" or "(score)"; "-" first for descending
        QTest::addColumn<QString>("order");
        QTest::newRow("level up") << "level" << "0:3 1:0 0:0 1:2 0:1 0:2 1:1";
        QTest::newRow("level down") << "-level" << "0:2 0:1 0:0 1:2 0:3 1:0 1:1";
        QTest::newRow("slot words") << "slot" << "0:0 0:1 0:3 1:0 0:2 1:2 1:1";
        QTest::newRow("flags down") << "-flags" << "0:0 1:2 0:2 0:1 0:3 1:0 1:1";
        QTest::newRow("name") << "(name)" << "0:1 0:2 1:1 0:0 1:2 0:3 1:0";
        QTest::newRow("database down") << "-(database)" << "1:0 1:1 1:2 0:0 0:1 0:2 0:3";
        QTest::newRow("score up") << "(score)" << "0:2 1:1 0:1 0:0 0:3 1:0 1:2";
        QTest::newRow("score down") << "-(score)" << "0:0 0:3 1:0 1:2 0:1 0:2 1:1";
    }
    void sortKeysPutMissingLast()
    {
        QFETCH(QString, key);
        const QVector<query::Hit> hits = catalogue().hits("");
        const std::vector<double> scores = query::scoresOf(catalogue().score("hitroll"), catalogue().scope, hits);
        const QString field = key.mid(key.startsWith(u'-'));
        const auto by = std::max<qsizetype>(0, QStringList({"", "(name)", "(database)", "(score)"}).indexOf(field)); // By's order
        const query::SortKey sort{query::SortKey::By(by), by ? QString() : field, key.startsWith(u'-')};
        QTEST(hitsText(hits, query::sortedOrder(catalogue().scope, hits, sort, scores)), "order");
    }

    void theBestOfEachSlotBreakTiesByNameThenDatabase()
    {
        const QVector<query::Hit> hits = catalogue().hits("");
        const std::vector<double> scores = query::scoresOf(catalogue().score("hitroll"), catalogue().scope, hits);
        QStringList groups;
        for (const query::SlotGroup &group : query::bestPerSlot(catalogue().scope, hits, scores))
            groups.append(group.slot + u'=' + hitsText(hits, group.best));
        QCOMPARE(groups, QStringList({"finger=0:0 0:3 1:0", "finger neck=1:2", "head=0:2", "(no slot)=1:1"}));
        QCOMPARE(query::bestPerSlot(catalogue().scope, hits, scores, 1).first().best, QVector<int>{0});
        QVERIFY(query::bestPerSlot(catalogue().scope, hits, scores, 0).isEmpty());
    }

    void exportsQuoteOnlyWhatNeedsItAndKeepNumbersAsNumbers()
    {
        const query::ExportTable csv{
            {"name", "note"}, {{"ring of fire", "a, b"}, {"the \"sea\" ring", "one\r\ntwo\nthree"}, {"caf\u00e9 \u20ac5"}}};
        QCOMPARE(query::exportBytes(csv, "items.csv"),
                 "name,note\r\nring of fire,\"a, b\"\r\n\"the \"\"sea\"\" ring\",\"one\r\ntwo\nthree\"\r\n"
                 "caf\xc3\xa9 \xe2\x82\xac" "5,\r\n");
        const query::ExportTable json{{"name", "level", "weight", "note"},
                                      {{"the \"sea\" ring\\", "18", "-2.5", "a\r\nb\tc\u20ac\u0001"},
                                       {"band", "+3", "", "007"},
                                       {"helm", "1e3", "10.50", "3"}}};
        QCOMPARE(query::exportBytes(json, "Items.JSON"), // strict parsers refuse raw controls
                 "[\n  {\"name\": \"the \\\"sea\\\" ring\\\\\", \"level\": 18, \"weight\": -2.5, \"note\": \"a\\r\\nb\\tc\xE2\x82\xAC\\u0001\"},\n"
                 "  {\"name\": \"band\", \"level\": \"+3\", \"note\": \"007\"},\n"
                 "  {\"name\": \"helm\", \"level\": \"1e3\", \"weight\": \"10.50\", \"note\": 3}\n]\n");
        QCOMPARE(query::toJson({{"name"}, {}}), "[]\n");
    }

    void weightSetsReadBackAndLinesThatAreNoSetAreSkipped()
    {
        const QVector<query::ScoreSet> sets{{"tank", "hp/10 + armor/2"}, {"caf\u00e9 \u20ac", "2*hitroll"}};
        const QByteArray bytes = query::formatScoreSets(sets);
        QVERIFY(bytes.startsWith("# ") && bytes.endsWith("\r\ntank: hp/10 + armor/2\r\ncaf\xe9 \x80: 2*hitroll\r\n"));
        QCOMPARE(query::parseScoreSets(bytes + "no colon\n: no name\rnone:\r\n # c: 1\r\nTANK: 2\r\n last : 1/2 \n"),
                 sets + QVector<query::ScoreSet>({{"last", "1/2"}}));
        for (const query::ScoreSet &set : query::defaultScoreSets())
            QVERIFY2(query::parseScore(set.expression, catalogue().registry).score, qPrintable(set.name));
    }

    void theCompareTextAndRowsReadAsSentences()
    {
        const query::ComparedItem ring = query::comparedItem(catalogue().scope, {0, 0});
        const query::ComparedItem band = query::comparedItem(catalogue().scope, {0, 1});
        const query::ComparedItem paste = query::comparedItem(catalogue().scope, {1, 1});
        QCOMPARE(query::compareText({band, paste, ring}),
                 "weight: copper band 2, kelp paste 1, -1, ring of fire 1, -1\n"
                 "level: copper band 30, kelp paste none, ring of fire 18, -12\n"
                 "slot: copper band finger, kelp paste none, ring of fire finger\n"
                 "hitroll: copper band 1, kelp paste none, ring of fire 3, +2\n"
                 "damroll: copper band 3, kelp paste none, ring of fire none\n"
                 "type: copper band none, kelp paste potion, ring of fire none\n"
                 "flags: copper band none, kelp paste none, ring of fire magic anti-evil\n"
                 "name: copper band, kelp paste, ring of fire\n"
                 "database: copper band Emberfall, kelp paste Tidereach, ring of fire Emberfall\n"
                 "description of copper band: Level: 30 / Wear: finger / Hitroll: +1 / Damroll: +3 / Weight: 2\n"
                 "description of kelp paste: Weight: 1, Item type: POTION / Heals 2d4 hit points.\n"
                 "description of ring of fire: Level 18 / Wear: finger / Hitroll: +3 / Flags: magic anti-evil / Weight: 1\n");
        QCOMPARE(query::rowDescription(ring, {"level", "slot", "hitroll", "damroll"}),
                 "ring of fire, Emberfall, level 18, slot finger, hitroll 3");
        QCOMPARE(query::rowDescription(paste), "kelp paste, Tidereach, weight 1, type potion");
    }
};

QTEST_GUILESS_MAIN(QueryTest)
#include "query_test.moc"
