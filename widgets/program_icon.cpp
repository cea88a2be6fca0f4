#include "widgets/program_icon.h"

// The resources of a static library are registered only when asked for, from
// outside any namespace.
static void initProgramIcon()
{
    Q_INIT_RESOURCE(program_icon);
}

namespace widgets {

QIcon gearledgerIcon()
{
    initProgramIcon();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/widgets/icon/org.gearledger.Gearledger-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace widgets
