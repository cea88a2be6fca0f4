// fields.txt and the descriptions it reads: the bytes before the first NUL are
// a rules file, those after it a database. Every error names its line, a line
// of the text; rules without errors read any database without a crash, each
// field's records ascending and within the database.
#include "fields/field_store.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [rulesFile, database] = twoFiles(fuzzBytes(data, size));
    const QString text = fields::decodeRulesFile(rulesFile);
    const qsizetype lines = text.count(u'\n') + text.count(u'\r') - text.count(QStringLiteral("\r\n")) + 1;
    const fields::ParsedRules parsed = fields::parseRules(text);
    for (const fields::RuleError &error : parsed.errors) {
        FUZZ_CHECK(error.line >= 1 && error.line <= lines);
        FUZZ_CHECK(error.message.startsWith(QStringLiteral("line %1: ").arg(error.line)));
    }
    if (!parsed.errors.isEmpty())
        return 0;
    const storage::RecordIndex index = storage::indexRecords(database);
    const fields::FieldStore store = *fields::buildStore(parsed.rules, database, index);
    for (const fields::Column &column : store.columns()) {
        FUZZ_CHECK(!column.records().empty() && column.records().back() < quint32(index.records.size()));
        FUZZ_CHECK(std::is_sorted(column.records().begin(), column.records().end())
                   && std::adjacent_find(column.records().begin(), column.records().end()) == column.records().end());
        FUZZ_CHECK(fields::isFieldName(column.name()));
    }
    return 0;
}
