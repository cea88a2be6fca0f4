#include "base/failure.h"
#include "base/program_identity.h"
#include "download/download_url.h"
#include "main_window/run_program.h"
#include "program/command_line.h"
#include "storage/program_folder.h"
#include "widgets/program_icon.h"
#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QProcessEnvironment>

int main(int argc, char *argv[])
{
    base::setProgramIdentity();
    QCommandLineParser commandLine;
    program::describeCommandLine(commandLine);
    program::answerHelpOrVersion(argc, argv, commandLine);

    QApplication app(argc, argv);
    QApplication::setDesktopFileName(base::applicationId());
    QApplication::setWindowIcon(widgets::gearledgerIcon());
    commandLine.process(app);
    const QString downloadFolderUrl =
        download::downloadFolderUrlFrom(commandLine, QProcessEnvironment::systemEnvironment());

    widgets::QtDialogs dialogs;
    QString programFolder;
    try {
        programFolder = storage::chooseProgramFolder(QCoreApplication::applicationDirPath());
    } catch (const base::Failure &failure) {
        dialogs.report(base::Outcome::failed(failure));
        return 1;
    }
    return main_window::runProgram(programFolder, dialogs, downloadFolderUrl);
}
