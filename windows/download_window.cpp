#include "windows/download_window.h"

#include "widgets/twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace windows {

namespace {

const QString kInstructions = QStringLiteral(
    "Connect to show the on-line list of MUD databases.  Then make the choice of the MUD that you want from the list "
    "and hit download.");
// Three lines, the middle one empty.
const QString kDownloading = QStringLiteral("Downloading...\n\nPlease wait, this may take several minuets...");
const QString kListNeverCame = QStringLiteral("Could not download list, please try later");
const QString kSelectFirst = QStringLiteral("Please select a database in the list first, then press Download.");

// Ticks of the list timer without a list file before the window gives up.
constexpr int kMissingListTicksAllowed = 5;

} // namespace

DownloadWindow::DownloadWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      program_(program),
      dialogs_(dialogs)
{
    widgets::designWindow(this, "Form5", QStringLiteral("Download Current MUD Databases"), 5520, 3000);
    buildControls();
    connect(&program_, &program::Program::downloadListFetched, this, &DownloadWindow::onListFetched);
    connect(&program_, &program::Program::databaseDownloaded, this, &DownloadWindow::onDatabaseDownloaded);
    widgets::centreOnScreen(this, parent);
}

void DownloadWindow::buildControls()
{
    connectButton_ = widgets::placed(new QPushButton(QStringLiteral("Connect"), this), "Command1",
                                     {3600, 120, 1815, 375}, QStringLiteral("Connect"));
    databaseList_ = widgets::placed(new QListWidget(this), "List1", {120, 120, 3375, 2790},
                                    QStringLiteral("On-line MUD databases"));
    databaseList_->setSelectionMode(QAbstractItemView::SingleSelection);
    downloadButton_ = widgets::placed(new QPushButton(QStringLiteral("Download"), this), "Command4",
                                      {3600, 2520, 1815, 375}, QStringLiteral("Download"));
    downloadButton_->setEnabled(false);
    // Read by its caption, which tells what the window is doing.
    statusLabel_ = widgets::placed(new QLabel(kInstructions, this), "Label1", {3600, 600, 1815, 1335});
    statusLabel_->setWordWrap(true);
    statusLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Which server the window asks, so a failed Connect can be understood.
    auto *server = widgets::placed(new QLabel(QStringLiteral("Server: ") + program_.downloadFolderUrl(), this),
                                   "serverLabel", {3600, 1995, 1815, 465});
    server->setWordWrap(true);
    server->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    server->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    setTabOrder(connectButton_, databaseList_);
    setTabOrder(databaseList_, downloadButton_);

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
    // A click during a fetch finds the button disabled, and does nothing.
    if (!connectButton_->isEnabled() || program_.downloadBusy())
        return;
    downloadWasEnabled_ = downloadButton_->isEnabled();
    connectButton_->setEnabled(false);
    downloadButton_->setEnabled(false);
    // The list file is written only once the whole list has arrived.
    if (!dialogs_.report(program_.fetchDownloadList())) {
        connectButton_->setEnabled(true);
        downloadButton_->setEnabled(downloadWasEnabled_);
    }
}

void DownloadWindow::onListFetched(const base::Outcome &fetched)
{
    if (closeWhenIdle_) {
        close();
        return;
    }
    if (!dialogs_.report(fetched)) {
        connectButton_->setEnabled(true);
        downloadButton_->setEnabled(downloadWasEnabled_);
        return;
    }
    listPending_ = true;
    missingListTicks_ = 0;
}

void DownloadWindow::onButtonTimer()
{
    if (!listPending_)
        return;
    const bool idle = !program_.downloadBusy();
    connectButton_->setEnabled(idle);
    downloadButton_->setEnabled(idle);
}

void DownloadWindow::onListTimer()
{
    // A fetch under way writes a new list when it ends.
    if (!listPending_ || program_.downloadBusy())
        return;
    std::optional<download::DownloadList> list;
    if (const base::Outcome read = program_.readDownloadList(&list); !read.ok()) {
        returnToOpenedState();
        dialogs_.report(read);
        return;
    }
    if (!list) {
        dialogs_.beep();
        if (++missingListTicks_ >= kMissingListTicksAllowed) {
            returnToOpenedState();
            dialogs_.message(kListNeverCame);
        }
        return;
    }
    clearList();
    showList(*list);
    listPending_ = false;
    missingListTicks_ = 0;
    program_.closeDownloadConnections();
    returnToListShownState();

    dialogs_.report(program_.removeDownloadList());
    if (list->isShort())
        dialogs_.message(
            QStringLiteral("The list of databases announces %1 entries but holds only %2; the %2 it holds are shown.")
                .arg(list->announced)
                .arg(list->names.size()));
    else if (list->isOverCapacity())
        dialogs_.message(QStringLiteral("The list of databases holds more than %1 entries; the first %1 are shown.")
                             .arg(download::DownloadList::kCapacity));
}

void DownloadWindow::onDownloadClicked()
{
    if (!downloadButton_->isEnabled() || program_.downloadBusy())
        return;
    const QList<QListWidgetItem *> selected = databaseList_->selectedItems();
    if (selected.isEmpty()) {
        dialogs_.message(kSelectFirst);
        return;
    }
    statusLabel_->setText(kDownloading);
    connectButton_->setEnabled(false);
    downloadButton_->setEnabled(false);
    if (!dialogs_.report(program_.downloadDatabase(files_.value(databaseList_->row(selected.first())))))
        returnToListShownState();
}

void DownloadWindow::onDatabaseDownloaded(const base::Outcome &outcome)
{
    if (closeWhenIdle_) {
        close();
        return;
    }
    if (!dialogs_.report(outcome)) {
        returnToListShownState();
        return;
    }
    // The downloading text and the disabled buttons stay until the download is
    // taken in and this window closed, or the user closes it; a list still
    // pending (Download pressed before the list timer read it) must not bring them back.
    listPending_ = false;
    emit downloaded();
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
    // The window stays until the running fetch has ended: the fetch is
    // stopped, and the window closes when its end is signalled.
    if (program_.downloadBusy()) {
        closeWhenIdle_ = true;
        program_.cancelDownload();
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace windows
