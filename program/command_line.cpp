#include "program/command_line.h"

#include "download/download_url.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace program {

void describeCommandLine(QCommandLineParser &commandLine)
{
    commandLine.setApplicationDescription(QStringLiteral("A catalogue of the equipment items of MUD games."));
    commandLine.addHelpOption();
    commandLine.addVersionOption();
    commandLine.addOption(download::downloadUrlOption());
}

void answerHelpOrVersion(int argc, char *argv[], QCommandLineParser &commandLine)
{
    static const QByteArrayList answered = {"-h", "--help", "-?", "-v", "--version"};
    bool asked = false;
    for (int i = 1; i < argc; ++i)
        asked = asked || answered.contains(QByteArray(argv[i]));
    if (!asked)
        return;
    // The help text names the executable as the application object knows it.
    QCoreApplication terminal(argc, argv);
    // Options of the window system (-platform, -style ...) are unknown here,
    // so parse errors wait for QCommandLineParser::process.
    commandLine.parse(terminal.arguments());
    if (commandLine.isSet(QStringLiteral("version")))
        commandLine.showVersion();
    commandLine.showHelp();
}

} // namespace program
