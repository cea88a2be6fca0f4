#include "program/command_line.h"
#include "app/failure.h"
#include "app/program_folder.h"
#include "app/program_icon.h"
#include "app/program_identity.h"
#include "app/qt_dialogs.h"
#include "download/download_url.h"
#include "main_window/run_program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QProcessEnvironment>

int main(int argc, char *argv[])
{
    setProgramIdentity();
    QCommandLineParser commandLine;
    describeCommandLine(commandLine);
    answerHelpOrVersion(argc, argv, commandLine);

    QApplication app(argc, argv);
    QApplication::setDesktopFileName(applicationId());
    QApplication::setWindowIcon(gearledgerIcon());
    commandLine.process(app);
    const QString downloadFolderUrl = downloadFolderUrlFrom(commandLine, QProcessEnvironment::systemEnvironment());

    QtDialogs dialogs;
    QString programFolder;
    try {
        programFolder = chooseProgramFolder(QCoreApplication::applicationDirPath());
    } catch (const Failure &failure) {
        dialogs.report(Outcome::failed(failure));
        return 1;
    }
    return runProgram(programFolder, dialogs, downloadFolderUrl);
}
