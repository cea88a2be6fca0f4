#include "query/scope.h"

#include "search/folded_needle.h"
#include "storage/windows1252.h"

#include <algorithm>

namespace query {
namespace {

QByteArrayView spanOf(const Scope &scope, const storage::Span &span, int database)
{
    return QByteArrayView(scope[database].bytes->constData() + span.begin, span.length);
}

QByteArrayView nameBytes(const Scope &scope, const Hit &hit)
{
    return spanOf(scope, scope[hit.database].index->records[hit.record].name, hit.database);
}

} // namespace

fields::Registry registryOf(const fields::Rules &rules, const Scope &scope)
{
    QVector<const fields::FieldStore *> stores;
    for (const DatabaseView &database : scope)
        stores.append(database.fields);
    return fields::Registry(rules, stores);
}

QString itemName(const Scope &scope, const Hit &hit)
{
    return storage::decodeWindows1252(nameBytes(scope, hit).toByteArray());
}

QString itemDescription(const Scope &scope, const Hit &hit)
{
    const storage::Span &span = scope[hit.database].index->records[hit.record].description;
    return storage::decodeWindows1252(spanOf(scope, span, hit.database).toByteArray());
}

QString countLine(const QVector<Hit> &hits)
{
    QVector<int> databases;
    for (const Hit &hit : hits) {
        if (databases.isEmpty() || databases.last() != hit.database)
            databases.append(hit.database);
    }
    std::sort(databases.begin(), databases.end());
    const qsizetype inDatabases = std::unique(databases.begin(), databases.end()) - databases.begin();
    return QStringLiteral("%1 %2 in %3 %4")
        .arg(fields::groupedNumber(hits.size()), hits.size() == 1 ? QStringLiteral("item") : QStringLiteral("items"))
        .arg(inDatabases)
        .arg(inDatabases == 1 ? QStringLiteral("database") : QStringLiteral("databases"));
}

int compareNames(const Scope &scope, const Hit &a, const Hit &b)
{
    const QByteArrayView x = nameBytes(scope, a);
    const QByteArrayView y = nameBytes(scope, b);
    const qsizetype common = std::min(x.size(), y.size());
    for (qsizetype i = 0; i < common; ++i) {
        const int difference = int(search::FoldedNeedle::fold(uchar(x[i]))) - int(search::FoldedNeedle::fold(uchar(y[i])));
        if (difference != 0)
            return difference;
    }
    return int(x.size() > y.size()) - int(x.size() < y.size());
}

} // namespace query
