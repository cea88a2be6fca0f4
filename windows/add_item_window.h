#pragma once

#include <QWidget>

class Dialogs;
class Program;
class QLineEdit;
class QPlainTextEdit;

// The "Add New Item" window: a name and a description typed by the user are
// appended to the current database, and the current database is listed again.
class AddItemWindow : public QWidget
{
    Q_OBJECT
public:
    AddItemWindow(Program &program, Dialogs &dialogs, QWidget *parent = nullptr);

    // Puts a name and a description (lines joined by "\n") in the boxes, in
    // place of what they hold, for the user to review before pressing Add.
    void fill(const QString &name, const QString &description);

private slots:
    // On a failure the message is shown, nothing is added and the window stays
    // open with the text as typed.
    void onAddClicked();

private:
    Program &program_;
    Dialogs &dialogs_;
    QLineEdit *nameBox_ = nullptr;             // Text1
    QPlainTextEdit *descriptionBox_ = nullptr; // Text2
};
