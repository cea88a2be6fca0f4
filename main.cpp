#include "app/command_line.h"
#include "app/failure.h"
#include "app/module1.h"
#include "app/program_folder.h"
#include "app/program_icon.h"
#include "app/program_identity.h"
#include "app/qt_dialogs.h"
#include "download/download_url.h"
#include "main_window/form1.h"

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
    // The download folder for this run; the download window will take it.
    const QString downloadFolderUrl = downloadFolderUrlFrom(commandLine, QProcessEnvironment::systemEnvironment());
    Q_UNUSED(downloadFolderUrl)

    QtDialogs dialogs;
    QString programFolder;
    try {
        programFolder = chooseProgramFolder(QCoreApplication::applicationDirPath());
    } catch (const Failure &failure) {
        dialogs.message(failure.longMessage(), Dialogs::Icon::None, QString());
        return 1;
    }
    Module1 state(programFolder);
    Form1 window(state, dialogs);
    window.startUp();
    window.show();
    return app.exec();
}
