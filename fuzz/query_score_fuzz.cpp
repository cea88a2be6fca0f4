// The query of Find Items and the score expression, the input taken as each:
// any text parses or names its mistake, and a parsed query or score printed
// and parsed again is the same; a query's hits are those of testing every item
// against it one by one, the text decoded; the scores of every item are finite
// and those of working the expression out item by item.
#include "fields_fuzz_scope.h"
#include "fuzz_check.h"
#include "query/query.h"
#include "query/ranking.h"
#include "query/score.h"
#include "search/item_search.h"
#include "storage/windows1252.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

QString decoded(const query::DatabaseView &database, const storage::Span &span)
{
    return storage::decodeWindows1252(database.bytes->mid(span.begin, span.length));
}

bool compares(double value, query::Comparison comparison, double number)
{
    switch (comparison) {
    case query::Comparison::Less: return value < number;
    case query::Comparison::LessOrEqual: return value <= number;
    case query::Comparison::Equal: return value == number;
    case query::Comparison::GreaterOrEqual: return value >= number;
    default: return value > number;
    }
}

bool matches(const query::Node &node, const query::DatabaseView &database, int record)
{
    const auto anyChild = [&](bool all) {
        for (const query::Node &child : node.children) {
            if (matches(child, database, record) != all)
                return !all;
        }
        return all;
    };
    const storage::Record &item = database.index->records[record];
    const std::optional<double> number = database.fields->number(node.field, record);
    switch (node.type) {
    case query::Node::Type::And: return anyChild(true);
    case query::Node::Type::Or: return anyChild(false);
    case query::Node::Type::Not: return !matches(node.children.front(), database, record);
    case query::Node::Type::Text:
        return search::containsIgnoringCase(decoded(database, item.name), node.text)
               || search::containsIgnoringCase(decoded(database, item.description), node.text);
    case query::Node::Type::Present:
        return database.fields->column(node.field) && database.fields->column(node.field)->entryOf(record) >= 0;
    case query::Node::Type::Compare: return number && compares(*number, node.comparison, node.number);
    case query::Node::Type::Words:
        for (const QString &word : database.fields->words(node.field, record)) {
            if (node.prefix ? word.startsWith(node.text.toLower()) : word == node.text.toLower())
                return true;
        }
        return false;
    }
    return false;
}

double held(double value)
{
    return std::min(std::max(value, -DBL_MAX), DBL_MAX);
}

double scoreOf(const query::ScoreNode &node, const query::DatabaseView &database, int record)
{
    switch (node.type) {
    case query::ScoreNode::Type::Number: return node.number;
    case query::ScoreNode::Type::Field: return database.fields->number(node.text, record).value_or(0);
    case query::ScoreNode::Type::Negate: return -scoreOf(node.operands.front(), database, record);
    default: break;
    }
    double value = scoreOf(node.operands.front(), database, record);
    for (size_t k = 1; k < node.operands.size(); ++k) {
        const double right = scoreOf(node.operands[k], database, record);
        const QChar op = node.operators.at(qsizetype(k - 1));
        if (op == u'/')
            value = right == 0 ? 0 : held(value / right);
        else
            value = held(op == u'+' ? value + right : op == u'-' ? value - right : value * right);
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzScope &fuzz = FuzzScope::instance();
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    const query::QueryParse parsed = query::parseQuery(text, fuzz.registry);
    FUZZ_CHECK(parsed.query.has_value() == parsed.error.isEmpty());
    if (parsed.query) {
        const query::QueryParse again = query::parseQuery(parsed.query->text(), fuzz.registry);
        FUZZ_CHECK(again.query && *again.query == *parsed.query);
        QVector<query::Hit> expected;
        for (int d = 0; d < fuzz.scope.size(); ++d) {
            for (int r = 0; r < fuzz.scope[d].index->records.size(); ++r) {
                if (matches(parsed.query->root(), fuzz.scope[d], r))
                    expected.append({d, r});
            }
        }
        FUZZ_CHECK(query::evaluate(*parsed.query, fuzz.scope) == expected);
    }

    const query::ScoreParse scored = query::parseScore(text, fuzz.registry);
    FUZZ_CHECK(scored.score.has_value() == scored.error.isEmpty());
    if (!scored.score)
        return 0;
    const query::ScoreParse again = query::parseScore(scored.score->text(), fuzz.registry);
    FUZZ_CHECK(again.score && *again.score == *scored.score);
    const QVector<query::Hit> hits = query::evaluate(query::Query(), fuzz.scope);
    const std::vector<double> scores = query::scoresOf(*scored.score, fuzz.scope, hits);
    for (qsizetype h = 0; h < hits.size(); ++h) {
        const double expected =
            scored.score->isEmpty() ? 0 : scoreOf(scored.score->root(), fuzz.scope[hits[h].database], hits[h].record);
        FUZZ_CHECK(std::isfinite(scores[size_t(h)]) && scores[size_t(h)] == expected);
    }
    FUZZ_CHECK(!query::bestPerSlot(fuzz.scope, hits, scores).isEmpty());
    return 0;
}
