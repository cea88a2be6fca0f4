#pragma once

#include "fields/field_store.h"
#include "fields/rules.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// The fields known in a scope of databases: those the rules name (with their
// aliases) and those found in the databases' fields (stats that name
// themselves, such as int or con).
namespace fields {

struct FieldInfo
{
    QString name;
    Kind kind = Kind::Number;
    QStringList aliases;
    // The items of the scope that have the field.
    qsizetype itemsWith = 0;
};

class Registry
{
public:
    Registry() = default;
    Registry(const Rules &rules, const QVector<const FieldStore *> &stores);

    // The rules' fields in their order, then the others by name.
    const QVector<FieldInfo> &fields() const { return fields_; }
    // The items of the scope.
    qsizetype itemCount() const { return itemCount_; }
    // A field by its name or an alias, in any case, blanks or "-" for "_"; null when unknown.
    const FieldInfo *find(QStringView name) const;
    // The known name or alias nearest to an unknown one, when it is close
    // (at most 2 edits, fewer than the name has characters); else empty.
    QString closest(QStringView name) const;
    // "level: 8,703 of 9,120 items"
    QString summary(const FieldInfo &field) const;

private:
    QVector<FieldInfo> fields_;
    QHash<QString, int> byName_;
    qsizetype itemCount_ = 0;
};

// A count with thousands separated by commas: "8,703".
QString groupedNumber(qsizetype count);

} // namespace fields
