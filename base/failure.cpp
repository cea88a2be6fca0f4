#include "base/failure.h"

namespace base {

Failure::Failure(int number, QString description, QString source)
    : number_(number), description_(std::move(description)), source_(std::move(source)), what_(longMessage().toUtf8())
{
}

QString Failure::shortMessage() const
{
    return QStringLiteral("Unanticipated error #") + QString::number(number_);
}

QString Failure::longMessage() const
{
    return shortMessage() + QStringLiteral("  Description: ") + description_ + QStringLiteral("   Source: ") + source_;
}

} // namespace base
