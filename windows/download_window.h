#pragma once

#include "base/dialogs.h"
#include "download/download_list.h"

#include <QStringList>
#include <QWidget>

class Inet;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

// The download window, "Download Current MUD Databases": "Connect" fetches the
// on-line list of databases into the list file, a timer reads it into the list,
// another keeps the buttons in step with the transfer, and "Download" fetches
// the chosen database into the download file and announces `downloaded`; the
// window then waits for whoever takes the download in to close it.
class DownloadWindow : public QWidget
{
    Q_OBJECT
public:
    // downloadFolderUrl is the server's download folder: the list is
    // downloadFolderUrl + "downlist.txt", a database downloadFolderUrl + its file name.
    DownloadWindow(base::Dialogs &dialogs, const QString &downloadFolderUrl, QWidget *parent = nullptr);

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

private:
    void buildControls();
    void showList(const download::DownloadList &list);
    void clearList();
    void returnToOpenedState();
    void returnToListShownState();
    // Reports a fetch that failed, with advice when there is any, unless the
    // user closed the window meanwhile (then the window closes). False when the
    // window is closing.
    bool reportFetchFailure(const QString &url, const QString &reason, bool cancelled,
                            const QString &advice = QString());

    base::Dialogs &dialogs_;
    QString folderUrl_;
    // A list has been fetched into the list file and not yet read into the list.
    bool listPending_ = false;
    // The file names of the listed databases, in list order.
    QStringList files_;
    // Ticks of the list timer that found no list file while one was pending.
    int missingListTicks_ = 0;
    // The user closed the window during a fetch: it closes when the fetch ends.
    bool closeWhenIdle_ = false;

    QPushButton *connectButton_ = nullptr;  // Command1
    QListWidget *databaseList_ = nullptr;   // List1
    QPushButton *downloadButton_ = nullptr; // Command4
    QLabel *statusLabel_ = nullptr;         // Label1
    QTimer *listTimer_ = nullptr;           // Timer1
    QTimer *buttonTimer_ = nullptr;         // Timer2
    Inet *transfer_ = nullptr;              // Inet1
};
