// Queries, scores, rankings and the compare text over a scope of two small
// databases read with the default rules.
#include "query/compare.h"
#include "query/query.h"
#include "query/ranking.h"
#include "query/score.h"
#include "search/item_search.h"

#include <QTest>

#include <cmath>

namespace {

// Name and description lines of each item.
const QByteArray kEmberfall = "ring of fire\r\nLevel 18|Wear: finger|Hitroll: +3|Flags: magic anti-evil|Weight: 1|\r\n"
                              "copper band\r\nLevel: 30|Wear: finger|Hitroll: +1|Damroll: +3|Weight: 2|\r\n"
                              "iron helm\r\nLevel: 50|Wear: head|Flags: glow|Weight: 8|\r\n"
                              "Sea Ring\r\nLevel: 12|Wear: finger|Hitroll: +3|\r\n";
const QByteArray kTidereach = "sea ring\r\nLevel: 12|Wear: finger|Hitroll: +3|Weight: 1|\r\n"
                              "kelp paste\r\nWeight: 1, Item type: POTION|Heals 2d4 hit points.|\r\n"
                              "Ring Of Fire\r\nLevel: 18|Wear: neck finger|Hitroll: +3|Flags: hum|Weight: 1|\r\n";

struct Database
{
    Database(const QString &name, const QByteArray &bytes, const fields::Rules &rules)
        : name(name), bytes(bytes), index(storage::indexRecords(bytes)), store(*fields::buildStore(rules, bytes, index))
    {
    }
    QString name;
    QByteArray bytes;
    storage::RecordIndex index;
    fields::FieldStore store;
};

// The scope of the two databases, and its registry.
class Catalogue
{
public:
    explicit Catalogue(const QVector<QPair<QString, QByteArray>> &files)
        : rules_(fields::parseRules(fields::decodeRulesFile(fields::defaultRulesFile())).rules)
    {
        for (const auto &[name, bytes] : files)
            databases_.append(std::make_shared<Database>(name, bytes, rules_));
        for (const auto &database : databases_)
            scope.append({database->name, &database->bytes, &database->index, &database->store});
        registry = query::registryOf(rules_, scope);
    }

    QVector<query::Hit> hits(const QString &text) const
    {
        const query::QueryParse parsed = query::parseQuery(text, registry);
        if (!parsed.query)
            qWarning() << parsed.error;
        return parsed.query ? query::evaluate(*parsed.query, scope) : QVector<query::Hit>();
    }

    query::Score score(const QString &text) const { return *query::parseScore(text, registry).score; }

    query::Scope scope;
    fields::Registry registry;

private:
    fields::Rules rules_;
    QVector<std::shared_ptr<Database>> databases_;
};

const Catalogue &catalogue()
{
    static const Catalogue made({{"Emberfall", kEmberfall}, {"Tidereach", kTidereach}});
    return made;
}

// "0:1 1:0"
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
    void queriesPrintCanonically_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("printed");
        const QString example = "level<=40 slot:finger (hitroll>=3 or damroll>=3) -flags:anti-evil";
        QTest::newRow("example") << example << example;
        QTest::newRow("aliases and case") << "HR>=3 AND Lvl:18 Or hit_roll:*" << "hitroll>=3 level=18 or hitroll:*";
        QTest::newRow("groups flatten") << "((a b)) (c or (d or e))" << "a b (c or d or e)";
        QTest::newRow("negations") << "-(a b) --c -(d)" << "-(a b) --c -d";
        QTest::newRow("phrases and prefixes") << "\"a  (phrase)\"  slot:FIN* \"\"" << "\"a  (phrase)\" slot:FIN* \"\"";
        QTest::newRow("signs and decimals") << "armor<=-3 level>+2.50 :odd <=3" << "armor<=-3 level>+2.50 :odd <=3";
        QTest::newRow("quotes end words") << "a\"b c\"d" << "a \"b c\" d";
        QTest::newRow("and between terms") << "A and b OR c" << "A b or c";
        QTest::newRow("empty") << "  " << "";
    }
    void queriesPrintCanonically()
    {
        QFETCH(QString, text);
        QFETCH(QString, printed);
        const query::QueryParse parsed = query::parseQuery(text, catalogue().registry);
        QVERIFY2(parsed.query, qPrintable(parsed.error));
        QCOMPARE(parsed.query->text(), printed);
        QCOMPARE(*query::parseQuery(printed, catalogue().registry).query, *parsed.query);
    }

    void queryMistakesSayWhere_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
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
    void queryMistakesSayWhere()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        const query::QueryParse parsed = query::parseQuery(text, catalogue().registry);
        QVERIFY(!parsed.query);
        QCOMPARE(parsed.error, error);
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
        QFETCH(QString, hits);
        QCOMPARE(hitsText(catalogue().hits(text)), hits);
    }

    void aWordAmongFewCandidatesIsFoundAsInTheWholeFile()
    {
        QByteArray bytes;
        for (int k = 0; k < 400; ++k)
            bytes += (k % 3 ? "sword " : "ring ") + QByteArray::number(k) + "\r\nLevel " + QByteArray::number(k % 20)
                     + (k % 7 ? "|" : "|a RING|") + "\r\n";
        const Catalogue big({{"big", bytes}});
        const QVector<query::Hit> ring = big.hits("ring");
        const QVector<query::Hit> levelFive = big.hits("level:5");
        QVector<query::Hit> both;
        std::copy_if(ring.begin(), ring.end(), std::back_inserter(both),
                     [&](const query::Hit &hit) { return levelFive.contains(hit); });
        QCOMPARE(hitsText(big.hits("level:5 ring")), hitsText(both));
        QCOMPARE(hitsText(big.hits("level:5 -ring")).count(u' ') + 1, levelFive.size() - both.size());
    }

    void wordsMatchAsTheMainSearchDoes_data()
    {
        QTest::addColumn<QString>("word");
        QTest::newRow("accents") << QStringLiteral("\u00E9P\u00C9e");
        QTest::newRow("not across name and description") << "sword|";
        QTest::newRow("bar") << QStringLiteral("|\u00C9P");
        QTest::newRow("not in a database's characters") << QStringLiteral("\u03A9");
    }
    void wordsMatchAsTheMainSearchDoes()
    {
        QFETCH(QString, word);
        QByteArray bytes;
        for (int k = 0; k < 300; ++k)
            bytes += QByteArray(k % 4 ? "sword\r\n" : "\xC9P\xC9\x45 sword\r\n") + "Level " + QByteArray::number(k) + "|"
                     + (k % 5 ? "\xE9p\xE9\x65" : "") + "\r\n";
        const Catalogue big({{"big", bytes}});
        bool more = false;
        QVector<query::Hit> all;
        QVector<query::Hit> first;
        for (const int record :
             search::findRecords(bytes, big.scope[0].index[0], word, search::SearchIn::Both, 1000, &more)) {
            all.append({0, record});
            if (record < 9)
                first.append({0, record});
        }
        QCOMPARE(hitsText(big.hits('"' + word + '"')), hitsText(all));
        // Among few candidates the word is sought item by item.
        QCOMPARE(hitsText(big.hits("level<9 \"" + word + '"')), hitsText(first));
    }

    void scoresKeepPrecedenceAndNeverFail_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("printed");
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
    }
    void scoresKeepPrecedenceAndNeverFail()
    {
        QFETCH(QString, text);
        QFETCH(QString, printed);
        QFETCH(double, value);
        const query::Score score = catalogue().score(text);
        QCOMPARE(score.text(), printed);
        QCOMPARE(catalogue().score(printed), score);
        QCOMPARE(catalogue().score(QString(text).replace("level", "weight")) == score, !text.contains("level"));
        const double first = query::scoresOf(score, catalogue().scope, {{0, 0}}).front();
        QCOMPARE(text.startsWith("9999") ? double(std::isfinite(first) && first > 1e300) : first, value);
    }

    void scoresFollowHitsInAnyOrder()
    {
        QByteArray bytes;
        for (int k = 0; k < 400; ++k)
            bytes += "item\r\n" + (k % 3 ? "Level " + QByteArray::number(k) : QByteArray()) + "|Hitroll: "
                     + QByteArray::number(k % 7) + "|\r\n";
        const Catalogue big({{"big", bytes}});
        const query::Score score = big.score("level*10 + hitroll");
        const QVector<query::Hit> hits = big.hits("");
        const std::vector<double> all = query::scoresOf(score, big.scope, hits);
        QCOMPARE(all[4], 44.0);
        QVector<query::Hit> reversed(hits.rbegin(), hits.rend());
        const std::vector<double> backwards = query::scoresOf(score, big.scope, reversed);
        QVERIFY(std::equal(all.rbegin(), all.rend(), backwards.begin(), backwards.end()));
        QVector<query::Hit> sparse;
        for (int k = 0; k < hits.size(); k += 37)
            sparse.append(hits[k]);
        const std::vector<double> some = query::scoresOf(score, big.scope, sparse);
        for (qsizetype k = 0; k < sparse.size(); ++k)
            QCOMPARE(some[size_t(k)], all[size_t(k * 37)]);
    }

    void scoreMistakesSayWhere_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown") << "hitrol*2" << "unknown field 'hitrol' at word 1; did you mean hitroll?";
        QTest::newRow("open") << "(level + 2" << "')' missing at the end";
        QTest::newRow("operator") << "2*hitroll + 2 damroll" << "an operator is missing before 'damroll' at word 4";
        QTest::newRow("operand") << "level +" << "a number or field is needed at the end";
        QTest::newRow("close") << "level)" << "unexpected ')' at word 1";
        QTest::newRow("words") << "slot*2" << "'slot' holds words, not numbers at word 1";
        QTest::newRow("character") << "level % 2" << "unexpected '%' at word 2";
    }
    void scoreMistakesSayWhere()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        QCOMPARE(query::parseScore(text, catalogue().registry).error, error);
    }

    void sortKeysPutMissingLast_data()
    {
        QTest::addColumn<int>("by");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("order");
        QTest::newRow("level up") << int(query::SortKey::By::Field) << "level" << false << "0:3 1:0 0:0 1:2 0:1 0:2 1:1";
        QTest::newRow("level down") << int(query::SortKey::By::Field) << "level" << true << "0:2 0:1 0:0 1:2 0:3 1:0 1:1";
        QTest::newRow("slot words") << int(query::SortKey::By::Field) << "slot" << false << "0:0 0:1 0:3 1:0 0:2 1:2 1:1";
        QTest::newRow("name") << int(query::SortKey::By::Name) << "" << false << "0:1 0:2 1:1 0:0 1:2 0:3 1:0";
        QTest::newRow("database down") << int(query::SortKey::By::Database) << "" << true << "1:0 1:1 1:2 0:0 0:1 0:2 0:3";
        QTest::newRow("score down") << int(query::SortKey::By::Score) << "" << true << "0:0 0:3 1:0 1:2 0:1 0:2 1:1";
        QTest::newRow("score up") << int(query::SortKey::By::Score) << "" << false << "0:2 1:1 0:1 0:0 0:3 1:0 1:2";
        QTest::newRow("flags down") << int(query::SortKey::By::Field) << "flags" << true << "0:0 1:2 0:2 0:1 0:3 1:0 1:1";
    }
    void sortKeysPutMissingLast()
    {
        QFETCH(int, by);
        QFETCH(QString, field);
        QFETCH(bool, descending);
        QFETCH(QString, order);
        const QVector<query::Hit> hits = catalogue().hits("");
        const std::vector<double> scores = query::scoresOf(catalogue().score("hitroll"), catalogue().scope, hits);
        const query::SortKey key{query::SortKey::By(by), field, descending};
        QCOMPARE(hitsText(hits, query::sortedOrder(catalogue().scope, hits, key, scores)), order);
    }

    void theBestOfEachSlotBreakTiesByNameThenDatabase()
    {
        const QVector<query::Hit> hits = catalogue().hits("");
        const std::vector<double> scores = query::scoresOf(catalogue().score("hitroll"), catalogue().scope, hits);
        QStringList groups;
        for (const query::SlotGroup &group : query::bestPerSlot(catalogue().scope, hits, scores))
            groups.append(group.slot + u'=' + hitsText(hits, group.best));
        QCOMPARE(groups, QStringList({"finger=0:0 0:3 1:0", "finger neck=1:2", "head=0:2", "(no slot)=1:1"}));
        const QVector<query::SlotGroup> best = query::bestPerSlot(catalogue().scope, hits, scores, 1);
        QCOMPARE(best.first().best, QVector<int>{0});
        QVERIFY(query::bestPerSlot(catalogue().scope, hits, scores, 0).isEmpty());
    }

    void theCompareTextAndRowsReadAsSentences()
    {
        const query::ComparedItem ring = query::comparedItem(catalogue().scope, {0, 0});
        const query::ComparedItem band = query::comparedItem(catalogue().scope, {0, 1});
        QCOMPARE(query::compareText({ring, band}),
                 "weight: ring of fire 1, copper band 2, +1\n"
                 "flags: ring of fire magic anti-evil, copper band none\n"
                 "level: ring of fire 18, copper band 30, +12\n"
                 "slot: ring of fire finger, copper band finger\n"
                 "hitroll: ring of fire 3, copper band 1, -2\n"
                 "damroll: ring of fire none, copper band 3\n"
                 "name: ring of fire, copper band\n"
                 "database: ring of fire Emberfall, copper band Emberfall\n"
                 "description of ring of fire: Level 18 / Wear: finger / Hitroll: +3 / Flags: magic anti-evil / "
                 "Weight: 1\n"
                 "description of copper band: Level: 30 / Wear: finger / Hitroll: +1 / Damroll: +3 / Weight: 2\n");
        QCOMPARE(query::rowDescription(ring, {"level", "slot", "hitroll", "damroll"}),
                 "ring of fire, Emberfall, level 18, slot finger, hitroll 3");
        const query::ComparedItem paste = query::comparedItem(catalogue().scope, {1, 1});
        QCOMPARE(query::compareText({band, paste, ring}).section(u'\n', 0, 4),
                 "weight: copper band 2, kelp paste 1, -1, ring of fire 1, -1\n"
                 "level: copper band 30, kelp paste none, ring of fire 18, -12\n"
                 "slot: copper band finger, kelp paste none, ring of fire finger\n"
                 "hitroll: copper band 1, kelp paste none, ring of fire 3, +2\n"
                 "damroll: copper band 3, kelp paste none, ring of fire none");
        QCOMPARE(query::rowDescription(paste), "kelp paste, Tidereach, weight 1, type potion");
        QCOMPARE(query::countLine(catalogue().hits("hitroll:3")), "4 items in 2 databases");
        QCOMPARE(query::countLine(catalogue().hits("helm")), "1 item in 1 database");
    }
};

QTEST_GUILESS_MAIN(QueryTest)
#include "query_test.moc"
