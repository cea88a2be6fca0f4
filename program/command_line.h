#pragma once

class QCommandLineParser;

namespace program {

// The program's command line: --help, --version and --download-url URL.
void describeCommandLine(QCommandLineParser &commandLine);

// When the arguments ask for --help or --version, prints the answer and ends
// the program. Called before the window system is started, so that both also
// answer where there is no display; any other mistake in the command line is
// reported by QCommandLineParser::process once the application exists.
void answerHelpOrVersion(int argc, char *argv[], QCommandLineParser &commandLine);

} // namespace program
