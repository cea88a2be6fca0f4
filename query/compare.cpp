#include "query/compare.h"

namespace query {
namespace {

const fields::ItemField *fieldOf(const ComparedItem &item, const QString &name)
{
    for (const fields::ItemField &field : item.fields) {
        if (field.name == name)
            return &field;
    }
    return nullptr;
}

// "hitroll: ring of fire 3, copper band 1, -2"
QString fieldLine(const QVector<ComparedItem> &items, const QString &name)
{
    const fields::ItemField *first = fieldOf(items.first(), name);
    QStringList parts;
    for (qsizetype k = 0; k < items.size(); ++k) {
        const fields::ItemField *field = fieldOf(items[k], name);
        parts.append(items[k].name + u' ' + (field ? field->text : QStringLiteral("none")));
        if (k > 0 && field && first && field->kind == fields::Kind::Number && first->kind == fields::Kind::Number)
            parts.append(differenceText(field->number, first->number));
    }
    return name + QStringLiteral(": ") + parts.join(QStringLiteral(", "));
}

} // namespace

QString differenceText(double value, double first)
{
    const double change = value - first;
    if (change == 0)
        return QStringLiteral("=");
    return change > 0 ? u'+' + fields::numberText(change) : fields::numberText(change);
}

ComparedItem comparedItem(const Scope &scope, const Hit &hit)
{
    const DatabaseView &database = scope[hit.database];
    return {itemName(scope, hit), database.name, itemDescription(scope, hit),
            database.fields ? database.fields->itemFields(hit.record) : QVector<fields::ItemField>()};
}

QString compareText(const QVector<ComparedItem> &items)
{
    if (items.isEmpty())
        return QString();
    QStringList names;
    for (const ComparedItem &item : items) {
        for (const fields::ItemField &field : item.fields) {
            if (!names.contains(field.name))
                names.append(field.name);
        }
    }
    QString text;
    for (const QString &name : names)
        text += fieldLine(items, name) + u'\n';
    QStringList itemNames;
    QStringList databases;
    for (const ComparedItem &item : items) {
        itemNames.append(item.name);
        databases.append(item.name + u' ' + item.database);
    }
    text += QStringLiteral("name: ") + itemNames.join(QStringLiteral(", ")) + u'\n';
    text += QStringLiteral("database: ") + databases.join(QStringLiteral(", ")) + u'\n';
    for (const ComparedItem &item : items) {
        QStringList lines = item.description.split(u'|');
        while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
            lines.removeLast();
        text += QStringLiteral("description of %1: %2\n").arg(item.name, lines.join(QStringLiteral(" / ")));
    }
    return text;
}

QString rowDescription(const ComparedItem &item, const QStringList &shown)
{
    QStringList parts{item.name, item.database};
    for (const fields::ItemField &field : item.fields) {
        if (shown.isEmpty() || shown.contains(field.name))
            parts.append(field.name + u' ' + field.text);
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace query
