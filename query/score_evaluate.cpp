#include "query/score.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <functional>

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

// A result a double cannot hold is held at the largest one. No step can give
// NaN: every operand is finite, and a division by zero gives 0.
double held(double value)
{
    return std::min(std::max(value, -DBL_MAX), DBL_MAX);
}

// The hits are scored a block at a time, each step on the whole block.
constexpr size_t kBlock = 256;
using Block = std::array<double, kBlock>;

// Applies a binary step to the first `size` values of a block.
void combine(Step::Code code, Block &left, const Block &right, size_t size)
{
    switch (code) {
    case Step::Code::Add:
        for (size_t h = 0; h < size; ++h)
            left[h] = held(left[h] + right[h]);
        break;
    case Step::Code::Subtract:
        for (size_t h = 0; h < size; ++h)
            left[h] = held(left[h] - right[h]);
        break;
    case Step::Code::Multiply:
        for (size_t h = 0; h < size; ++h)
            left[h] = held(left[h] * right[h]);
        break;
    default:
        // Without branches, so that the divisions run side by side.
        for (size_t h = 0; h < size; ++h) {
            const double quotient = held(left[h] / (right[h] == 0 ? 1 : right[h]));
            left[h] = right[h] == 0 ? 0 : quotient;
        }
    }
}

// The values of the score's fields for every record of each database the
// hits are in (0 where one is missing), made when first needed.
class FieldValues
{
public:
    FieldValues(const Scope &scope, const QStringList &fields) : scope_(scope), fields_(fields), values_(scope.size()) {}

    const double *of(int database, int field)
    {
        std::vector<std::vector<double>> &columns = values_[size_t(database)];
        if (columns.empty()) {
            for (const QString &name : fields_)
                columns.push_back(dense(scope_[database], name));
        }
        return columns[size_t(field)].data();
    }

private:
    static std::vector<double> dense(const DatabaseView &database, const QString &field)
    {
        std::vector<double> values(size_t(database.index->records.size()), 0);
        const fields::Column *column = database.fields->column(field);
        if (column && column->kind() == fields::Kind::Number) {
            for (size_t entry = 0; entry < column->records().size(); ++entry)
                values[column->records()[entry]] = column->number(qsizetype(entry));
        }
        return values;
    }

    const Scope &scope_;
    const QStringList &fields_;
    std::vector<std::vector<std::vector<double>>> values_;
};

} // namespace

std::vector<double> scoresOf(const Score &score, const Scope &scope, const QVector<Hit> &hits)
{
    std::vector<double> scores(size_t(hits.size()), 0);
    if (score.isEmpty())
        return scores;
    const QStringList fields = score.fields();
    FieldValues values(scope, fields);
    std::vector<Step> steps;
    compile(score.root(), fields, &steps);
    std::vector<Block> loaded(size_t(fields.size()));
    std::vector<Block> stack(steps.size());
    for (size_t first = 0; first < scores.size(); first += kBlock) {
        const size_t size = std::min(kBlock, scores.size() - first);
        for (int k = 0; k < fields.size(); ++k) {
            for (size_t h = 0; h < size; ++h) {
                const Hit &hit = hits[qsizetype(first + h)];
                loaded[size_t(k)][h] = values.of(hit.database, k)[hit.record];
            }
        }
        size_t top = 0;
        for (const Step &step : steps) {
            if (step.code == Step::Code::Push)
                stack[top++].fill(step.value);
            else if (step.code == Step::Code::Load)
                stack[top++] = loaded[size_t(step.slot)];
            else if (step.code == Step::Code::Negate)
                std::transform(stack[top - 1].begin(), stack[top - 1].end(), stack[top - 1].begin(), std::negate<>());
            else
                combine(step.code, stack[top - 2], stack[top - 1], size), --top;
        }
        std::copy_n(stack[0].begin(), size, scores.begin() + qsizetype(first));
    }
    return scores;
}

} // namespace query
