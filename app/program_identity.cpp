#include "app/program_identity.h"

#include <QCoreApplication>

// GEARLEDGER_APP_ID and GEARLEDGER_VERSION come from the build (app/CMakeLists.txt).

QString applicationId()
{
    return QStringLiteral(GEARLEDGER_APP_ID);
}

void setProgramIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Gearledger"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GEARLEDGER_VERSION));
}
