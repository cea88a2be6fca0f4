#include "app/program_identity.h"

#include "app/version.h"

#include <QCoreApplication>

// GEARLEDGER_APP_ID comes from the build (app/CMakeLists.txt).

QString applicationId()
{
    return QStringLiteral(GEARLEDGER_APP_ID);
}

void setProgramIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Gearledger"));
    QCoreApplication::setApplicationVersion(kProgramVersion);
}
