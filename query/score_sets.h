#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// The named weight sets of the score box, kept in scores.cfg in the program
// folder: one "name: expression" a line, for example
//     tank: hp/10 + armor/2
// with '#' comment lines, in Windows-1252 with CR LF line ends. The
// expression is kept as written: it is checked (query::parseScore) when it is used.
namespace query {

struct ScoreSet
{
    QString name;
    QString expression;

    bool operator==(const ScoreSet &other) const { return name == other.name && expression == other.expression; }
};

// The sets of a file's bytes, in their order. A line ends at CR LF, CR or LF;
// name and expression are the text before and after the line's first ':',
// without blanks at either end. Lines that are not "name: expr" (empty,
// comments, no ':', an empty name or expression) are skipped, and so is a
// name given again (names are told apart ignoring case).
QVector<ScoreSet> parseScoreSets(const QByteArray &bytes);

// A '#' header comment, then one "name: expression" line per set, in
// Windows-1252 with CR LF. Throws a Failure (5) naming a character that
// Windows-1252 cannot hold; scoreSetRefusal refuses such sets first.
QByteArray formatScoreSets(const QVector<ScoreSet> &sets);

// The sets before the player keeps any: "melee", "tank", "caster".
QVector<ScoreSet> defaultScoreSets();

// Why a set cannot be kept so that it reads back the same: an empty name, a
// name with ':' or beginning with '#', an empty expression, a line break, or
// a character Windows-1252 cannot hold.
// Nothing when it can. Blanks at either end do not count (they are not kept).
std::optional<QString> scoreSetRefusal(const ScoreSet &set);

} // namespace query
