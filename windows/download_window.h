#pragma once

#include "base/dialogs.h"
#include "download/download_list.h"
#include "program/program.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace windows {

// The download window, "Download Current MUD Databases": "Connect" has the
// program fetch the on-line list of databases into the list file, a timer reads
// it into the list, another keeps the buttons in step with the fetch, and
// "Download" has the program fetch the chosen database into the download file
// and announces `downloaded`; the window then waits for whoever takes the
// download in to close it. Closed during a fetch, it stops the fetch and
// closes once the fetch has ended.
class DownloadWindow : public QWidget
{
    Q_OBJECT
public:
    DownloadWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);

signals:
    // The chosen database is in the download file.
    void downloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onConnectClicked();
    void onDownloadClicked();
    void onListTimer();
    void onButtonTimer();
    void onListFetched(const base::Outcome &fetched);
    void onDatabaseDownloaded(const base::Outcome &outcome);

private:
    void buildControls();
    void showList(const download::DownloadList &list);
    void clearList();
    void returnToOpenedState();
    void returnToListShownState();

    program::Program &program_;
    base::Dialogs &dialogs_;
    // A list has been fetched into the list file and not yet read into the list.
    bool listPending_ = false;
    // The file names of the listed databases, in list order.
    QStringList files_;
    // Ticks of the list timer that found no list file while one was pending.
    int missingListTicks_ = 0;
    // Whether Download was offered when Connect started the running fetch.
    bool downloadWasEnabled_ = false;
    // The user closed the window during a fetch: it closes when the fetch ends.
    bool closeWhenIdle_ = false;

    QPushButton *connectButton_ = nullptr;
    QListWidget *databaseList_ = nullptr;
    QPushButton *downloadButton_ = nullptr;
    QLabel *statusLabel_ = nullptr;
    QTimer *listTimer_ = nullptr;
    QTimer *buttonTimer_ = nullptr;
};

} // namespace windows
