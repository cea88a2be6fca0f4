#include "query/score_sets.h"

#include "storage/text_file.h"
#include "storage/windows1252.h"

#include <QRegularExpression>
#include <QStringList>

namespace query {
namespace {

// Kept ASCII, like every line the program writes itself.
constexpr const char *kHeader[] = {
    "# scores.cfg: Gearledger's weight sets for the Score box of Find Items, one a",
    "# line as name: expression, for example   tank: hp/10 + armor/2",
    "# (numbers, field names, + - * / and parentheses; a missing field counts as 0).",
};

std::optional<ScoreSet> setOfLine(const QString &line)
{
    const qsizetype colon = line.indexOf(u':');
    if (line.trimmed().startsWith(u'#') || colon < 0)
        return std::nullopt;
    ScoreSet set{line.left(colon).trimmed(), line.mid(colon + 1).trimmed()};
    if (set.name.isEmpty() || set.expression.isEmpty())
        return std::nullopt;
    return set;
}

bool hasName(const QVector<ScoreSet> &sets, const QString &name)
{
    for (const ScoreSet &set : sets) {
        if (set.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

} // namespace

QVector<ScoreSet> parseScoreSets(const QByteArray &bytes)
{
    QVector<ScoreSet> sets;
    const QStringList lines = storage::decodeWindows1252(bytes).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString &line : lines) {
        const std::optional<ScoreSet> set = setOfLine(line);
        if (set && !hasName(sets, set->name))
            sets.append(*set);
    }
    return sets;
}

QByteArray formatScoreSets(const QVector<ScoreSet> &sets)
{
    QStringList lines;
    for (const char *line : kHeader)
        lines.append(QString::fromLatin1(line));
    for (const ScoreSet &set : sets)
        lines.append(set.name + QStringLiteral(": ") + set.expression);
    return storage::encodeLines(lines);
}

QVector<ScoreSet> defaultScoreSets()
{
    return {{QStringLiteral("melee"), QStringLiteral("2*hitroll + 2*damroll + str + dex")},
            {QStringLiteral("tank"), QStringLiteral("hp/10 + armor/2 + con")},
            {QStringLiteral("caster"), QStringLiteral("mana/10 + int + wis")}};
}

std::optional<QString> scoreSetRefusal(const ScoreSet &set)
{
    const QString name = set.name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Type a name for the weight set.");
    if (name.contains(u':') || name.startsWith(u'#'))
        return QStringLiteral("The name of a weight set cannot hold \":\" nor begin with \"#\": %1").arg(name);
    if (set.expression.trimmed().isEmpty())
        return QStringLiteral("Type the weights of the set %1 first.").arg(name);
    if (hasLineBreak(name) || hasLineBreak(set.expression))
        return QStringLiteral("A weight set is one line: its name and weights cannot hold a line break.");
    QByteArray encoded;
    QString badChar;
    if (!storage::encodeWindows1252(name + set.expression, &encoded, &badChar))
        return QStringLiteral("The character %1 cannot be kept in scores.cfg.").arg(badChar);
    return std::nullopt;
}

} // namespace query
