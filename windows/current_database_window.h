#pragma once

#include "base/dialogs.h"
#include "catalogue/catalogue_file.h"
#include "program/program.h"

#include <QDialog>

class QComboBox;

namespace windows {

// The Current Database window: choose the current database from the
// catalogue, create a new database, or remove one. It reads datalist.txt when
// it opens and keeps its own copy of the catalogue while it is open.
class CurrentDatabaseWindow : public QDialog
{
    Q_OBJECT
public:
    // Builds the window and reads the catalogue (creating the seed catalogue
    // when datalist.txt is missing); problems are reported in message boxes.
    CurrentDatabaseWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);

private slots:
    void onOkClicked();
    void onCreateClicked();
    void onRemoveClicked();

private:
    void buildControls();
    void loadCatalogue();

    program::Program &program_;
    base::Dialogs &dialogs_;
    catalogue::Catalogue catalogue_;
    QComboBox *databaseBox_ = nullptr; // Combo1
};

} // namespace windows
