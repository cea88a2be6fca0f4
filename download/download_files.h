#pragma once

#include "download/download_list.h"

#include <QString>

// The two files a download passes on: the fetched list of databases and the
// fetched database, which the Which Database window merges. They live in a
// folder of the user's own that only the user may enter, so no other user
// can prepare them (for example as a link to a file of ours) or read them.
namespace download {

inline const QString kListFileName = QStringLiteral("tmp48127.txt");
inline const QString kDatabaseFileName = QStringLiteral("tmp94838.txt");

// The private folder, created with owner-only permissions when missing.
// Throws a Failure (75) when it cannot be made private: it is not a folder,
// it is a link, or it belongs to someone else.
QString privateDownloadFolder();

// The full paths of the two files in the private folder (creating the folder).
QString listFilePath();
QString databaseFilePath();

// Keeps a fetched document in its file: the bytes received and one line end
// (CR LF), written whole or not at all. Throws a Failure.
void keepDownloaded(const QString &path, const QByteArray &document);

// Whether a fetched list waits in the list file. Throws a Failure when the
// private folder cannot be had.
bool listFileWaiting();
// The entries of the list file, and the file deleted afterwards. Throw a Failure.
DownloadList readListFile();
void removeListFile();

} // namespace download
