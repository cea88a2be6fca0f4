#pragma once

#include "catalogue/catalogue_file.h"

#include <QWidget>

class Form1;
class QLabel;
class QListWidget;
class QPushButton;

// The Which Database window: where the items of a downloaded database go.
// "OK" merges them into the catalogued database selected in List1, "New DB"
// makes a new current database of them. Either way the downloaded file is
// deleted, this window and the download window close, and the main window
// lists its current database again.
class Form6 : public QWidget
{
    Q_OBJECT
public:
    explicit Form6(Form1 &main);

    // Reads the catalogue into List1 and selects the current database. When
    // the catalogue is missing, writes the seed catalogue, closes this window
    // and the download window, and returns false.
    bool Form_Load();

    void Command1_Click(); // OK
    void Command2_Click(); // New DB

    // This window's own copy of the catalogue.
    const catalogue::Catalogue &catalogueCopy() const { return catalogue_; }

    QListWidget *List1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;

private:
    void buildControls();
    // Deletes the downloaded file, closes this window and the download window.
    void finish();
    void closeWithDownloadWindow();

    Form1 &main_;
    catalogue::Catalogue catalogue_;
};
