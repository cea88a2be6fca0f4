// The query of Find Items: any text parses or names its mistake, a parsed
// query printed and parsed again is the same query, and its hits are those
// of testing every item against the query one by one, the text decoded.
#include "fields_fuzz_scope.h"
#include "fuzz_check.h"
#include "query/query.h"
#include "search/item_search.h"
#include "storage/windows1252.h"

namespace {

QString decoded(const query::DatabaseView &database, const storage::Span &span)
{
    return storage::decodeWindows1252(database.bytes->mid(span.begin, span.length));
}

bool compares(double value, query::Comparison comparison, double number)
{
    switch (comparison) {
    case query::Comparison::Less:
        return value < number;
    case query::Comparison::LessOrEqual:
        return value <= number;
    case query::Comparison::Equal:
        return value == number;
    case query::Comparison::GreaterOrEqual:
        return value >= number;
    default:
        return value > number;
    }
}

bool matches(const query::Node &node, const query::DatabaseView &database, int record)
{
    const auto anyChild = [&](bool all) {
        for (const query::Node &child : node.children) {
            if (matches(child, database, record) != all)
                return !all;
        }
        return all;
    };
    const storage::Record &item = database.index->records[record];
    const std::optional<double> number = database.fields->number(node.field, record);
    switch (node.type) {
    case query::Node::Type::And:
        return anyChild(true);
    case query::Node::Type::Or:
        return anyChild(false);
    case query::Node::Type::Not:
        return !matches(node.children.front(), database, record);
    case query::Node::Type::Text:
        return search::containsIgnoringCase(decoded(database, item.name), node.text)
               || search::containsIgnoringCase(decoded(database, item.description), node.text);
    case query::Node::Type::Present:
        return database.fields->column(node.field) && database.fields->column(node.field)->entryOf(record) >= 0;
    case query::Node::Type::Compare:
        return number && compares(*number, node.comparison, node.number);
    case query::Node::Type::Words:
        for (const QString &word : database.fields->words(node.field, record)) {
            if (node.prefix ? word.startsWith(node.text.toLower()) : word == node.text.toLower())
                return true;
        }
        return false;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzScope &fuzz = FuzzScope::instance();
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    const query::QueryParse parsed = query::parseQuery(text, fuzz.registry);
    FUZZ_CHECK(parsed.query.has_value() == parsed.error.isEmpty());
    if (!parsed.query)
        return 0;
    const query::QueryParse again = query::parseQuery(parsed.query->text(), fuzz.registry);
    FUZZ_CHECK(again.query && *again.query == *parsed.query);
    QVector<query::Hit> expected;
    for (int d = 0; d < fuzz.scope.size(); ++d) {
        for (int r = 0; r < fuzz.scope[d].index->records.size(); ++r) {
            if (matches(parsed.query->root(), fuzz.scope[d], r))
                expected.append({d, r});
        }
    }
    FUZZ_CHECK(query::evaluate(*parsed.query, fuzz.scope) == expected);
    return 0;
}
