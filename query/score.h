#pragma once

#include "fields/registry.h"
#include "query/scope.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <optional>
#include <vector>

// The score expression that ranks items: weights over number fields,
//     2*hitroll + 2*damroll + hp/10 - weight/5
// numbers, field names (aliases too), + - * /, unary minus, parentheses. A
// missing field counts as 0, a division by zero gives 0, and a result too
// large for a double is held at the largest one: a score is always a number.
namespace query {

struct ScoreNode
{
    enum class Type { Number, Field, Negate, Sum, Product };
    Type type = Type::Number;
    // Number: as written; Field: the field's own name (never an alias).
    QString text;
    double number = 0;
    // Negate: one; Sum and Product: two or more, each after the first with
    // its operator in `operators` ('+' '-' or '*' '/').
    std::vector<ScoreNode> operands;
    QString operators;

    bool operator==(const ScoreNode &other) const;
};

class Score
{
public:
    Score() = default;
    explicit Score(ScoreNode root) : root_(std::move(root)) {}

    // The empty score gives every item 0.
    bool isEmpty() const { return !root_; }
    const ScoreNode &root() const { return *root_; }
    // The canonical text, which parses back to the same score.
    QString text() const;
    // The fields it reads, each once.
    QStringList fields() const;

    bool operator==(const Score &other) const;

private:
    std::optional<ScoreNode> root_;
};

struct ScoreParse
{
    std::optional<Score> score;
    // "unknown field 'hitrol' at word 1; did you mean hitroll?", "')' missing
    // at the end", "an operator is missing before 'damroll' at word 3".
    QString error;
};

ScoreParse parseScore(QStringView text, const fields::Registry &known);

// The score of each hit, in the order of the hits (any order).
std::vector<double> scoresOf(const Score &score, const Scope &scope, const QVector<Hit> &hits);

} // namespace query
