#pragma once

#include "base/dialogs.h"
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

    // Has the catalogue read again, lists it and selects the current database;
    // the list follows the catalogue's changes from then on. When
    // the catalogue is missing, writes the seed catalogue, closes this window
    // (the download stays for another try) and announces downloadHandled.
    void load();

signals:
    void downloadHandled();

private slots:
    void onOkClicked();
    void onNewDatabaseClicked();
    void onCatalogueChanged();

private:
    // The row selected in the list, -1 when none is.
    int selectedRow() const;
    // Lists the catalogue's names and selects the one at row (-1: none).
    void listCatalogue(int row);
    // Deletes the downloaded file and closes this window.
    void finish();
    void closeWithDownloadWindow();

    program::Program &program_;
    base::Dialogs &dialogs_;
    QListWidget *databaseList_ = nullptr; // List1
};

} // namespace windows
