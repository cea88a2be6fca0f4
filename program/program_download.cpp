// The program object's part in the download: fetching the on-line list and a
// database into the download's two files, and reading the list.
#include "program/program.h"

#include "download/download_files.h"

namespace program {
namespace {

const QString kListFileName = QStringLiteral("downlist.txt");

} // namespace

base::Outcome Program::fetchDownloadList()
{
    const QString advice = QStringLiteral(" Please check that a download server is running at %1 and that this is "
                                          "the right address; the program takes another one when it starts "
                                          "(--download-url ADDRESS).")
                               .arg(downloadFolderUrl_);
    return fetchInto(downloadFolderUrl_ + kListFileName, &download::listFilePath, &Program::downloadListFetched,
                     advice);
}

base::Outcome Program::downloadDatabase(const QString &fileName)
{
    return fetchInto(downloadFolderUrl_ + fileName, &download::databaseFilePath, &Program::databaseDownloaded);
}

base::Outcome Program::fetchInto(const QString &url, const std::function<QString()> &file,
                                 void (Program::*ended)(const base::Outcome &), const QString &advice)
{
    QString path;
    if (base::Outcome had = base::attempt([&] { path = file(); }); !had.ok())
        return had;
    // Holds this fetch's connections; gone with its end, before the next fetch can start.
    auto *fetch = new QObject(this);
    const auto end = [this, fetch, ended](const base::Outcome &outcome) {
        delete fetch;
        emit(this->*ended)(outcome);
    };
    connect(&transfer_, &transfer::TransferService::finished, fetch, [end, path](const QByteArray &document) {
        end(base::attempt([&] { download::keepDownloaded(path, document); }));
    });
    connect(&transfer_, &transfer::TransferService::failed, fetch,
            [end, url, advice](const transfer::TransferError &error) {
                end(error.kind == transfer::TransferError::Kind::Cancelled
                        ? base::Outcome::cancelled()
                        : base::Outcome::refused(QStringLiteral("Could not download %1: %2.").arg(url, error.reason)
                                                 + advice));
            });
    transfer_.fetch(url);
    return base::Outcome::done();
}

base::Outcome Program::readDownloadList(std::optional<download::DownloadList> *list) const
{
    return base::attempt(
        [&] { *list = download::listFileWaiting() ? std::optional(download::readListFile()) : std::nullopt; });
}

base::Outcome Program::removeDownloadList() const
{
    return base::attempt([] { download::removeListFile(); });
}

} // namespace program
