#include "fields/field_store.h"

#include "fields/text_reading.h"
#include "search/folded_needle.h"
#include "storage/windows1252.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

namespace fields {


qsizetype Column::entryOf(int record) const
{
    const auto found = std::lower_bound(records_.begin(), records_.end(), quint32(record));
    return found != records_.end() && *found == quint32(record) ? found - records_.begin() : -1;
}

QStringList Column::words(qsizetype entry) const
{
    QStringList list;
    if (kind_ == Kind::Words) {
        for (const quint32 *id = wordsBegin(entry); id != wordsEnd(entry); ++id)
            list.append(storage::decodeWindows1252(dictionary_[*id]));
    }
    return list;
}

QString Column::text(qsizetype entry) const
{
    return kind_ == Kind::Number ? numberText(number(entry)) : words(entry).join(u' ');
}

const Column *FieldStore::column(const QString &field) const
{
    const auto found = columnIndex_.constFind(field);
    return found == columnIndex_.constEnd() ? nullptr : &columns_[*found];
}

std::optional<double> FieldStore::number(const QString &field, int record) const
{
    const Column *found = column(field);
    const qsizetype entry = found && found->kind() == Kind::Number ? found->entryOf(record) : -1;
    return entry < 0 ? std::nullopt : std::optional<double>(found->number(entry));
}

QStringList FieldStore::words(const QString &field, int record) const
{
    const Column *found = column(field);
    const qsizetype entry = found ? found->entryOf(record) : -1;
    return entry < 0 ? QStringList() : found->words(entry);
}

QString FieldStore::text(const QString &field, int record) const
{
    const Column *found = column(field);
    const qsizetype entry = found ? found->entryOf(record) : -1;
    return entry < 0 ? QString() : found->text(entry);
}

QVector<ItemField> FieldStore::itemFields(int record) const
{
    QVector<ItemField> fields;
    for (const Column &column : columns_) {
        const qsizetype entry = column.entryOf(record);
        if (entry < 0)
            continue;
        const bool number = column.kind() == Kind::Number;
        fields.append({column.name(), column.kind(), number ? column.number(entry) : 0, column.words(entry),
                       column.text(entry)});
    }
    return fields;
}

QString numberText(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

// Applies the rules one at a time, each in one scan of the bytes for its
// first text, gathering the values of each field before they become columns.
class StoreBuilder
{
public:
    StoreBuilder(const Rules &rules, const QByteArray &bytes, const storage::RecordIndex &index)
        : rules_(rules), bytes_(bytes), records_(index.records), reader_(bytes.constData(), rules.coins())
    {
        for (const FieldDefinition &field : rules.fields()) {
            const int number = addGathered(field.name, field.kind);
            for (const QString &alias : field.aliases)
                byName_.emplace(alias.toStdString(), number);
        }
        for (const Pattern &pattern : rules.patterns()) {
            std::vector<int> fields;
            for (const PatternPart &part : pattern.parts)
                fields.push_back(part.field.isEmpty() ? -1 : byName_.at(part.field.toStdString()));
            partFields_.push_back(std::move(fields));
        }
        groupByAnchor();
    }

    std::optional<FieldStore> build(const BuildControl &control)
    {
        // Every rule is applied to a block of records before the next block,
        // while its bytes are still in the processor's cache.
        constexpr int kBlock = 512;
        const int count = int(records_.size());
        for (int first = 0; first < count; first += kBlock) {
            if (control.cancel && control.cancel->load())
                return std::nullopt;
            const int end = std::min(count, first + kBlock);
            for (const AnchorGroup &group : groups_)
                apply(group, first, end);
            if (control.progress)
                control.progress(end, count);
        }
        return finish();
    }

private:
    // Patterns whose text begins with the same word, found in one scan for it.
    struct AnchorGroup
    {
        search::FoldedNeedle word;
        std::vector<int> patterns;
    };

    struct Gathered
    {
        QString name;
        Kind kind;
        bool named; // by the rules, not only by the text
        bool sorted = true;
        std::vector<std::pair<quint32, double>> numbers;
        std::vector<std::pair<quint32, quint32>> words;
        std::unordered_map<std::string, quint32> wordNumbers;
        std::vector<QByteArray> dictionary;
    };

    // The word a pattern's text begins with (its whole first text when that
    // does not begin with a letter or digit).
    static QByteArray anchorOf(const Pattern &pattern)
    {
        const QByteArray &text = pattern.parts[0].folded;
        const ByteClasses &classes = ByteClasses::windows1252();
        qsizetype length = 0;
        while (length < text.size() && classes.isLetterOrDigit(uchar(text[length])))
            ++length;
        return length > 0 ? text.left(length) : text;
    }

    void groupByAnchor()
    {
        for (int k = 0; k < int(rules_.patterns().size()); ++k) {
            const QByteArray word = anchorOf(rules_.patterns()[k]);
            const auto group = std::find_if(groups_.begin(), groups_.end(),
                                            [&](const AnchorGroup &known) { return known.word.text() == word; });
            if (group != groups_.end())
                group->patterns.push_back(k);
            else
                groups_.push_back({search::FoldedNeedle(word), {k}});
        }
        matchEnds_.assign(rules_.patterns().size(), 0);
    }

    int addGathered(const QString &name, Kind kind)
    {
        const int number = int(gathered_.size());
        gathered_.push_back({name, kind, rules_.field(name) != nullptr, true, {}, {}, {}, {}});
        byName_.emplace(name.toStdString(), number);
        return number;
    }

    qsizetype descriptionEnd(int record) const
    {
        return records_[record].description.begin + records_[record].description.length;
    }

    // One scan for the group's word; at each place where it begins a word
    // inside a description, each pattern of the group is tried (a pattern
    // never again inside its own last match).
    void apply(const AnchorGroup &group, int first, int end)
    {
        const search::FoldedNeedle &anchor = group.word;
        const char *hay = bytes_.constData();
        const ByteClasses &classes = ByteClasses::windows1252();
        const qsizetype stop = descriptionEnd(end - 1);
        qsizetype from = records_[first].description.begin;
        int record = first;
        for (const int k : group.patterns)
            matchEnds_[size_t(k)] = 0;
        while (true) {
            const qsizetype at = anchor.find(hay, from, stop);
            if (at < 0)
                return;
            while (descriptionEnd(record) < at + anchor.size())
                ++record;
            const storage::Span &description = records_[record].description;
            from = at + 1;
            if (at < description.begin)
                from = description.begin;
            else if (at == description.begin || !classes.isLetterOrDigit(uchar(hay[at - 1])))
                tryPatterns(group, at, record);
        }
    }

    void tryPatterns(const AnchorGroup &group, qsizetype at, int record)
    {
        const qsizetype end = descriptionEnd(record);
        for (const int k : group.patterns) {
            const Pattern &pattern = rules_.patterns()[k];
            const QByteArray &text = pattern.parts[0].folded;
            if (at < matchEnds_[size_t(k)] || !reader_.textAt(text, at, end))
                continue;
            captures_.clear();
            const qsizetype matched = matchRest(reader_, pattern, at + text.size(), end, &captures_);
            if (matched >= 0) {
                take(k, record);
                matchEnds_[size_t(k)] = matched;
            }
        }
    }

    // The captures of one match of a pattern in a record.
    void take(int patternNumber, int record)
    {
        const Pattern &pattern = rules_.patterns()[patternNumber];
        const Capture *name = nullptr;
        const Capture *number = nullptr;
        for (const Capture &capture : captures_) {
            const int field = partFields_[patternNumber][capture.part - pattern.parts.constData()];
            switch (capture.part->reading) {
            case Reading::Word:
            case Reading::Words:
                addWords(field, record, capture);
                break;
            case Reading::Name:
                name = &capture;
                break;
            case Reading::NamedNumber:
                number = &capture;
                break;
            case Reading::Pairs:
                addNamed(capture, capture.number, record);
                break;
            default:
                addNumber(field, record, capture.number);
            }
        }
        if (name && number)
            addNamed(*name, number->number, record);
    }

    // A stat that named itself: its name (or an alias) picks the field.
    void addNamed(const Capture &name, double value, int record)
    {
        reader_.normalisedName(name.begin, name.end, &scratch_);
        const auto found = byName_.find(scratch_);
        const int field = found != byName_.end()
                              ? found->second
                              : addGathered(QString::fromLatin1(scratch_.data(), qsizetype(scratch_.size())), Kind::Number);
        if (gathered_[size_t(field)].kind == Kind::Number)
            addNumber(field, record, value);
    }

    void addNumber(int field, int record, double value)
    {
        Gathered &gathered = gathered_[size_t(field)];
        if (!gathered.numbers.empty() && gathered.numbers.back().first == quint32(record)) {
            gathered.numbers.back().second += value;
            return;
        }
        gathered.sorted = gathered.sorted && (gathered.numbers.empty() || gathered.numbers.back().first < quint32(record));
        gathered.numbers.emplace_back(quint32(record), value);
    }

    void addWords(int field, int record, const Capture &capture)
    {
        Gathered &gathered = gathered_[size_t(field)];
        for (qsizetype at = capture.begin; at < capture.end;) {
            qsizetype end = at;
            while (end < capture.end && bytes_[end] != ' ' && bytes_[end] != '\t')
                ++end;
            reader_.folded(at, end, &scratch_);
            auto known = gathered.wordNumbers.find(scratch_);
            if (known == gathered.wordNumbers.end()) {
                known = gathered.wordNumbers.emplace(scratch_, quint32(gathered.dictionary.size())).first;
                gathered.dictionary.emplace_back(scratch_.data(), qsizetype(scratch_.size()));
            }
            gathered.sorted = gathered.sorted && (gathered.words.empty() || gathered.words.back().first <= quint32(record));
            gathered.words.emplace_back(quint32(record), known->second);
            for (at = end; at < capture.end && (bytes_[at] == ' ' || bytes_[at] == '\t');)
                ++at;
        }
    }

    FieldStore finish()
    {
        FieldStore store;
        store.recordCount_ = int(records_.size());
        std::vector<int> order;
        for (int k = 0; k < int(gathered_.size()); ++k) {
            if (!gathered_[size_t(k)].numbers.empty() || !gathered_[size_t(k)].words.empty())
                order.push_back(k);
        }
        // Fields of the rules keep their order; those of the text follow by name.
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            const Gathered &x = gathered_[size_t(a)];
            const Gathered &y = gathered_[size_t(b)];
            if (x.named != y.named)
                return x.named;
            return !x.named && x.name < y.name;
        });
        for (const int k : order) {
            store.columnIndex_.insert(gathered_[size_t(k)].name, int(store.columns_.size()));
            store.columns_.append(column(gathered_[size_t(k)]));
        }
        return store;
    }

    static Column column(Gathered &gathered)
    {
        Column column;
        column.name_ = gathered.name;
        column.kind_ = gathered.kind;
        const auto byRecord = [](const auto &a, const auto &b) { return a.first < b.first; };
        if (gathered.kind == Kind::Number) {
            if (!gathered.sorted)
                std::stable_sort(gathered.numbers.begin(), gathered.numbers.end(), byRecord);
            for (const auto &[record, value] : gathered.numbers) {
                if (!column.records_.empty() && column.records_.back() == record) {
                    column.numbers_.back() += value;
                    continue;
                }
                column.records_.push_back(record);
                column.numbers_.push_back(value);
            }
        } else {
            if (!gathered.sorted)
                std::stable_sort(gathered.words.begin(), gathered.words.end(), byRecord);
            for (const auto &[record, word] : gathered.words) {
                if (column.records_.empty() || column.records_.back() != record) {
                    column.records_.push_back(record);
                    column.wordStarts_.push_back(quint32(column.wordIds_.size()));
                } else if (std::find(column.wordIds_.begin() + column.wordStarts_.back(), column.wordIds_.end(), word)
                           != column.wordIds_.end()) {
                    continue;
                }
                column.wordIds_.push_back(word);
            }
            column.wordStarts_.push_back(quint32(column.wordIds_.size()));
            column.dictionary_ = std::move(gathered.dictionary);
        }
        column.records_.shrink_to_fit();
        column.numbers_.shrink_to_fit();
        column.wordIds_.shrink_to_fit();
        column.wordStarts_.shrink_to_fit();
        return column;
    }

    const Rules &rules_;
    const QByteArray &bytes_;
    const QVector<storage::Record> &records_;
    TextReader reader_;
    std::vector<Gathered> gathered_;
    std::unordered_map<std::string, int> byName_;
    std::vector<std::vector<int>> partFields_;
    std::vector<AnchorGroup> groups_;
    // Where each pattern's last match in the current scan ended.
    std::vector<qsizetype> matchEnds_;
    std::vector<Capture> captures_;
    std::string scratch_;
};

std::optional<FieldStore> buildStore(const Rules &rules, const QByteArray &bytes, const storage::RecordIndex &index,
                                     const BuildControl &control)
{
    return StoreBuilder(rules, bytes, index).build(control);
}

} // namespace fields
