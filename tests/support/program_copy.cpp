// One copy of the program on the folder given, run as the executable runs it,
// for the test of two copies on one folder. It prints, one a line, each
// message's text and, once its event loop runs, "shown" and the name of each
// window shown.
#include "base/program_identity.h"
#include "main_window/run_program.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

struct PrintedMessages : ScriptedDialogs
{
    void message(const QString &text, Icon, const QString &) override { say("message " + text); }
};

} // namespace

int main(int argc, char *argv[])
{
    base::setProgramIdentity();
    QApplication app(argc, argv);
    QTimer::singleShot(0, [] {
        for (const QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                say("shown " + window->objectName());
        }
    });
    PrintedMessages dialogs;
    return main_window::runProgram(QString::fromLocal8Bit(argv[1]), dialogs, QStringLiteral("http://127.0.0.1:9/"));
}
