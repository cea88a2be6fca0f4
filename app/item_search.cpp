#include "app/item_search.h"

#include "app/cp1252.h"

namespace itemsearch {

bool containsIgnoringCase(const QString &text, const QString &what)
{
    if (text.isEmpty())
        return false;
    return text.toLower().contains(what.toLower());
}

QVector<int> findRecords(const QByteArray &bytes, const recordindex::Index &index, const QString &text,
                         SearchIn where, int limit, bool *more)
{
    const auto contains = [&](const recordindex::Span &span) {
        return containsIgnoringCase(cp1252::decode(QByteArray::fromRawData(bytes.constData() + span.begin,
                                                                           span.length)),
                                    text);
    };
    QVector<int> hits;
    *more = false;
    for (int r = 0; r < index.records.size(); ++r) {
        const recordindex::Record &record = index.records[r];
        bool hit = false;
        switch (where) {
        case SearchIn::Names:
            hit = contains(record.name);
            break;
        case SearchIn::Descriptions:
            hit = contains(record.description);
            break;
        case SearchIn::Both:
            hit = contains(record.description) || contains(record.name);
            break;
        }
        if (!hit)
            continue;
        if (hits.size() == limit) {
            *more = true;
            break;
        }
        hits.append(r);
    }
    return hits;
}

} // namespace itemsearch
