#pragma once

#include <QString>

// The download folder of the project's server, fixed when the program is built
// (the CMake cache variable GEARLEDGER_DOWNLOAD_URL). Always ends with "/".
QString defaultDownloadFolderUrl();

// The URL with a "/" added at its end when it lacks one.
QString asFolderUrl(const QString &url);
