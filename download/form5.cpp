#include "download/form5.h"

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/text_file.h"
#include "app/twips.h"
#include "catalogue/form6.h"
#include "download/download_files.h"
#include "download/download_list.h"
#include "download/download_url.h"
#include "download/inet.h"
#include "main_window/form1.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
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

// Ticks of Timer1 without a list file before the window gives up.
constexpr int kMissingListTicksAllowed = 5;

} // namespace

Form5::Form5(Form1 &main, const QString &downloadFolderUrl)
    : QWidget(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint),
      dl_names(DownloadList::kCapacity + 1), dl_files(DownloadList::kCapacity + 1), main_(main),
      folderUrl_(asFolderUrl(downloadFolderUrl))
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Download Current MUD Databases"));
    setAccessibleName(windowTitle());
    setFixedSize(clientPixels(5520, 3000));
    buildControls();

    // Centred on the screen.
    if (const QScreen *screen = main.screen() ? main.screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    list_pending = false;
}

void Form5::buildControls()
{
    Command1 = new QPushButton(QStringLiteral("Connect"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(Command1->text());
    setTwips(Command1, {3600, 120, 1815, 375});

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("On-line MUD databases"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    setTwips(List1, {120, 120, 3375, 2790});

    Command4 = new QPushButton(QStringLiteral("Download"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setAccessibleName(Command4->text());
    Command4->setEnabled(false);
    setTwips(Command4, {3600, 2520, 1815, 375});

    Label1 = new QLabel(kInstructions, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(QStringLiteral("Instructions"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTwips(Label1, {3600, 600, 1815, 1335});

    setTabOrder(Command1, List1);
    setTabOrder(List1, Command4);

    Inet1 = new Inet(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, &Form5::Timer1_Timer);
    Timer1->start();

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &Form5::Timer2_Timer);
    Timer2->start();

    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &Form5::Command4_Click);
    // Enter on an entry downloads it, as the button does.
    connect(List1, &QListWidget::itemActivated, this, &Form5::Command4_Click);
}

QString Form5::listUrl() const
{
    return folderUrl_ + kListFileName;
}

void Form5::Command1_Click()
{
    // A click that waited while a fetch held the window finds the button
    // disabled, and does nothing.
    if (!Command1->isEnabled() || Inet1->StillExecuting())
        return;
    const bool downloadWasEnabled = Command4->isEnabled();
    Command1->setEnabled(false);
    Command4->setEnabled(false);

    const QString url = listUrl();
    try {
        const QString path = downloadfiles::listFilePath();
        const QString text = Inet1->OpenURL(url);
        // The file is written only once the whole list has arrived.
        textfile::saveAtomically(path, textfile::encodeLines({text}));
    } catch (const TransferError &error) {
        if (reportFetchFailure(url, error.reason(), error.kind() == TransferError::Kind::Cancelled)) {
            Command1->setEnabled(true);
            Command4->setEnabled(downloadWasEnabled);
        }
        return;
    } catch (const Failure &failure) {
        main_.reportFailure(failure);
        Command1->setEnabled(true);
        Command4->setEnabled(downloadWasEnabled);
        return;
    }
    if (closeWhenIdle_) {
        close();
        return;
    }
    list_pending = true;
    missingListTicks_ = 0;
}

void Form5::Timer2_Timer()
{
    if (!list_pending)
        return;
    const bool idle = !Inet1->StillExecuting();
    Command1->setEnabled(idle);
    Command4->setEnabled(idle);
}

void Form5::Timer1_Timer()
{
    // A fetch under way writes a new list when it ends.
    if (!list_pending || Inet1->StillExecuting())
        return;
    QString path;
    try {
        path = downloadfiles::listFilePath();
    } catch (const Failure &failure) {
        returnToOpenedState();
        main_.reportFailure(failure);
        return;
    }
    if (!QFileInfo::exists(path)) {
        main_.dialogs().beep();
        if (++missingListTicks_ >= kMissingListTicksAllowed) {
            returnToOpenedState();
            main_.dialogs().message(kListNeverCame);
        }
        return;
    }

    clearList();
    DownloadList list;
    try {
        list = parseDownloadList(textfile::readAll(path));
    } catch (const Failure &failure) {
        returnToOpenedState();
        main_.reportFailure(failure);
        return;
    }
    showList(list);
    list_pending = false;
    missingListTicks_ = 0;
    Inet1->Execute(QString(), QStringLiteral("CLOSE"));
    returnToListShownState();

    try {
        textfile::removeFile(path);
    } catch (const Failure &failure) {
        main_.reportFailure(failure);
    }
    if (list.isShort())
        main_.dialogs().message(
            QStringLiteral("The list of databases announces %1 entries but holds only %2; the %2 it holds are shown.")
                .arg(list.announced)
                .arg(list.names.size()));
    else if (list.isOverCapacity())
        main_.dialogs().message(
            QStringLiteral("The list of databases holds more than %1 entries; the first %1 are shown.")
                .arg(DownloadList::kCapacity));
}

void Form5::Command4_Click()
{
    if (!Command4->isEnabled() || Inet1->StillExecuting())
        return;
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        main_.dialogs().message(kSelectFirst);
        return;
    }
    const int slot = List1->row(selected.first()) + 1;

    Label1->setText(kDownloading);
    Command1->setEnabled(false);
    Command4->setEnabled(false);

    const QString url = folderUrl_ + dl_files.value(slot);
    try {
        const QString path = downloadfiles::databaseFilePath();
        const QString text = Inet1->OpenURL(url);
        // The received text and one line end, written whole or not at all.
        textfile::saveAtomically(path, textfile::encodeLines({text}));
    } catch (const TransferError &error) {
        if (reportFetchFailure(url, error.reason(), error.kind() == TransferError::Kind::Cancelled))
            returnToListShownState();
        return;
    } catch (const Failure &failure) {
        main_.reportFailure(failure);
        returnToListShownState();
        return;
    }
    if (closeWhenIdle_) {
        close();
        return;
    }

    // The downloading text and the disabled buttons stay until the Which
    // Database window closes this window, or the user does; a list still
    // pending (Download pressed before Timer1 read it) must not bring them back.
    list_pending = false;
    const bool opening = main_.windows().find<Form6>() == nullptr;
    Form6 *which = main_.windows().show<Form6>([this] { return new Form6(main_); });
    if (opening)
        which->Form_Load();
}

bool Form5::reportFetchFailure(const QString &url, const QString &reason, bool cancelled)
{
    if (closeWhenIdle_) {
        close();
        return false;
    }
    // A fetch cancelled otherwise is the program ending: nothing to tell.
    if (!cancelled)
        main_.dialogs().message(QStringLiteral("Could not download %1: %2.").arg(url, reason));
    return true;
}

void Form5::showList(const DownloadList &list)
{
    for (int i = 0; i < list.names.size(); ++i) {
        dl_names[i + 1] = list.names[i];
        dl_files[i + 1] = list.files[i];
    }
    List1->addItems(list.names);
}

void Form5::clearList()
{
    List1->clear();
    std::fill(dl_names.begin(), dl_names.end(), QString());
    std::fill(dl_files.begin(), dl_files.end(), QString());
}

void Form5::returnToOpenedState()
{
    list_pending = false;
    missingListTicks_ = 0;
    clearList();
    Label1->setText(kInstructions);
    Command1->setEnabled(true);
    Command4->setEnabled(false);
}

void Form5::returnToListShownState()
{
    Label1->setText(kInstructions);
    Command1->setEnabled(true);
    Command4->setEnabled(List1->count() > 0);
}

void Form5::closeEvent(QCloseEvent *event)
{
    // The window cannot go while a fetch holds its handler: the fetch is
    // stopped, and the handler closes the window when it returns.
    if (Inet1->StillExecuting()) {
        closeWhenIdle_ = true;
        Inet1->cancel();
        event->ignore();
        return;
    }
    event->accept();
}
