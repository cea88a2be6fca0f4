#pragma once

#include "base/dialogs.h"
#include "program/program.h"

#include <QDialog>

class QComboBox;

namespace windows {

// The Current Database window: choose the current database from the
// catalogue, create a new database, or remove one. The program object reads
// the catalogue again when the window opens; the list follows its changes.
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
    void onCatalogueChanged();

private:
    void buildControls();
    void loadCatalogue();
    // Lists the catalogue's names and chooses the one at row (-1: none).
    void listCatalogue(int row);

    program::Program &program_;
    base::Dialogs &dialogs_;
    QComboBox *databaseBox_ = nullptr; // Combo1
};

} // namespace windows
