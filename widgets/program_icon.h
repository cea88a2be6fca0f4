#pragma once

#include <QIcon>

namespace widgets {

// The program's icon, a sword over an open ledger, from the PNG files compiled
// into the program (drawn by scripts/draw_program_icon.py).
QIcon gearledgerIcon();

} // namespace widgets
