#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;
class QProcessEnvironment;

namespace download {

// The download folder of the project's server, fixed when the program is built
// (the CMake cache variable GEARLEDGER_DOWNLOAD_URL). Always ends with "/".
QString defaultDownloadFolderUrl();

// The URL with a "/" added at its end when it lacks one.
QString asFolderUrl(const QString &url);

// --download-url URL: the download folder for this run.
QCommandLineOption downloadUrlOption();

// The download folder for this run: the --download-url option when given (the
// parser must know downloadUrlOption()), else the environment variable
// GEARLEDGER_DOWNLOAD_URL when set and not empty, else the build's default.
// Always ends with "/".
QString downloadFolderUrlFrom(const QCommandLineParser &commandLine, const QProcessEnvironment &environment);

} // namespace download
