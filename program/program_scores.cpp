// The program object's part in the weight sets of the score box: scores.cfg
// in the program folder, read when asked and written through the safe save.
#include "program/program.h"

#include "storage/text_file.h"

namespace program {
namespace {

// The sets scores.cfg holds; the defaults when it is missing. Throws a Failure.
QVector<query::ScoreSet> readScoreSets(const QString &path)
{
    try {
        return query::parseScoreSets(storage::readFile(path));
    } catch (const base::Failure &failure) {
        if (!failure.isMissingFile())
            throw;
    }
    return query::defaultScoreSets();
}

// Where the set of that name is among the sets (names ignore case), or -1.
qsizetype indexOfSet(const QVector<query::ScoreSet> &sets, const QString &name)
{
    for (qsizetype k = 0; k < sets.size(); ++k) {
        if (sets[k].name.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    }
    return -1;
}

} // namespace

QVector<query::ScoreSet> Program::scoreSets() const
{
    QVector<query::ScoreSet> sets = query::defaultScoreSets();
    (void)base::attempt([&] { sets = readScoreSets(folder_.file(storage::kScoreSetsFile)); });
    return sets;
}

base::Outcome Program::saveScoreSet(const QString &name, const QString &expression)
{
    const query::ScoreSet set{name.trimmed(), expression.trimmed()};
    if (const std::optional<QString> refusal = query::scoreSetRefusal(set))
        return base::Outcome::refused(*refusal);
    return changeScoreSets([&](QVector<query::ScoreSet> &sets) {
        const qsizetype at = indexOfSet(sets, set.name);
        if (at < 0)
            sets.append(set);
        else
            sets[at] = set;
        return base::Outcome::done();
    });
}

base::Outcome Program::removeScoreSet(const QString &name)
{
    return changeScoreSets([&](QVector<query::ScoreSet> &sets) {
        const qsizetype at = indexOfSet(sets, name.trimmed());
        if (at < 0)
            return base::Outcome::refused(QStringLiteral("There is no weight set named %1.").arg(name.trimmed()));
        sets.remove(at);
        return base::Outcome::done();
    });
}

base::Outcome Program::changeScoreSets(const std::function<base::Outcome(QVector<query::ScoreSet> &)> &change)
{
    const QString path = folder_.file(storage::kScoreSetsFile);
    const base::Outcome changed = base::attempt([&] {
        QVector<query::ScoreSet> sets = readScoreSets(path);
        if (base::Outcome outcome = change(sets); !outcome.ok())
            return outcome;
        storage::saveAtomically(path, query::formatScoreSets(sets));
        return base::Outcome::done();
    });
    if (changed.ok())
        emit scoreSetsChanged();
    return changed;
}

} // namespace program
