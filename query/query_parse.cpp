#include "query/query.h"

#include "query/text_words.h"

namespace query {
namespace {


struct Token
{
    enum class Kind { Open, Close, Not, Phrase, Term, Or, And, End };
    Kind kind = Kind::End;
    QStringView text;
    int word = 0;
};

struct ParseError
{
    QString message;
};

// Splits a query into tokens; throws ParseError for a quote left open.
QVector<Token> tokens(QStringView text)
{
    QVector<Token> list;
    WordCounter counter(text);
    qsizetype i = 0;
    const auto ends = [&](qsizetype k) {
        return k >= text.size() || isBlank(text[k]) || text[k] == u'(' || text[k] == u')' || text[k] == u'"';
    };
    while (true) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i >= text.size())
            break;
        const int word = counter.wordAt(i);
        const QChar c = text[i];
        if (c == u'(' || c == u')' || c == u'-') {
            list.append({c == u'(' ? Token::Kind::Open : c == u')' ? Token::Kind::Close : Token::Kind::Not,
                         text.mid(i, 1), word});
            ++i;
        } else if (c == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            if (close < 0)
                throw ParseError{QStringLiteral("the quote opened at word %1 is not closed").arg(word)};
            list.append({Token::Kind::Phrase, text.mid(i + 1, close - i - 1), word});
            i = close + 1;
        } else {
            const qsizetype start = i;
            while (!ends(i))
                ++i;
            const QStringView term = text.mid(start, i - start);
            const bool isOr = term.compare(u"or", Qt::CaseInsensitive) == 0;
            const bool isAnd = term.compare(u"and", Qt::CaseInsensitive) == 0;
            list.append({isOr ? Token::Kind::Or : isAnd ? Token::Kind::And : Token::Kind::Term, term, word});
        }
    }
    list.append({Token::Kind::End, {}, 0});
    return list;
}

bool startsTerm(Token::Kind kind)
{
    return kind == Token::Kind::Open || kind == Token::Kind::Not || kind == Token::Kind::Phrase
           || kind == Token::Kind::Term;
}

// Joins nodes as an And or an Or: one node stands alone; children of the same type are taken in.
Node joined(Node::Type type, std::vector<Node> parts)
{
    if (parts.size() == 1)
        return std::move(parts.front());
    Node node;
    node.type = type;
    for (Node &part : parts) {
        if (part.type == type)
            std::move(part.children.begin(), part.children.end(), std::back_inserter(node.children));
        else
            node.children.push_back(std::move(part));
    }
    return node;
}

class Parser
{
public:
    Parser(QStringView text, const fields::Registry &known) : tokens_(tokens(text)), known_(known) {}

    Node parse()
    {
        Node root = group(0);
        if (peek().kind == Token::Kind::Close)
            fail(QStringLiteral("unexpected ')' %1").arg(place(peek().word)));
        return root;
    }

private:
    const Token &peek() const { return tokens_[next_]; }
    const Token &take() { return tokens_[next_++]; }
    [[noreturn]] static void fail(const QString &message) { throw ParseError{message}; }

    // Alternatives up to a ")" or the end.
    Node group(int depth)
    {
        std::vector<Node> alternatives;
        std::vector<Node> terms;
        while (peek().kind != Token::Kind::End && peek().kind != Token::Kind::Close) {
            if (peek().kind == Token::Kind::Or || peek().kind == Token::Kind::And) {
                const Token &joiner = take();
                if (terms.empty() || !startsTerm(peek().kind))
                    fail(QStringLiteral("'%1' needs a term on both sides %2").arg(joiner.text.toString().toLower(),
                                                                                 place(joiner.word)));
                if (joiner.kind == Token::Kind::Or)
                    alternatives.push_back(joined(Node::Type::And, std::exchange(terms, {})));
                continue;
            }
            terms.push_back(unary(depth));
        }
        if (terms.empty())
            return Node();
        alternatives.push_back(joined(Node::Type::And, std::move(terms)));
        return joined(Node::Type::Or, std::move(alternatives));
    }

    Node unary(int depth)
    {
        const Token &token = take();
        if ((token.kind == Token::Kind::Not || token.kind == Token::Kind::Open) && depth >= kMostNesting)
            fail(QStringLiteral("the query nests more than %1 deep %2").arg(kMostNesting).arg(place(token.word)));
        switch (token.kind) {
        case Token::Kind::Not: {
            if (!startsTerm(peek().kind))
                fail(QStringLiteral("'-' needs a term after it %1").arg(place(token.word)));
            Node node;
            node.type = Node::Type::Not;
            node.children.push_back(unary(depth + 1));
            return node;
        }
        case Token::Kind::Open: {
            Node inner = group(depth + 1);
            if (take().kind != Token::Kind::Close)
                fail(QStringLiteral("')' missing at the end"));
            if (inner.type == Node::Type::And && inner.children.empty())
                fail(QStringLiteral("'()' holds no term %1").arg(place(token.word)));
            return inner;
        }
        case Token::Kind::Phrase: {
            Node node;
            node.type = Node::Type::Text;
            node.text = token.text.toString();
            node.quoted = true;
            return node;
        }
        default:
            return term(token);
        }
    }

    Node term(const Token &token)
    {
        Node node;
        const QStringView text = token.text;
        qsizetype split = 0;
        while (split < text.size() && !QStringView(u":<>=").contains(text[split]))
            ++split;
        if (split == 0 || split == text.size()) {
            node.type = Node::Type::Text;
            node.text = text.toString();
            return node;
        }
        const fields::FieldInfo *field = known_.find(text.left(split));
        if (!field)
            fail(unknownField(known_, text.left(split), token.word));
        node.field = field->name;
        qsizetype valueAt = split + 1;
        if (text[split] == u':')
            return fieldMatch(std::move(node), *field, text.mid(valueAt), token);
        if (valueAt < text.size() && text[split] != u'=' && text[valueAt] == u'=')
            ++valueAt;
        const QStringView op = text.mid(split, valueAt - split);
        if (field->kind == fields::Kind::Words)
            fail(QStringLiteral("'%1' holds words, not numbers, and cannot be compared %2")
                     .arg(field->name, place(token.word)));
        node.comparison = op == u"<"    ? Comparison::Less
                          : op == u"<=" ? Comparison::LessOrEqual
                          : op == u"="  ? Comparison::Equal
                          : op == u">=" ? Comparison::GreaterOrEqual
                                        : Comparison::Greater;
        return compared(std::move(node), text.mid(valueAt), text.left(valueAt), token);
    }

    Node fieldMatch(Node node, const fields::FieldInfo &field, QStringView value, const Token &token)
    {
        const bool words = field.kind == fields::Kind::Words;
        if (value == u"*") {
            node.type = Node::Type::Present;
            return node;
        }
        if (!words)
            return compared(std::move(node), value, token.text.left(token.text.size() - value.size()), token);
        if (value.isEmpty())
            fail(QStringLiteral("a word is needed after '%1' %2").arg(token.text, place(token.word)));
        node.type = Node::Type::Words;
        node.prefix = value.endsWith(u'*');
        node.text = (node.prefix ? value.chopped(1) : value).toString();
        return node;
    }

    static Node compared(Node node, QStringView value, QStringView before, const Token &token)
    {
        if (!isNumber(value, true))
            fail(QStringLiteral("a number is needed after '%1' %2").arg(before, place(token.word)));
        node.type = Node::Type::Compare;
        node.text = value.toString();
        node.number = node.text.toDouble();
        return node;
    }

    QVector<Token> tokens_;
    qsizetype next_ = 0;
    const fields::Registry &known_;
};

QString printed(const Node &node, bool inAnd);

QString printedChildren(const Node &node, const QString &separator, bool inAnd)
{
    QStringList parts;
    for (const Node &child : node.children)
        parts.append(printed(child, inAnd));
    return parts.join(separator);
}

// A group inside an And or after "-" is put in parentheses.
QString printed(const Node &node, bool nested)
{
    static const char16_t *const kComparisons[] = {u"<", u"<=", u"=", u">=", u">"};
    switch (node.type) {
    case Node::Type::And:
        return nested ? u'(' + printedChildren(node, QStringLiteral(" "), true) + u')'
                      : printedChildren(node, QStringLiteral(" "), true);
    case Node::Type::Or: {
        const QString text = printedChildren(node, QStringLiteral(" or "), false);
        return nested ? u'(' + text + u')' : text;
    }
    case Node::Type::Not:
        return u'-' + printed(node.children.front(), true);
    case Node::Type::Text:
        return node.quoted ? u'"' + node.text + u'"' : node.text;
    case Node::Type::Present:
        return node.field + QStringLiteral(":*");
    case Node::Type::Words:
        return node.field + u':' + node.text + (node.prefix ? QStringLiteral("*") : QString());
    case Node::Type::Compare:
        return node.field + QString::fromUtf16(kComparisons[int(node.comparison)]) + node.text;
    }
    return QString();
}

} // namespace

bool Node::operator==(const Node &other) const
{
    return type == other.type && children == other.children && field == other.field && text == other.text
           && quoted == other.quoted && prefix == other.prefix && comparison == other.comparison
           && number == other.number;
}

QString Query::text() const
{
    return printed(root_, false);
}

QueryParse parseQuery(QStringView text, const fields::Registry &known)
{
    try {
        return {Query(Parser(text, known).parse()), QString()};
    } catch (const ParseError &error) {
        return {std::nullopt, error.message};
    }
}

} // namespace query
