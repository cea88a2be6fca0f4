#include "base/program_identity.h"

#include "base/version.h"

#include <QCoreApplication>

// GEARLEDGER_APP_ID comes from the build (base/CMakeLists.txt).

namespace base {

QString applicationId()
{
    return QStringLiteral(GEARLEDGER_APP_ID);
}

void setProgramIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Gearledger"));
    QCoreApplication::setApplicationVersion(kProgramVersion);
}

} // namespace base
