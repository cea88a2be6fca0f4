#include "windows/download_window.h"

#include "app/twips.h"
#include "base/dialogs.h"
#include "download/download_files.h"
#include "download/download_list.h"
#include "download/download_url.h"
#include "download/inet.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kInstructions = QStringLiteral(
    "Connect to show the on-line list of MUD databases.  Then make the choice of the MUD that you want from the list "
    "and hit download.");
// Three lines, the middle one empty.
const QString kDownloading = QStringLiteral("Downloading...\n\nPlease wait, this may take several minuets...");
const QString kListNeverCame = QStringLiteral("Could not download list, please try later");
const QString kSelectFirst = QStringLiteral("Please select a database in the list first, then press Download.");
const QString kListFileName = QStringLiteral("downlist.txt");

// Ticks of the list timer without a list file before the window gives up.
constexpr int kMissingListTicksAllowed = 5;

} // namespace

DownloadWindow::DownloadWindow(base::Dialogs &dialogs, const QString &downloadFolderUrl, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs),
      folderUrl_(download::asFolderUrl(downloadFolderUrl))
{
    designWindow(this, "Form5", QStringLiteral("Download Current MUD Databases"), 5520, 3000);
    buildControls();
    centreOnScreen(this, parent);
}

void DownloadWindow::buildControls()
{
    connectButton_ = placed(new QPushButton(QStringLiteral("Connect"), this), "Command1", {3600, 120, 1815, 375},
                            QStringLiteral("Connect"));
    databaseList_ = placed(new QListWidget(this), "List1", {120, 120, 3375, 2790},
                           QStringLiteral("On-line MUD databases"));
    databaseList_->setSelectionMode(QAbstractItemView::SingleSelection);
    downloadButton_ = placed(new QPushButton(QStringLiteral("Download"), this), "Command4", {3600, 2520, 1815, 375},
                             QStringLiteral("Download"));
    downloadButton_->setEnabled(false);
    // Read by its caption, which tells what the window is doing.
    statusLabel_ = placed(new QLabel(kInstructions, this), "Label1", {3600, 600, 1815, 1335});
    statusLabel_->setWordWrap(true);
    statusLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Which server the window asks, so a failed Connect can be understood.
    auto *server = placed(new QLabel(QStringLiteral("Server: ") + folderUrl_, this), "lblServer",
                          {3600, 1995, 1815, 465});
    server->setWordWrap(true);
    server->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    server->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    setTabOrder(connectButton_, databaseList_);
    setTabOrder(databaseList_, downloadButton_);

    transfer_ = new Inet(this);

    listTimer_ = new QTimer(this);
    listTimer_->setObjectName(QStringLiteral("Timer1"));
    listTimer_->setInterval(5000);
    connect(listTimer_, &QTimer::timeout, this, &DownloadWindow::onListTimer);
    listTimer_->start();

    buttonTimer_ = new QTimer(this);
    buttonTimer_->setObjectName(QStringLiteral("Timer2"));
    buttonTimer_->setInterval(1000);
    connect(buttonTimer_, &QTimer::timeout, this, &DownloadWindow::onButtonTimer);
    buttonTimer_->start();

    connect(connectButton_, &QPushButton::clicked, this, &DownloadWindow::onConnectClicked);
    connect(downloadButton_, &QPushButton::clicked, this, &DownloadWindow::onDownloadClicked);
    // Enter on an entry downloads it, as the button does.
    connect(databaseList_, &QListWidget::itemActivated, this, &DownloadWindow::onDownloadClicked);
}

void DownloadWindow::onConnectClicked()
{
    // A click that waited while a fetch held the window finds the button
    // disabled, and does nothing.
    if (!connectButton_->isEnabled() || transfer_->StillExecuting())
        return;
    const bool downloadWasEnabled = downloadButton_->isEnabled();
    connectButton_->setEnabled(false);
    downloadButton_->setEnabled(false);

    const QString url = folderUrl_ + kListFileName;
    try {
        const QString path = download::listFilePath();
        // The file is written only once the whole list has arrived.
        download::keepDownloaded(path, transfer_->OpenURL(url));
    } catch (const TransferError &error) {
        const QString advice = QStringLiteral(" Please check that a download server is running at %1 and that this is "
                                              "the right address; the program takes another one when it starts "
                                              "(--download-url ADDRESS).")
                                   .arg(folderUrl_);
        if (reportFetchFailure(url, error.reason(), error.kind() == TransferError::Kind::Cancelled, advice)) {
            connectButton_->setEnabled(true);
            downloadButton_->setEnabled(downloadWasEnabled);
        }
        return;
    } catch (const base::Failure &failure) {
        dialogs_.message(failure.longMessage());
        connectButton_->setEnabled(true);
        downloadButton_->setEnabled(downloadWasEnabled);
        return;
    }
    if (closeWhenIdle_) {
        close();
        return;
    }
    listPending_ = true;
    missingListTicks_ = 0;
}

void DownloadWindow::onButtonTimer()
{
    if (!listPending_)
        return;
    const bool idle = !transfer_->StillExecuting();
    connectButton_->setEnabled(idle);
    downloadButton_->setEnabled(idle);
}

void DownloadWindow::onListTimer()
{
    // A fetch under way writes a new list when it ends.
    if (!listPending_ || transfer_->StillExecuting())
        return;
    download::DownloadList list;
    try {
        if (!download::listFileWaiting()) {
            dialogs_.beep();
            if (++missingListTicks_ >= kMissingListTicksAllowed) {
                returnToOpenedState();
                dialogs_.message(kListNeverCame);
            }
            return;
        }
        clearList();
        list = download::readListFile();
    } catch (const base::Failure &failure) {
        returnToOpenedState();
        dialogs_.message(failure.longMessage());
        return;
    }
    showList(list);
    listPending_ = false;
    missingListTicks_ = 0;
    transfer_->Execute(QString(), QStringLiteral("CLOSE"));
    returnToListShownState();

    try {
        download::removeListFile();
    } catch (const base::Failure &failure) {
        dialogs_.message(failure.longMessage());
    }
    if (list.isShort())
        dialogs_.message(
            QStringLiteral("The list of databases announces %1 entries but holds only %2; the %2 it holds are shown.")
                .arg(list.announced)
                .arg(list.names.size()));
    else if (list.isOverCapacity())
        dialogs_.message(QStringLiteral("The list of databases holds more than %1 entries; the first %1 are shown.")
                             .arg(download::DownloadList::kCapacity));
}

void DownloadWindow::onDownloadClicked()
{
    if (!downloadButton_->isEnabled() || transfer_->StillExecuting())
        return;
    const QList<QListWidgetItem *> selected = databaseList_->selectedItems();
    if (selected.isEmpty()) {
        dialogs_.message(kSelectFirst);
        return;
    }
    const QString url = folderUrl_ + files_.value(databaseList_->row(selected.first()));

    statusLabel_->setText(kDownloading);
    connectButton_->setEnabled(false);
    downloadButton_->setEnabled(false);
    try {
        const QString path = download::databaseFilePath();
        download::keepDownloaded(path, transfer_->OpenURL(url));
    } catch (const TransferError &error) {
        if (reportFetchFailure(url, error.reason(), error.kind() == TransferError::Kind::Cancelled))
            returnToListShownState();
        return;
    } catch (const base::Failure &failure) {
        dialogs_.message(failure.longMessage());
        returnToListShownState();
        return;
    }
    if (closeWhenIdle_) {
        close();
        return;
    }
    // The downloading text and the disabled buttons stay until the download is
    // taken in and this window closed, or the user closes it; a list still
    // pending (Download pressed before the list timer read it) must not bring them back.
    listPending_ = false;
    emit downloaded();
}

bool DownloadWindow::reportFetchFailure(const QString &url, const QString &reason, bool cancelled,
                                        const QString &advice)
{
    if (closeWhenIdle_) {
        close();
        return false;
    }
    // A fetch cancelled otherwise is the program ending: nothing to tell.
    if (!cancelled)
        dialogs_.message(QStringLiteral("Could not download %1: %2.").arg(url, reason) + advice);
    return true;
}

void DownloadWindow::showList(const download::DownloadList &list)
{
    files_ = list.files;
    databaseList_->addItems(list.names);
}

void DownloadWindow::clearList()
{
    databaseList_->clear();
    files_.clear();
}

void DownloadWindow::returnToOpenedState()
{
    listPending_ = false;
    missingListTicks_ = 0;
    clearList();
    statusLabel_->setText(kInstructions);
    connectButton_->setEnabled(true);
    downloadButton_->setEnabled(false);
}

void DownloadWindow::returnToListShownState()
{
    statusLabel_->setText(kInstructions);
    connectButton_->setEnabled(true);
    downloadButton_->setEnabled(databaseList_->count() > 0);
}

void DownloadWindow::closeEvent(QCloseEvent *event)
{
    // The window cannot go while a fetch holds its handler: the fetch is
    // stopped, and the handler closes the window when it returns.
    if (transfer_->StillExecuting()) {
        closeWhenIdle_ = true;
        transfer_->cancel();
        event->ignore();
        return;
    }
    event->accept();
}
