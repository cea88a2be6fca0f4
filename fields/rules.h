#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <optional>

// The rules file fields.txt: how the stats of items (fields) are read out of
// their stored descriptions. See field_store.h for how the parts of fields/
// and query/ are used together.
//
// Each line is a rule, a comment (first non-blank character "#") or blank:
//     match <pattern>                  text as the game prints it, with {placeholders}
//     alias <field>: <name>, <name>    other names of a field
//     coin <unit>: <value>             a money unit for {field:money}
// A pattern's text matches ignoring case; a run of blanks in it matches one or
// more blanks or tabs. Placeholders:
//     {F:number} {F:dice} {F:money}    a number field F
//     {F:word} {F:words}               a words field F
//     {name} ... {number}              a stat naming itself: "Affects {name} by {number}"
//     {pairs}                          a list of stats naming themselves: "STR +1, DEX +2 and CON -1"
namespace fields {

enum class Kind { Number, Words };

// How a placeholder reads the text at its place.
enum class Reading { Number, Dice, Money, Word, Words, Name, NamedNumber, Pairs };

struct PatternPart
{
    enum class Type { Text, Blanks, Placeholder };
    Type type = Type::Text;
    // Text: folded Windows-1252 bytes without blanks.
    QByteArray folded;
    Reading reading = Reading::Number;
    // The field of a placeholder that names one (an alias already resolved).
    QString field;
};

struct Pattern
{
    int line = 0;
    // Begins with text; a Blanks part lies between others only.
    QVector<PatternPart> parts;
};

struct FieldDefinition
{
    QString name;
    Kind kind = Kind::Number;
    QStringList aliases;
};

struct Coin
{
    QByteArray foldedUnit;
    double value = 0;
};

// Rules without errors, ready to be applied. A default-constructed Rules has
// no rules at all.
class Rules
{
public:
    const QVector<Pattern> &patterns() const { return patterns_; }
    // The fields the rules name (placeholders and aliases), in the order of
    // their first mention.
    const QVector<FieldDefinition> &fields() const { return fields_; }
    const FieldDefinition *field(const QString &name) const;
    // The field a normalised name stands for: itself, or the field it is an alias of.
    QString resolve(const QString &normalised) const;
    const QVector<Coin> &coins() const { return coins_; }

private:
    friend class RulesParser;
    QVector<Pattern> patterns_;
    QVector<FieldDefinition> fields_;
    QHash<QString, int> fieldIndex_;
    QHash<QString, QString> aliasTarget_;
    QVector<Coin> coins_;
};

struct RuleError
{
    int line = 0;
    // Names the line: "line 12: unknown placeholder {lvl:numbr}".
    QString message;
};

struct ParsedRules
{
    Rules rules;
    // Every error, in line order; rules with errors must not be used.
    QVector<RuleError> errors;
};

// Parses rules text; lines end at CR LF, CR or LF and count from 1.
ParsedRules parseRules(QStringView text);

// The text of a rules file's bytes: UTF-8 when they are valid UTF-8, else Windows-1252.
QString decodeRulesFile(const QByteArray &bytes);

// The fields.txt written when there is none: commented default rules, ASCII
// with CR LF line ends.
QByteArray defaultRulesFile();

// A name as fields are named: lower case, each run of blanks or "-" one "_",
// no blanks at either end ("Hit Roll" -> "hit_roll").
QString normalisedName(QStringView name);

// A field name: lower case ASCII letters, digits and "_", beginning with a letter.
bool isFieldName(QStringView name);

} // namespace fields
