#pragma once

#include "catalogue/catalogue_file.h"

#include <QDialog>

class Form1;
class PictureButton;
class QComboBox;
class QLabel;
class QPushButton;

// The Current Database window: choose the current database from the
// catalogue, create a new database, or remove one. It reads datalist.txt when
// it opens and keeps its own copy of the catalogue while it is open.
class Form3 : public QDialog
{
    Q_OBJECT
public:
    // Builds the window and reads the catalogue (creating the seed catalogue
    // when datalist.txt is missing); problems are reported in message boxes.
    explicit Form3(Form1 &main);

    // "OK": makes the database named in Combo1 current and closes the window.
    void Command2_Click();
    // The filing cabinet: asks for a name and creates a new database.
    void imgCreate_Click();
    // The waste bin: removes the database named in Combo1 after a question.
    void imgRemove_Click();

    const catalogue::Catalogue &catalogueCopy() const { return catalogue_; }

    QLabel *Label1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command2 = nullptr;
    PictureButton *imgCreate = nullptr;
    PictureButton *imgRemove = nullptr;

private:
    void buildControls();
    void Form_Load();
    // After the current database changed: clear the main window's list and
    // description view and list the now current database.
    void reloadMainWindow();

    Form1 &main_;
    catalogue::Catalogue catalogue_;
};
