#include "query/column_cursor.h"
#include "query/score.h"

#include <cfloat>
#include <cmath>

namespace query {
namespace {

// The score compiled to steps on a stack of numbers.
struct Step
{
    enum class Code { Push, Load, Negate, Add, Subtract, Multiply, Divide };
    Code code = Code::Push;
    double value = 0;
    int slot = 0;
};

Step::Code codeOf(QChar op)
{
    return op == u'+' ? Step::Code::Add : op == u'-' ? Step::Code::Subtract : op == u'*' ? Step::Code::Multiply
                                                                                          : Step::Code::Divide;
}

void compile(const ScoreNode &node, const QStringList &fields, std::vector<Step> *steps)
{
    switch (node.type) {
    case ScoreNode::Type::Number:
        steps->push_back({Step::Code::Push, node.number, 0});
        return;
    case ScoreNode::Type::Field:
        steps->push_back({Step::Code::Load, 0, int(fields.indexOf(node.text))});
        return;
    case ScoreNode::Type::Negate:
        compile(node.operands.front(), fields, steps);
        steps->push_back({Step::Code::Negate, 0, 0});
        return;
    default:
        compile(node.operands.front(), fields, steps);
        for (size_t k = 1; k < node.operands.size(); ++k) {
            compile(node.operands[k], fields, steps);
            steps->push_back({codeOf(node.operators.at(qsizetype(k - 1))), 0, 0});
        }
    }
}

// A result a double cannot hold is held at the largest one.
double held(double value)
{
    if (std::isnan(value))
        return 0;
    return std::isinf(value) ? std::copysign(DBL_MAX, value) : value;
}

double run(const std::vector<Step> &steps, const std::vector<double> &values, std::vector<double> &stack)
{
    size_t top = 0;
    for (const Step &step : steps) {
        switch (step.code) {
        case Step::Code::Push:
            stack[top++] = step.value;
            continue;
        case Step::Code::Load:
            stack[top++] = values[size_t(step.slot)];
            continue;
        case Step::Code::Negate:
            stack[top - 1] = -stack[top - 1];
            continue;
        default:
            break;
        }
        const double right = stack[--top];
        double &left = stack[top - 1];
        switch (step.code) {
        case Step::Code::Add:
            left = held(left + right);
            break;
        case Step::Code::Subtract:
            left = held(left - right);
            break;
        case Step::Code::Multiply:
            left = held(left * right);
            break;
        default:
            left = right == 0 ? 0 : held(left / right);
        }
    }
    return stack[0];
}

} // namespace

std::vector<double> scoresOf(const Score &score, const Scope &scope, const QVector<Hit> &hits)
{
    std::vector<double> scores(size_t(hits.size()), 0);
    if (score.isEmpty())
        return scores;
    const QStringList fields = score.fields();
    std::vector<Step> steps;
    compile(score.root(), fields, &steps);
    std::vector<double> stack(steps.size());
    std::vector<double> values(size_t(fields.size()));
    std::vector<ColumnCursor> cursors;
    int database = -1;
    for (qsizetype h = 0; h < hits.size(); ++h) {
        if (hits[h].database != database) {
            database = hits[h].database;
            cursors.clear();
            for (const QString &field : fields) {
                const fields::Column *column = scope[database].fields->column(field);
                cursors.emplace_back(column && column->kind() == fields::Kind::Number ? column : nullptr);
            }
        }
        for (size_t k = 0; k < cursors.size(); ++k) {
            const qsizetype entry = cursors[k].entryOf(hits[h].record);
            values[k] = entry < 0 ? 0 : cursors[k].column()->number(entry);
        }
        scores[size_t(h)] = run(steps, values, stack);
    }
    return scores;
}

} // namespace query
