#pragma once

#include <QString>
#include <QVector>
#include <QWidget>

class Form1;
class Inet;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;
struct DownloadList;

// The download window, "Download Current MUD Databases": "Connect" fetches the
// on-line list of databases into the list file, Timer1 reads it into List1,
// Timer2 keeps the buttons in step with the transfer, and "Download" fetches
// the chosen database into the download file and opens the Which Database
// window, which merges it and closes this window.
class Form5 : public QWidget
{
    Q_OBJECT
public:
    // downloadFolderUrl is the server's download folder; the list is
    // downloadFolderUrl + "downlist.txt", a database downloadFolderUrl + its file name.
    Form5(Form1 &main, const QString &downloadFolderUrl);

    QString downloadFolderUrl() const { return folderUrl_; }
    QString listUrl() const;

    // Handlers: the two buttons and the two timers.
    void Command1_Click(); // Connect
    void Command4_Click(); // Download
    void Timer1_Timer();   // reads a fetched list
    void Timer2_Timer();   // button states

    // A list has been fetched into the list file and not yet read into List1.
    bool list_pending = false;
    // The entries of the list, slots 1 to 1000 (slot 0 stays empty).
    QVector<QString> dl_names;
    QVector<QString> dl_files;

    QPushButton *Command1 = nullptr;
    QListWidget *List1 = nullptr;
    QPushButton *Command4 = nullptr;
    QLabel *Label1 = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    Inet *Inet1 = nullptr;

    // Ticks of Timer1 that found no list file while one was pending.
    int missingListTicks() const { return missingListTicks_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void showList(const DownloadList &list);
    void clearList();
    void returnToOpenedState();
    void returnToListShownState();
    // Reports a fetch that failed, unless the user closed the window meanwhile
    // (then the window closes). False when the window is closing.
    bool reportFetchFailure(const QString &url, const QString &reason, bool cancelled);

    Form1 &main_;
    QString folderUrl_;
    int missingListTicks_ = 0;
    // The user closed the window during a fetch: it closes when the fetch ends.
    bool closeWhenIdle_ = false;
};
