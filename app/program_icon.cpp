#include "app/program_icon.h"

QIcon gearledgerIcon()
{
    // The resources of a static library are registered only when asked for.
    Q_INIT_RESOURCE(program_icon);
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/app/icon/org.gearledger.Gearledger-%1.png").arg(size), QSize(size, size));
    return icon;
}
