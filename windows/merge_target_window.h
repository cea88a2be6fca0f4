#pragma once

#include "base/dialogs.h"
#include "catalogue/catalogue_file.h"
#include "program/program.h"

#include <QWidget>

class QListWidget;

namespace windows {

// The Which Database window: where the items of a downloaded database go.
// "OK" merges them into the catalogued database selected in the list, "New DB"
// makes a new current database of them. Either way the downloaded file is
// deleted, this window closes and announces that the download was handled
// (whoever opened it closes the download window), and the current database is
// listed again.
class MergeTargetWindow : public QWidget
{
    Q_OBJECT
public:
    MergeTargetWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);

    // Reads the catalogue into the list and selects the current database. When
    // the catalogue is missing, writes the seed catalogue, closes this window
    // (the download stays for another try) and announces downloadHandled.
    void load();

signals:
    void downloadHandled();

private slots:
    void onOkClicked();
    void onNewDatabaseClicked();

private:
    // Deletes the downloaded file and closes this window.
    void finish();
    void closeWithDownloadWindow();

    program::Program &program_;
    base::Dialogs &dialogs_;
    catalogue::Catalogue catalogue_;
    QListWidget *databaseList_ = nullptr; // List1
};

} // namespace windows
