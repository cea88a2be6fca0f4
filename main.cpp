#include "app/qt_dialogs.h"
#include "download/download_url.h"
#include "main_window/main_window.h"
#include "program/program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gearledger"));

    // Every data file lives in the folder that holds the program.
    Program program(QCoreApplication::applicationDirPath());
    QtDialogs dialogs;
    MainWindow window(program, dialogs, defaultDownloadFolderUrl());
    window.startUp();
    window.show();
    return app.exec();
}
