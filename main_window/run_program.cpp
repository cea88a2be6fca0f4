#include "main_window/run_program.h"

#include "base/dialogs.h"
#include "main_window/main_window.h"
#include "program/program.h"

#include <QApplication>

namespace main_window {

int runProgram(const QString &folder, base::Dialogs &dialogs, const QString &downloadFolderUrl)
{
    program::Program program(folder, downloadFolderUrl);
    if (!dialogs.report(program.folderClaim()))
        return 1;
    MainWindow window(program, dialogs);
    window.startUp();
    window.show();
    return QApplication::exec();
}

} // namespace main_window
