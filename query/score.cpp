#include "query/score.h"

#include "query/text_words.h"

namespace query {
namespace {


struct Token
{
    enum class Kind { Number, Name, Operator, Open, Close, End };
    Kind kind = Kind::End;
    QStringView text;
    int word = 0;
};

struct ParseError
{
    QString message;
};

bool isNameStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isNamePart(QChar c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9');
}

bool isDigitOrPoint(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'.';
}

QVector<Token> tokens(QStringView text)
{
    QVector<Token> list;
    WordCounter counter(text);
    for (qsizetype i = 0; i < text.size();) {
        if (isBlank(text[i])) {
            ++i;
            continue;
        }
        const int word = counter.wordAt(i);
        const qsizetype start = i;
        Token::Kind kind = Token::Kind::Operator;
        if (isDigitOrPoint(text[i])) {
            kind = Token::Kind::Number;
            while (i < text.size() && isDigitOrPoint(text[i]))
                ++i;
            if (!isNumber(text.mid(start, i - start), false))
                throw ParseError{QStringLiteral("'%1' is not a number of at most %2 digits %3")
                                     .arg(text.mid(start, i - start))
                                     .arg(kMostDigits)
                                     .arg(place(word))};
        } else if (isNameStart(text[i])) {
            kind = Token::Kind::Name;
            while (i < text.size() && isNamePart(text[i]))
                ++i;
        } else if (QStringView(u"+-*/()").contains(text[i])) {
            kind = text[i] == u'(' ? Token::Kind::Open : text[i] == u')' ? Token::Kind::Close : Token::Kind::Operator;
            ++i;
        } else {
            const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            throw ParseError{QStringLiteral("unexpected '%1' %2").arg(text.mid(i, length), place(word))};
        }
        list.append({kind, text.mid(start, i - start), word});
    }
    list.append({Token::Kind::End, {}, 0});
    return list;
}

class Parser
{
public:
    Parser(QStringView text, const fields::Registry &known) : tokens_(tokens(text)), known_(known) {}

    std::optional<ScoreNode> parse()
    {
        if (peek().kind == Token::Kind::End)
            return std::nullopt;
        ScoreNode root = sum(0);
        if (peek().kind == Token::Kind::Close)
            fail(QStringLiteral("unexpected ')' %1").arg(place(peek().word)));
        if (peek().kind != Token::Kind::End)
            operatorMissing();
        return root;
    }

private:
    const Token &peek() const { return tokens_[next_]; }
    const Token &take() { return tokens_[next_++]; }
    [[noreturn]] static void fail(const QString &message) { throw ParseError{message}; }
    [[noreturn]] void operatorMissing() const
    {
        fail(QStringLiteral("an operator is missing before '%1' %2").arg(peek().text, place(peek().word)));
    }

    bool atOperator(const char16_t *which) const
    {
        return peek().kind == Token::Kind::Operator && QStringView(which).contains(peek().text.front());
    }

    ScoreNode chain(ScoreNode::Type type, const char16_t *which, int depth)
    {
        ScoreNode first = type == ScoreNode::Type::Sum ? chain(ScoreNode::Type::Product, u"*/", depth) : unary(depth);
        if (!atOperator(which))
            return first;
        ScoreNode node;
        node.type = type;
        node.operands.push_back(std::move(first));
        while (atOperator(which)) {
            node.operators += take().text.front();
            node.operands.push_back(type == ScoreNode::Type::Sum ? chain(ScoreNode::Type::Product, u"*/", depth)
                                                                 : unary(depth));
        }
        return node;
    }

    ScoreNode sum(int depth) { return chain(ScoreNode::Type::Sum, u"+-", depth); }

    ScoreNode unary(int depth)
    {
        if (!atOperator(u"-") && peek().kind != Token::Kind::Open)
            return operand();
        const Token &token = take();
        if (depth >= kMostNesting)
            fail(QStringLiteral("the score nests more than %1 deep %2").arg(kMostNesting).arg(place(token.word)));
        if (token.kind == Token::Kind::Open) {
            ScoreNode inner = sum(depth + 1);
            if (peek().kind == Token::Kind::End)
                fail(QStringLiteral("')' missing at the end"));
            if (peek().kind != Token::Kind::Close)
                operatorMissing();
            take();
            return inner;
        }
        ScoreNode node;
        node.type = ScoreNode::Type::Negate;
        node.operands.push_back(unary(depth + 1));
        return node;
    }

    ScoreNode operand()
    {
        const Token &token = take();
        ScoreNode node;
        if (token.kind == Token::Kind::Number) {
            node.text = token.text.toString();
            node.number = node.text.toDouble();
        } else if (token.kind == Token::Kind::Name) {
            const fields::FieldInfo *field = known_.find(token.text);
            if (!field)
                fail(unknownField(known_, token.text, token.word));
            if (field->kind != fields::Kind::Number)
                fail(QStringLiteral("'%1' holds words, not numbers %2").arg(field->name, place(token.word)));
            node.type = ScoreNode::Type::Field;
            node.text = field->name;
        } else if (token.kind == Token::Kind::End) {
            fail(QStringLiteral("a number or field is needed at the end"));
        } else {
            fail(QStringLiteral("a number or field is needed before '%1' %2").arg(token.text, place(token.word)));
        }
        return node;
    }

    QVector<Token> tokens_;
    qsizetype next_ = 0;
    const fields::Registry &known_;
};

// Operands that group others are put in parentheses where the operators
// around them would otherwise take them apart.
QString printed(const ScoreNode &node);

QString printedOperand(const ScoreNode &node, ScoreNode::Type within)
{
    const bool group = node.type == ScoreNode::Type::Sum
                       || (node.type == ScoreNode::Type::Product && within != ScoreNode::Type::Sum);
    return group ? u'(' + printed(node) + u')' : printed(node);
}

QString printed(const ScoreNode &node)
{
    switch (node.type) {
    case ScoreNode::Type::Number:
    case ScoreNode::Type::Field:
        return node.text;
    case ScoreNode::Type::Negate:
        return u'-' + printedOperand(node.operands.front(), node.type);
    default: {
        QString text = printedOperand(node.operands.front(), node.type);
        for (size_t k = 1; k < node.operands.size(); ++k)
            text += u' ' + node.operators.at(qsizetype(k - 1)) + u' ' + printedOperand(node.operands[k], node.type);
        return text;
    }
    }
}

void collectFields(const ScoreNode &node, QStringList *out)
{
    if (node.type == ScoreNode::Type::Field && !out->contains(node.text))
        out->append(node.text);
    for (const ScoreNode &operand : node.operands)
        collectFields(operand, out);
}

} // namespace

bool ScoreNode::operator==(const ScoreNode &other) const
{
    return type == other.type && text == other.text && number == other.number && operands == other.operands
           && operators == other.operators;
}

QString Score::text() const
{
    return root_ ? printed(*root_) : QString();
}

QStringList Score::fields() const
{
    QStringList list;
    if (root_)
        collectFields(*root_, &list);
    return list;
}

bool Score::operator==(const Score &other) const
{
    return root_ == other.root_;
}

ScoreParse parseScore(QStringView text, const fields::Registry &known)
{
    try {
        const std::optional<ScoreNode> root = Parser(text, known).parse();
        return {root ? Score(*root) : Score(), QString()};
    } catch (const ParseError &error) {
        return {std::nullopt, error.message};
    }
}

} // namespace query
