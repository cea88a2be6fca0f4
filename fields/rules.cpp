#include "fields/rules.h"

#include "search/folded_needle.h"
#include "storage/windows1252.h"

#include <QStringDecoder>

namespace fields {
namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString lineError(int line, const QString &what)
{
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

// A number of at most 18 digits, with decimals: "10000", "2.5".
std::optional<double> plainNumber(QStringView text)
{
    int digits = 0;
    int points = 0;
    for (const QChar c : text) {
        digits += c.isDigit() && c.unicode() < 128;
        points += c == u'.';
    }
    if (digits == 0 || digits > 18 || points > 1 || digits + points != text.size() || text.front() == u'.'
        || text.back() == u'.')
        return std::nullopt;
    return text.toString().toDouble();
}

struct Line
{
    int number;
    QStringView text;
};

QVector<Line> splitLines(QStringView text)
{
    QVector<Line> lines;
    int number = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append({number++, text.mid(start, i - start)});
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

struct Alias
{
    int line;
    QString field;
    QString name;
};

struct Mention
{
    int line;
    QString field;
    std::optional<Kind> kind;
};

} // namespace

// Reads the lines in turn, then checks what depends on several lines.
class RulesParser
{
public:
    ParsedRules parse(QStringView text)
    {
        for (const Line &line : splitLines(text))
            parseLine(line.number, line.text.trimmed());
        resolvePlaceholders();
        defineFields();
        std::stable_sort(result_.errors.begin(), result_.errors.end(),
                         [](const RuleError &a, const RuleError &b) { return a.line < b.line; });
        if (!result_.errors.isEmpty())
            result_.rules = Rules();
        return std::move(result_);
    }

private:
    Rules &rules() { return result_.rules; }

    void fail(int line, const QString &what) { result_.errors.append({line, lineError(line, what)}); }

    void parseLine(int line, QStringView text)
    {
        if (text.isEmpty() || text.front() == u'#')
            return;
        qsizetype end = 0;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        const QString keyword = text.left(end).toString().toLower();
        const QStringView rest = text.mid(end).trimmed();
        if (keyword == u"match")
            parsePattern(line, rest);
        else if (keyword == u"alias")
            parseAlias(line, rest);
        else if (keyword == u"coin")
            parseCoin(line, rest);
        else
            fail(line, QStringLiteral("unknown rule '%1'; rules begin with match, alias or coin").arg(keyword));
    }

    void parsePattern(int line, QStringView text)
    {
        if (text.isEmpty())
            return fail(line, QStringLiteral("match needs a pattern"));
        Pattern pattern{line, {}};
        for (qsizetype i = 0; i < text.size();) {
            QString problem;
            if (text[i] == u'{')
                i = placeholder(text, i, &pattern, &problem);
            else if (isBlank(text[i]))
                i = blanks(text, i, &pattern);
            else
                i = literal(text, i, &pattern, &problem);
            if (!problem.isEmpty())
                return fail(line, problem);
        }
        const QString problem = shapeProblem(pattern);
        if (!problem.isEmpty())
            return fail(line, problem);
        rules().patterns_.append(pattern);
    }

    static qsizetype blanks(QStringView text, qsizetype i, Pattern *pattern)
    {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        pattern->parts.append({PatternPart::Type::Blanks, {}, Reading::Number, {}});
        return i;
    }

    static qsizetype literal(QStringView text, qsizetype i, Pattern *pattern, QString *problem)
    {
        if (pattern->parts.isEmpty() || pattern->parts.last().type != PatternPart::Type::Text)
            pattern->parts.append({PatternPart::Type::Text, {}, Reading::Number, {}});
        const QChar c = text[i];
        QByteArray byte;
        if (c == u'|')
            *problem = QStringLiteral("a pattern cannot hold '|', a line break");
        else if (c.isSurrogate() || !storage::encodeWindows1252(QString(c), &byte))
            *problem = QStringLiteral("'%1' cannot be in a database").arg(text.mid(i, c.isSurrogate() ? 2 : 1));
        else
            pattern->parts.last().folded += char(search::FoldedNeedle::fold(uchar(byte[0])));
        return i + 1;
    }

    static qsizetype placeholder(QStringView text, qsizetype i, Pattern *pattern, QString *problem)
    {
        const qsizetype close = text.indexOf(u'}', i);
        if (close < 0) {
            *problem = QStringLiteral("'{' without '}'");
            return text.size();
        }
        const QStringView inside = text.mid(i + 1, close - i - 1);
        PatternPart part{PatternPart::Type::Placeholder, {}, Reading::Number, {}};
        if (!readPlaceholder(inside, &part))
            *problem = QStringLiteral("unknown placeholder {%1}").arg(inside);
        pattern->parts.append(part);
        return close + 1;
    }

    static bool readPlaceholder(QStringView inside, PatternPart *part)
    {
        static const struct
        {
            const char16_t *word;
            Reading reading;
        } kSelfNamed[] = {{u"name", Reading::Name}, {u"number", Reading::NamedNumber}, {u"pairs", Reading::Pairs}},
          kNamed[] = {{u"number", Reading::Number}, {u"dice", Reading::Dice}, {u"money", Reading::Money},
                      {u"word", Reading::Word},     {u"words", Reading::Words}};
        for (const auto &self : kSelfNamed) {
            if (inside == QStringView(self.word)) {
                part->reading = self.reading;
                return true;
            }
        }
        const qsizetype colon = inside.indexOf(u':');
        if (colon < 0 || !isFieldName(inside.left(colon)))
            return false;
        for (const auto &named : kNamed) {
            if (inside.mid(colon + 1) == QStringView(named.word)) {
                part->reading = named.reading;
                part->field = inside.left(colon).toString();
                return true;
            }
        }
        return false;
    }

    static QString shapeProblem(const Pattern &pattern)
    {
        if (pattern.parts.first().type != PatternPart::Type::Text)
            return QStringLiteral("a pattern must begin with text");
        int names = 0;
        int numbers = 0;
        for (qsizetype k = 0; k < pattern.parts.size(); ++k) {
            const PatternPart &part = pattern.parts[k];
            if (part.type != PatternPart::Type::Placeholder)
                continue;
            names += part.reading == Reading::Name;
            numbers += part.reading == Reading::NamedNumber;
            if (part.reading == Reading::Pairs && k + 1 != pattern.parts.size())
                return QStringLiteral("{pairs} must end the pattern");
        }
        if (names > 1 || numbers > 1)
            return QStringLiteral("{name} and {number} may be used once each");
        if (names > numbers)
            return QStringLiteral("{name} without {number}");
        if (numbers > names)
            return QStringLiteral("{number} without {name}");
        return QString();
    }

    // "FIELD: rest"; false after failing.
    bool splitNamed(int line, QStringView text, const QString &form, QString *name, QStringView *rest)
    {
        const qsizetype colon = text.indexOf(u':');
        if (colon < 0) {
            fail(line, QStringLiteral("this rule has the form '%1'").arg(form));
            return false;
        }
        *name = text.left(colon).trimmed().toString();
        *rest = text.mid(colon + 1).trimmed();
        return true;
    }

    void parseAlias(int line, QStringView text)
    {
        const QString form = QStringLiteral("alias FIELD: other name, other name");
        QString field;
        QStringView rest;
        if (!splitNamed(line, text, form, &field, &rest))
            return;
        if (!isFieldName(field))
            return fail(line, QStringLiteral("'%1' is not a field name (lower case letters, digits and _)").arg(field));
        int added = 0;
        for (const QStringView name : rest.split(u',')) {
            const QString alias = normalisedName(name);
            if (alias.isEmpty())
                continue;
            if (!isFieldName(alias))
                return fail(line, QStringLiteral("'%1' cannot name a field").arg(name.trimmed()));
            aliases_.append({line, field, alias});
            ++added;
        }
        if (added == 0)
            return fail(line, QStringLiteral("this rule has the form '%1'").arg(form));
        mentions_.append({line, field, std::nullopt});
    }

    void parseCoin(int line, QStringView text)
    {
        const QString form = QStringLiteral("coin UNIT: VALUE");
        QString unit;
        QStringView rest;
        if (!splitNamed(line, text, form, &unit, &rest))
            return;
        const std::optional<double> value = plainNumber(rest);
        QByteArray folded;
        const bool oneWord = !unit.isEmpty() && std::none_of(unit.begin(), unit.end(), isBlank);
        if (!oneWord || !value || !storage::encodeWindows1252(unit.toLower(), &folded))
            return fail(line, QStringLiteral("this rule has the form '%1'").arg(form));
        if (coinLines_.contains(folded))
            return fail(line, QStringLiteral("coin %1 is defined on line %2 already").arg(unit).arg(coinLines_[folded]));
        coinLines_.insert(folded, line);
        rules().coins_.append({folded, *value});
    }

    // Placeholders name fields through their aliases too.
    void resolvePlaceholders()
    {
        for (const Alias &alias : aliases_) {
            const auto known = aliasLines_.constFind(alias.name);
            if (alias.name == alias.field)
                continue;
            if (known != aliasLines_.constEnd() && rules().aliasTarget_[alias.name] != alias.field) {
                fail(alias.line, QStringLiteral("'%1' is an alias of %2 on line %3 already")
                                     .arg(alias.name, rules().aliasTarget_[alias.name])
                                     .arg(*known));
                continue;
            }
            aliasLines_.insert(alias.name, alias.line);
            rules().aliasTarget_.insert(alias.name, alias.field);
        }
        for (Pattern &pattern : rules().patterns_) {
            for (PatternPart &part : pattern.parts) {
                if (!part.field.isEmpty()) {
                    part.field = rules().resolve(part.field);
                    const bool words = part.reading == Reading::Word || part.reading == Reading::Words;
                    mentions_.append({pattern.line, part.field, words ? Kind::Words : Kind::Number});
                }
            }
        }
    }

    void defineFields()
    {
        std::stable_sort(mentions_.begin(), mentions_.end(),
                         [](const Mention &a, const Mention &b) { return a.kind.has_value() > b.kind.has_value(); });
        QHash<QString, int> kindLines;
        for (const Mention &mention : mentions_) {
            if (aliasLines_.contains(mention.field)) {
                fail(mention.line, QStringLiteral("%1 is an alias of %2 (line %3), not a field")
                                       .arg(mention.field, rules().aliasTarget_[mention.field])
                                       .arg(aliasLines_[mention.field]));
                continue;
            }
            int &index = rules().fieldIndex_[mention.field];
            if (!kindLines.contains(mention.field)) {
                index = int(rules().fields_.size());
                rules().fields_.append({mention.field, mention.kind.value_or(Kind::Number), {}});
                kindLines.insert(mention.field, mention.line);
            } else if (mention.kind && *mention.kind != rules().fields_[index].kind) {
                const bool words = *mention.kind == Kind::Words;
                fail(mention.line, QStringLiteral("%1 holds %2 (line %3), not %4")
                                       .arg(mention.field, words ? u"numbers" : u"words")
                                       .arg(kindLines[mention.field])
                                       .arg(words ? u"words" : u"numbers"));
            }
        }
        for (auto it = rules().aliasTarget_.cbegin(); it != rules().aliasTarget_.cend(); ++it) {
            if (rules().fieldIndex_.contains(it.value()))
                rules().fields_[rules().fieldIndex_[it.value()]].aliases.append(it.key());
        }
        for (FieldDefinition &field : rules().fields_)
            field.aliases.sort();
    }

    ParsedRules result_;
    QVector<Alias> aliases_;
    QHash<QString, int> aliasLines_;
    QVector<Mention> mentions_;
    QHash<QByteArray, int> coinLines_;
};

const FieldDefinition *Rules::field(const QString &name) const
{
    const auto found = fieldIndex_.constFind(name);
    return found == fieldIndex_.constEnd() ? nullptr : &fields_[*found];
}

QString Rules::resolve(const QString &normalised) const
{
    return aliasTarget_.value(normalised, normalised);
}

ParsedRules parseRules(QStringView text)
{
    return RulesParser().parse(text);
}

QString decodeRulesFile(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? storage::decodeWindows1252(bytes) : text;
}

QString normalisedName(QStringView name)
{
    QString out;
    bool gap = false;
    for (const QChar c : name.trimmed()) {
        if (isBlank(c) || c == u'-') {
            gap = true;
            continue;
        }
        if (gap)
            out += u'_';
        gap = false;
        out += c.toLower();
    }
    return out;
}

bool isFieldName(QStringView name)
{
    if (name.isEmpty() || name.front() < u'a' || name.front() > u'z')
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_';
    });
}

} // namespace fields
