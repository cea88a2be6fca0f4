#include "query/ranking.h"

#include "query/column_cursor.h"
#include "storage/windows1252.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace query {
namespace {

// The value of the key's field for every hit, with whether it is there.
struct FieldKeys
{
    std::vector<double> numbers;
    std::vector<QByteArray> words;
    std::vector<bool> present;
};

FieldKeys fieldKeys(const Scope &scope, const QVector<Hit> &hits, const QString &field)
{
    FieldKeys keys;
    keys.numbers.resize(size_t(hits.size()));
    keys.words.resize(size_t(hits.size()));
    keys.present.resize(size_t(hits.size()));
    ColumnCursor cursor;
    int database = -1;
    for (qsizetype h = 0; h < hits.size(); ++h) {
        if (hits[h].database != database) {
            database = hits[h].database;
            cursor = ColumnCursor(scope[database].fields->column(field));
        }
        const qsizetype entry = cursor.entryOf(hits[h].record);
        keys.present[size_t(h)] = entry >= 0;
        if (entry < 0)
            continue;
        const fields::Column &column = *cursor.column();
        if (column.kind() == fields::Kind::Number) {
            keys.numbers[size_t(h)] = column.number(entry);
            continue;
        }
        QByteArray &text = keys.words[size_t(h)];
        for (const quint32 *word = column.wordsBegin(entry); word != column.wordsEnd(entry); ++word)
            text += (text.isEmpty() ? QByteArray() : QByteArray(" ")) + column.dictionary()[*word];
    }
    return keys;
}

// Better first: the higher score, then name, database and record.
bool better(const Scope &scope, const QVector<Hit> &hits, const std::vector<double> &scores, int a, int b)
{
    if (scores[size_t(a)] != scores[size_t(b)])
        return scores[size_t(a)] > scores[size_t(b)];
    const int names = compareNames(scope, hits[a], hits[b]);
    if (names != 0)
        return names < 0;
    if (hits[a].database != hits[b].database)
        return hits[a].database < hits[b].database;
    return hits[a].record < hits[b].record;
}

// The slot group of each hit, with the groups' names.
class SlotGrouping
{
public:
    int groupOf(const Scope &scope, const Hit &hit)
    {
        if (hit.database != database_) {
            database_ = hit.database;
            cursor_ = ColumnCursor(scope[database_].fields->column(QStringLiteral("slot")));
            if (cursor_.column() && cursor_.column()->kind() != fields::Kind::Words)
                cursor_ = ColumnCursor();
            const size_t words = cursor_.column() ? cursor_.column()->dictionary().size() : 0;
            groupOfWord_.assign(words, -1);
        }
        const qsizetype entry = cursor_.entryOf(hit.record);
        if (entry < 0)
            return group(kNoSlot);
        const fields::Column &column = *cursor_.column();
        const quint32 *first = column.wordsBegin(entry);
        if (column.wordsEnd(entry) - first == 1) {
            int &known = groupOfWord_[*first];
            if (known < 0)
                known = group(storage::decodeWindows1252(column.dictionary()[*first]));
            return known;
        }
        QStringList words = column.words(entry);
        words.sort();
        return group(words.join(u' '));
    }

    const QStringList &names() const { return names_; }

private:
    int group(const QString &name)
    {
        const auto found = byName_.constFind(name);
        if (found != byName_.constEnd())
            return *found;
        byName_.insert(name, int(names_.size()));
        names_.append(name);
        return int(names_.size() - 1);
    }

    int database_ = -1;
    ColumnCursor cursor_;
    std::vector<int> groupOfWord_;
    QHash<QString, int> byName_;
    QStringList names_;
};

} // namespace

QVector<int> sortedOrder(const Scope &scope, const QVector<Hit> &hits, const SortKey &key,
                         const std::vector<double> &scores)
{
    QVector<int> order(hits.size());
    std::iota(order.begin(), order.end(), 0);
    const bool down = key.descending;
    const auto sort = [&](auto less) { std::stable_sort(order.begin(), order.end(), less); };
    switch (key.by) {
    case SortKey::By::Name:
        sort([&](int a, int b) { return (down ? -1 : 1) * compareNames(scope, hits[a], hits[b]) < 0; });
        break;
    case SortKey::By::Database:
        sort([&](int a, int b) { return down ? hits[a].database > hits[b].database : hits[a].database < hits[b].database; });
        break;
    case SortKey::By::Score:
        sort([&](int a, int b) {
            return down ? scores[size_t(a)] > scores[size_t(b)] : scores[size_t(a)] < scores[size_t(b)];
        });
        break;
    case SortKey::By::Field: {
        const FieldKeys keys = fieldKeys(scope, hits, key.field);
        sort([&](int a, int b) {
            const size_t x = size_t(a);
            const size_t y = size_t(b);
            if (keys.present[x] != keys.present[y])
                return bool(keys.present[x]);
            if (!keys.present[x])
                return false;
            if (keys.numbers[x] != keys.numbers[y])
                return down ? keys.numbers[x] > keys.numbers[y] : keys.numbers[x] < keys.numbers[y];
            return down ? keys.words[y] < keys.words[x] : keys.words[x] < keys.words[y];
        });
        break;
    }
    }
    return order;
}

QVector<SlotGroup> bestPerSlot(const Scope &scope, const QVector<Hit> &hits, const std::vector<double> &scores,
                               int perSlot)
{
    if (perSlot <= 0)
        return {};
    SlotGrouping grouping;
    std::vector<QVector<int>> best;
    for (int h = 0; h < hits.size(); ++h) {
        const int group = grouping.groupOf(scope, hits[h]);
        if (size_t(group) >= best.size())
            best.resize(size_t(group) + 1);
        QVector<int> &top = best[size_t(group)];
        if (top.size() == perSlot && !better(scope, hits, scores, h, top.last()))
            continue;
        const auto at = std::upper_bound(top.begin(), top.end(), h,
                                         [&](int a, int b) { return better(scope, hits, scores, a, b); });
        top.insert(at, h);
        if (top.size() > perSlot)
            top.removeLast();
    }
    QVector<SlotGroup> groups;
    for (size_t g = 0; g < best.size(); ++g) {
        if (!best[g].isEmpty())
            groups.append({grouping.names()[qsizetype(g)], best[g]});
    }
    std::sort(groups.begin(), groups.end(), [](const SlotGroup &a, const SlotGroup &b) {
        if ((a.slot == kNoSlot) != (b.slot == kNoSlot))
            return b.slot == kNoSlot;
        return a.slot < b.slot;
    });
    return groups;
}

} // namespace query
