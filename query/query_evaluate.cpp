#include "query/query.h"
#include "search/folded_needle.h"
#include "search/item_search.h"
#include "storage/windows1252.h"

#include <algorithm>

namespace query {
namespace {

// A set of the records of one database, one bit each.
class Bits
{
public:
    explicit Bits(int count, bool all = false)
        : words_(size_t((count + 63) / 64), all ? ~quint64(0) : 0), count_(count)
    {
        if (all && count % 64)
            words_.back() = (quint64(1) << (count % 64)) - 1;
    }

    int count() const { return count_; }
    void set(int record) { words_[size_t(record) / 64] |= quint64(1) << (record % 64); }
    bool test(int record) const { return words_[size_t(record) / 64] >> (record % 64) & 1; }
    qsizetype members() const
    {
        qsizetype total = 0;
        for (const quint64 word : words_)
            total += __builtin_popcountll(word);
        return total;
    }
    Bits &operator&=(const Bits &other)
    {
        for (size_t k = 0; k < words_.size(); ++k)
            words_[k] &= other.words_[k];
        return *this;
    }
    Bits &operator|=(const Bits &other)
    {
        for (size_t k = 0; k < words_.size(); ++k)
            words_[k] |= other.words_[k];
        return *this;
    }
    // The records of `within` not in this set.
    Bits complementWithin(const Bits &within) const
    {
        Bits out(count_);
        for (size_t k = 0; k < words_.size(); ++k)
            out.words_[k] = ~words_[k] & within.words_[k];
        return out;
    }
    template <typename Visit>
    void forEach(Visit visit) const
    {
        for (size_t k = 0; k < words_.size(); ++k) {
            for (quint64 word = words_[k]; word; word &= word - 1)
                visit(int(k * 64 + size_t(__builtin_ctzll(word))));
        }
    }

private:
    std::vector<quint64> words_;
    int count_;
};

bool compares(double value, Comparison comparison, double number)
{
    switch (comparison) {
    case Comparison::Less:
        return value < number;
    case Comparison::LessOrEqual:
        return value <= number;
    case Comparison::Equal:
        return value == number;
    case Comparison::GreaterOrEqual:
        return value >= number;
    case Comparison::Greater:
        return value > number;
    }
    return false;
}

// Evaluates a query over one database. Each node's set is exact on the
// candidate records it is given (those its enclosing terms leave open) and
// holds none outside them, so that a text is searched only where it matters.
class DatabaseEvaluator
{
public:
    explicit DatabaseEvaluator(const DatabaseView &database) : database_(database) {}

    Bits evaluate(const Node &node, const Bits &candidates) const
    {
        switch (node.type) {
        case Node::Type::And:
            return all(node, candidates);
        case Node::Type::Or:
            return any(node, candidates);
        case Node::Type::Not:
            return evaluate(node.children.front(), candidates).complementWithin(candidates);
        case Node::Type::Text:
            return text(node.text, candidates);
        default:
            return field(node, candidates);
        }
    }

private:
    int count() const { return int(database_.index->records.size()); }

    Bits all(const Node &node, const Bits &candidates) const
    {
        // The fields first: their sets are quick and narrow the texts' search.
        std::vector<const Node *> order;
        for (const Node &child : node.children)
            order.push_back(&child);
        std::stable_partition(order.begin(), order.end(), [](const Node *child) {
            return child->type != Node::Type::Text && child->type != Node::Type::Or && child->type != Node::Type::Not;
        });
        Bits current = candidates;
        for (const Node *child : order) {
            current &= evaluate(*child, current);
            if (current.members() == 0)
                break;
        }
        return current;
    }

    Bits any(const Node &node, const Bits &candidates) const
    {
        Bits found(count());
        for (const Node &child : node.children)
            found |= evaluate(child, found.complementWithin(candidates));
        return found;
    }

    Bits text(const QString &text, const Bits &candidates) const
    {
        QByteArray folded;
        const qsizetype open = candidates.members();
        // The whole file is scanned at once, as the main search does, unless only a few records are open.
        if (open * 32 >= count() || text.isEmpty() || !storage::encodeWindows1252(text.toLower(), &folded)) {
            Bits found(count());
            for (const int record : search::findRecords(*database_.bytes, *database_.index, text, search::SearchIn::Both))
                found.set(record);
            return found &= candidates;
        }
        const search::FoldedNeedle needle(folded);
        const char *bytes = database_.bytes->constData();
        const auto holds = [&](const storage::Span &span) {
            return needle.find(bytes, span.begin, span.begin + span.length) >= 0;
        };
        Bits found(count());
        candidates.forEach([&](int record) {
            const storage::Record &item = database_.index->records[record];
            if (holds(item.name) || holds(item.description))
                found.set(record);
        });
        return found;
    }

    Bits field(const Node &node, const Bits &candidates) const
    {
        Bits found(count());
        const fields::Column *column = database_.fields ? database_.fields->column(node.field) : nullptr;
        if (!column)
            return found;
        const std::vector<quint32> &records = column->records();
        if (node.type == Node::Type::Present) {
            for (const quint32 record : records)
                found.set(int(record));
        } else if (node.type == Node::Type::Compare && column->kind() == fields::Kind::Number) {
            for (size_t entry = 0; entry < records.size(); ++entry) {
                if (compares(column->number(qsizetype(entry)), node.comparison, node.number))
                    found.set(int(records[entry]));
            }
        } else if (node.type == Node::Type::Words && column->kind() == fields::Kind::Words) {
            const std::vector<bool> wanted = wantedWords(*column, node);
            for (size_t entry = 0; entry < records.size(); ++entry) {
                if (std::any_of(column->wordsBegin(qsizetype(entry)), column->wordsEnd(qsizetype(entry)),
                                [&](quint32 word) { return wanted[word]; }))
                    found.set(int(records[entry]));
            }
        }
        return found &= candidates;
    }

    // The words of the column's dictionary a Words node matches.
    static std::vector<bool> wantedWords(const fields::Column &column, const Node &node)
    {
        std::vector<bool> wanted(column.dictionary().size());
        QByteArray folded;
        if (!storage::encodeWindows1252(node.text.toLower(), &folded))
            return wanted;
        for (size_t k = 0; k < wanted.size(); ++k) {
            const QByteArray &word = column.dictionary()[k];
            wanted[k] = node.prefix ? word.startsWith(folded) : word == folded;
        }
        return wanted;
    }

    const DatabaseView &database_;
};

} // namespace

QVector<Hit> evaluate(const Query &query, const Scope &scope)
{
    QVector<Hit> hits;
    for (int d = 0; d < scope.size(); ++d) {
        const int count = int(scope[d].index->records.size());
        const Bits found = DatabaseEvaluator(scope[d]).evaluate(query.root(), Bits(count, true));
        found.forEach([&](int record) { hits.append({d, record}); });
    }
    return hits;
}

} // namespace query
