#pragma once

#include <QColor>
#include <QtGlobal>

namespace widgets {

// The program's colour values pack red + 256 * green + 65536 * blue, red in the low byte.
inline QColor packedColour(quint32 packed)
{
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}

} // namespace widgets
