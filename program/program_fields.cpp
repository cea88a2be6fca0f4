// The program object's finding of items by their fields: fields.txt, the
// fields of the catalogued databases, queries, scores and the remembered columns.
#include "program/program.h"

#include "catalogue/catalogued_database.h"
#include "query/query.h"
#include "query/score.h"
#include "storage/text_file.h"

#include <QFileInfo>
#include <QSettings>

namespace program {
namespace {


QString mistakesOf(const QVector<fields::RuleError> &errors)
{
    QStringList lines;
    for (const fields::RuleError &error : errors)
        lines.append(error.message);
    return QStringLiteral("The rules in fields.txt cannot be used: ") + lines.join(QStringLiteral("; "));
}

void addFieldsOf(const query::Node &node, QStringList *names)
{
    if (!node.field.isEmpty() && !names->contains(node.field))
        names->append(node.field);
    for (const query::Node &child : node.children)
        addFieldsOf(child, names);
}

} // namespace

const fields::ParsedRules &Program::fieldRules()
{
    if (fieldRules_)
        return *fieldRules_;
    const QString path = folder_.file(storage::kFieldRulesFile);
    if (!QFileInfo::exists(path))
        storage::saveAtomically(path, fields::defaultRulesFile());
    fieldRules_ = fields::parseRules(fields::decodeRulesFile(storage::readFile(path)));
    if (fieldRules_->errors.isEmpty())
        fieldCache_.setRules(fieldRules_->rules);
    return *fieldRules_;
}

base::Outcome Program::fieldRulesText(QString *text)
{
    return base::attempt([&] {
        (void)fieldRules();
        *text = fields::decodeRulesFile(storage::readFile(folder_.file(storage::kFieldRulesFile)));
    });
}

base::Outcome Program::saveFieldRules(const QString &text)
{
    fields::ParsedRules parsed = fields::parseRules(text);
    if (!parsed.errors.isEmpty())
        return base::Outcome::refused(mistakesOf(parsed.errors));
    const base::Outcome saved =
        base::attempt([&] { storage::saveAtomically(folder_.file(storage::kFieldRulesFile), text.toUtf8()); });
    if (!saved.ok())
        return saved;
    fieldRules_ = std::move(parsed);
    fieldCache_.setRules(fieldRules_->rules);
    return saved;
}

QVector<catalogue::Entry> Program::scopeDatabases(bool allDatabases) const
{
    if (!allDatabases)
        return {current_};
    QVector<catalogue::Entry> databases;
    for (const catalogue::Entry &entry : readCatalogue().catalogue.entries) {
        if (!catalogue::whyEntryFileIsRefused(entry) && !databases.contains(entry))
            databases.append(entry);
    }
    return databases.isEmpty() ? QVector<catalogue::Entry>{current_} : databases;
}

base::Outcome Program::readFields(bool allDatabases)
{
    const base::Outcome rules = base::attempt([&] {
        if (!fieldRules().errors.isEmpty())
            return base::Outcome::refused(mistakesOf(fieldRules().errors));
        return base::Outcome::done();
    });
    if (rules.ok())
        fieldCache_.read(scopeDatabases(allDatabases));
    return rules;
}

bool Program::fieldsRead(bool allDatabases)
{
    return fieldRules_ && fieldRules_->errors.isEmpty() && fieldCache_.holds(scopeDatabases(allDatabases));
}

void Program::cancelFieldReading()
{
    fieldCache_.cancel();
}

FieldScope Program::fieldScope(const QVector<DatabaseFieldsPtr> &databases, const fields::Rules &rules) const
{
    FieldScope scope;
    for (const DatabaseFieldsPtr &database : databases) {
        scope.databases.push_back(database);
        scope.scope.append({database->entry.displayName, &database->bytes, &database->index, &database->store});
    }
    scope.known = query::registryOf(rules, scope.scope);
    return scope;
}

base::Outcome Program::findItems(const FindRequest &request, FoundItems *found, Mistake *mistake)
{
    if (mistake)
        *mistake = Mistake::None;
    if (!fieldsRead(request.allDatabases))
        return base::Outcome::refused(QStringLiteral("The fields are not read yet."));
    QVector<DatabaseFieldsPtr> databases;
    for (const catalogue::Entry &entry : scopeDatabases(request.allDatabases))
        databases.append(fieldCache_.find(entry));
    FoundItems result;
    result.in = fieldScope(databases, fieldCache_.rules());
    const query::QueryParse parsed = query::parseQuery(request.query, result.in.known);
    if (!parsed.query) {
        if (mistake)
            *mistake = Mistake::InQuery;
        return base::Outcome::refused(parsed.error);
    }
    const query::ScoreParse score = query::parseScore(request.score, result.in.known);
    if (!score.score) {
        if (mistake)
            *mistake = Mistake::InScore;
        return base::Outcome::refused(score.error);
    }
    result.hits = query::evaluate(*parsed.query, result.in.scope);
    addFieldsOf(parsed.query->root(), &result.queryFields);
    if (!score.score->isEmpty()) {
        result.scores = query::scoresOf(*score.score, result.in.scope, result.hits);
        for (const QString &field : score.score->fields()) {
            if (!result.queryFields.contains(field))
                result.queryFields.append(field);
        }
    }
    if (request.bestPerSlot) {
        const std::vector<double> scores =
            result.scores.empty() ? std::vector<double>(size_t(result.hits.size()), 0.0) : result.scores;
        result.groups = query::bestPerSlot(result.in.scope, result.hits, scores);
    }
    result.countLine = query::countLine(result.hits);
    *found = std::move(result);
    return base::Outcome::done();
}

base::Outcome Program::tryFieldRules(const QString &text, bool allDatabases, FieldScope *tried)
{
    const fields::ParsedRules parsed = fields::parseRules(text);
    if (!parsed.errors.isEmpty())
        return base::Outcome::refused(mistakesOf(parsed.errors));
    return base::attempt([&] {
        QVector<DatabaseFieldsPtr> databases;
        for (const catalogue::Entry &entry : scopeDatabases(allDatabases)) {
            auto database = std::make_shared<DatabaseFields>();
            database->entry = entry;
            database->bytes = readDatabase(entry.fileName, true);
            database->index = storage::indexRecords(database->bytes);
            database->store = *fields::buildStore(parsed.rules, database->bytes, database->index);
            databases.append(database);
        }
        *tried = fieldScope(databases, parsed.rules);
    });
}

base::Outcome Program::showFoundItem(const FoundItems &found, const query::Hit &hit)
{
    const catalogue::Entry entry = found.in.databases[size_t(hit.database)]->entry;
    if (!(entry == current_) && readCatalogue().catalogue.lastIndexOfFile(entry.fileName) < 0)
        return base::Outcome::refused(QStringLiteral("The database %1 is no longer catalogued.").arg(entry.displayName));
    if (!(entry == current_))
        selectDatabase(entry);
    if (base::Outcome listed = reloadCurrentDatabase(); !listed.ok())
        return listed;
    const storage::Item wanted{query::itemName(found.in.scope, hit), query::itemDescription(found.in.scope, hit)};
    for (int row = 0; row < table_.rowCount(); ++row) {
        if (table_.record(row) == hit.record && table_.item(row) == wanted) {
            emit itemChosen(row);
            emit descriptionShown(table_.description(row));
            return base::Outcome::done();
        }
    }
    return base::Outcome::refused(
        QStringLiteral("%1 is no longer in the database %2.").arg(wanted.name, entry.displayName));
}

ColumnChoice Program::findColumns() const
{
    const QSettings remembered(folder_.file(storage::kFindColumnsFile), QSettings::IniFormat);
    return {remembered.value(QStringLiteral("added")).toStringList(),
            remembered.value(QStringLiteral("hidden")).toStringList()};
}

void Program::rememberFindColumns(const ColumnChoice &choice) const
{
    QSettings remembered(folder_.file(storage::kFindColumnsFile), QSettings::IniFormat);
    remembered.setValue(QStringLiteral("added"), choice.added);
    remembered.setValue(QStringLiteral("hidden"), choice.hidden);
}

base::Outcome Program::exportItems(const query::ExportTable &table, const QString &fileName) const
{
    return base::attempt([&] { storage::saveAtomically(fileName, query::exportBytes(table, fileName)); });
}

QString FoundItems::cell(const query::Hit &hit, const QString &column, int hitIndex) const
{
    if (column == kNameColumn)
        return query::itemName(in.scope, hit);
    if (column == kDatabaseColumn)
        return in.scope[hit.database].name;
    if (column == kScoreColumn)
        return hitIndex < int(scores.size()) ? fields::numberText(scores[size_t(hitIndex)]) : QString();
    return in.scope[hit.database].fields->text(column, hit.record);
}

QStringList shownColumns(const QStringList &queryFields, const QStringList &added, const QStringList &hidden)
{
    QStringList columns{kNameColumn, kDatabaseColumn};
    for (const QStringList &part :
         {queryFields, QStringList{QStringLiteral("level"), QStringLiteral("type"), QStringLiteral("slot")}, added}) {
        for (const QString &column : part) {
            if (!columns.contains(column) && (column == kNameColumn || !hidden.contains(column)))
                columns.append(column);
        }
    }
    columns.removeIf([&](const QString &column) { return column != kNameColumn && hidden.contains(column); });
    return columns;
}

} // namespace program
