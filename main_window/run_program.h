#pragma once

#include "base/dialogs.h"

#include <QString>

namespace main_window {

// Runs the program on its folder as the executable does, in a running
// QApplication: makes the program object, and when it holds the folder, the
// main window, which starts up and shows; then runs the event loop and
// returns its exit code. When another running copy of the program has the
// folder (or it cannot be locked), says so through `dialogs` and returns 1
// without reading or writing anything of the folder and without a window.
int runProgram(const QString &folder, base::Dialogs &dialogs, const QString &downloadFolderUrl);

} // namespace main_window
