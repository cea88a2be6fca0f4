#include "app/module1.h"
#include "app/qt_dialogs.h"
#include "main_window/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gearledger"));

    // Every data file lives in the folder that holds the program.
    Module1 state(QCoreApplication::applicationDirPath());
    QtDialogs dialogs;
    Form1 window(state, dialogs);
    window.startUp();
    window.show();
    return app.exec();
}
