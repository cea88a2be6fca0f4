// The score expression: any text parses or names its mistake, a parsed score
// printed and parsed again is the same score, and the scores of every item
// are finite and those of working the expression out item by item.
#include "fields_fuzz_scope.h"
#include "fuzz_check.h"
#include "query/query.h"
#include "query/ranking.h"
#include "query/score.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

double held(double value)
{
    return std::min(std::max(value, -DBL_MAX), DBL_MAX);
}

double scoreOf(const query::ScoreNode &node, const query::DatabaseView &database, int record)
{
    switch (node.type) {
    case query::ScoreNode::Type::Number:
        return node.number;
    case query::ScoreNode::Type::Field:
        return database.fields->number(node.text, record).value_or(0);
    case query::ScoreNode::Type::Negate:
        return -scoreOf(node.operands.front(), database, record);
    default:
        break;
    }
    double value = scoreOf(node.operands.front(), database, record);
    for (size_t k = 1; k < node.operands.size(); ++k) {
        const double right = scoreOf(node.operands[k], database, record);
        switch (node.operators.at(qsizetype(k - 1)).unicode()) {
        case '+':
            value = held(value + right);
            break;
        case '-':
            value = held(value - right);
            break;
        case '*':
            value = held(value * right);
            break;
        default:
            value = right == 0 ? 0 : held(value / right);
        }
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzScope &fuzz = FuzzScope::instance();
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    const query::ScoreParse parsed = query::parseScore(text, fuzz.registry);
    FUZZ_CHECK(parsed.score.has_value() == parsed.error.isEmpty());
    if (!parsed.score)
        return 0;
    const query::ScoreParse again = query::parseScore(parsed.score->text(), fuzz.registry);
    FUZZ_CHECK(again.score && *again.score == *parsed.score);
    const QVector<query::Hit> hits = query::evaluate(query::Query(), fuzz.scope);
    const std::vector<double> scores = query::scoresOf(*parsed.score, fuzz.scope, hits);
    for (qsizetype h = 0; h < hits.size(); ++h) {
        const double expected =
            parsed.score->isEmpty() ? 0 : scoreOf(parsed.score->root(), fuzz.scope[hits[h].database], hits[h].record);
        FUZZ_CHECK(std::isfinite(scores[size_t(h)]) && scores[size_t(h)] == expected);
    }
    FUZZ_CHECK(!query::bestPerSlot(fuzz.scope, hits, scores).isEmpty());
    return 0;
}
