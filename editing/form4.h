#pragma once

#include <QWidget>

class Form1;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The "Add New Item" window: a name and a description typed by the user are
// appended to the current database, and the main window lists the file again.
class Form4 : public QWidget
{
    Q_OBJECT
public:
    explicit Form4(Form1 &main);

    // "Add". On a failure the message is shown, nothing is added and the
    // window stays open with the text as typed.
    void Command1_Click();

    QPushButton *Command1 = nullptr;
    QPlainTextEdit *Text2 = nullptr; // description
    QLineEdit *Text1 = nullptr;      // name
    QLabel *Label2 = nullptr;
    QLabel *Label1 = nullptr;

private:
    Form1 &main_;
};
