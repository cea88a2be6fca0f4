#include "app/program_icon.h"
#include "app/qt_dialogs.h"
#include "base/failure.h"
#include "base/program_identity.h"
#include "download/download_url.h"
#include "main_window/run_program.h"
#include "program/command_line.h"
#include "storage/program_folder.h"

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
    QApplication::setWindowIcon(gearledgerIcon());
    commandLine.process(app);
    const QString downloadFolderUrl =
        download::downloadFolderUrlFrom(commandLine, QProcessEnvironment::systemEnvironment());

    QtDialogs dialogs;
    QString programFolder;
    try {
        programFolder = storage::chooseProgramFolder(QCoreApplication::applicationDirPath());
    } catch (const base::Failure &failure) {
        dialogs.report(base::Outcome::failed(failure));
        return 1;
    }
    return runProgram(programFolder, dialogs, downloadFolderUrl);
}
