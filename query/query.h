#pragma once

#include "fields/registry.h"
#include "query/scope.h"

#include <QString>
#include <QStringView>
#include <QVector>

#include <optional>
#include <vector>

// The query language of Find Items:
//     level<=40 slot:finger (hitroll>=3 or damroll>=3) -flags:anti-evil
// Bare words and "quoted phrases" must occur in the name or the description
// (ignoring case as the main search does); field:word matches a words field
// (a trailing * a prefix, field:* any value); field<N, <=, =, >=, > and
// field:N compare a number field. A leading "-" negates a term or a group,
// "or" joins alternatives, terms side by side (or joined by "and") must all
// hold, parentheses group. See fields/field_store.h for the whole picture.
namespace query {

enum class Comparison { Less, LessOrEqual, Equal, GreaterOrEqual, Greater };

// A parsed query. And and Or nodes have at least two children and no child of
// their own type; the empty query is an And without children.
struct Node
{
    enum class Type { And, Or, Not, Text, Present, Words, Compare };
    Type type = Type::And;
    std::vector<Node> children;
    // Present, Words, Compare: the field's own name (never an alias).
    QString field;
    // Text: the text to find; Words: the word (without a final "*");
    // Compare: the number as written.
    QString text;
    bool quoted = false; // Text: written as a "quoted phrase"
    bool prefix = false; // Words: a final "*" matches every word it begins
    Comparison comparison = Comparison::Equal;
    double number = 0;

    bool operator==(const Node &other) const;
    bool operator!=(const Node &other) const { return !(*this == other); }
};

class Query
{
public:
    explicit Query(Node root = {}) : root_(std::move(root)) {}

    const Node &root() const { return root_; }
    // Matches every item.
    bool isEmpty() const { return root_.type == Node::Type::And && root_.children.empty(); }
    // The canonical text, which parses back to the same query.
    QString text() const;

    bool operator==(const Query &other) const { return root_ == other.root_; }

private:
    Node root_;
};

struct QueryParse
{
    std::optional<Query> query;
    // When there is no query: what is wrong and where, e.g.
    // "unknown field 'hitrol' at word 3; did you mean hitroll?".
    QString error;
};

// Parses a query against the fields known in its scope. Linear in the text;
// parentheses and "-" nest at most 100 deep.
QueryParse parseQuery(QStringView text, const fields::Registry &known);

// The items of the scope the query matches: in database order, then file order.
QVector<Hit> evaluate(const Query &query, const Scope &scope);

} // namespace query
