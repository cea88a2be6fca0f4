#include "fields/registry.h"

#include <algorithm>
#include <map>

namespace fields {
namespace {

// Levenshtein distance, given up (returning limit + 1) once it exceeds limit.
int editDistance(QStringView a, QStringView b, int limit)
{
    if (std::abs(a.size() - b.size()) > limit)
        return limit + 1;
    std::vector<int> row(size_t(b.size() + 1));
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        int best = row[0];
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[size_t(j)];
            row[size_t(j)] = std::min({above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
            best = std::min(best, row[size_t(j)]);
        }
        if (best > limit)
            return limit + 1;
    }
    return row[size_t(b.size())];
}

} // namespace

Registry::Registry(const Rules &rules, const QVector<const FieldStore *> &stores)
{
    for (const FieldDefinition &field : rules.fields()) {
        byName_.insert(field.name, int(fields_.size()));
        fields_.append({field.name, field.kind, field.aliases, 0});
    }
    std::map<QString, qsizetype> others;
    for (const FieldStore *store : stores) {
        itemCount_ += store->recordCount();
        for (const Column &column : store->columns()) {
            const auto known = byName_.constFind(column.name());
            if (known != byName_.constEnd())
                fields_[*known].itemsWith += qsizetype(column.records().size());
            else
                others[column.name()] += qsizetype(column.records().size());
        }
    }
    for (const auto &[name, count] : others) {
        byName_.insert(name, int(fields_.size()));
        fields_.append({name, Kind::Number, {}, count});
    }
    for (int k = 0; k < fields_.size(); ++k) {
        for (const QString &alias : std::as_const(fields_[k].aliases))
            byName_.insert(alias, k);
    }
}

const FieldInfo *Registry::find(QStringView name) const
{
    const auto found = byName_.constFind(normalisedName(name));
    return found == byName_.constEnd() ? nullptr : &fields_[*found];
}

QString Registry::closest(QStringView name) const
{
    const QString wanted = normalisedName(name);
    const int limit = int(std::min<qsizetype>(2, wanted.size() - 1));
    QString best;
    int bestDistance = limit + 1;
    for (auto it = byName_.cbegin(); it != byName_.cend(); ++it) {
        const int distance = editDistance(wanted, it.key(), limit);
        if (distance < bestDistance || (distance == bestDistance && distance <= limit && it.key() < best)) {
            bestDistance = distance;
            best = it.key();
        }
    }
    return best;
}

QString Registry::summary(const FieldInfo &field) const
{
    return QStringLiteral("%1: %2 of %3 %4")
        .arg(field.name, groupedNumber(field.itemsWith), groupedNumber(itemCount_),
             itemCount_ == 1 ? QStringLiteral("item") : QStringLiteral("items"));
}

QString groupedNumber(qsizetype count)
{
    QString digits = QString::number(count < 0 ? -count : count);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return count < 0 ? u'-' + digits : digits;
}

} // namespace fields
