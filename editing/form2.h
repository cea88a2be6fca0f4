#pragma once

#include "app/item_database.h"

#include <QWidget>

class Form1;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The "Edit" window: changes the name and description of one record of the
// current database. It remembers which record it shows and the item it held,
// so "Update" replaces exactly that record, and only while the file still
// holds that item there.
class Form2 : public QWidget
{
    Q_OBJECT
public:
    explicit Form2(Form1 &main);

    // Shows the item of a record (counted from 0) for editing; a second fill
    // replaces what the window showed.
    void fill(int record, const Item &item);

    // "Update". On a failure, or when the file changed meanwhile, a message is
    // shown, nothing is written and the window stays open.
    void Command1_Click();

    int record() const { return record_; }

    QLineEdit *Text1 = nullptr;      // name
    QLabel *Label1 = nullptr;
    QPlainTextEdit *Text2 = nullptr; // description
    QLabel *Label2 = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *Label3 = nullptr; // the record number
    QLabel *Label4 = nullptr;

private:
    // The item as it would be written: what the user changed, and the record's
    // own text where nothing was changed.
    Item editedItem() const;

    Form1 &main_;
    int record_ = -1;
    Item original_;
    // The texts as the boxes held them after fill(), to tell what was changed.
    QString shownName_;
    QString shownDescription_;
};
