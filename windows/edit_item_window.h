#pragma once

#include "base/dialogs.h"
#include "program/program.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace windows {

// The "Edit" window: changes the name and description of one listed item. It
// remembers the record it shows and the item it held, so "Update" replaces
// exactly that record, and only while the file still holds that item there.
class EditItemWindow : public QWidget
{
    Q_OBJECT
public:
    EditItemWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);

    // Shows a listed item for editing; a second call replaces what the window showed.
    void edit(const program::ListedItem &listed);

private slots:
    // On a failure, or when the file changed meanwhile, a message is shown,
    // nothing is written and the window stays open.
    void onUpdateClicked();

private:
    program::Program &program_;
    base::Dialogs &dialogs_;
    program::ListedItem listed_;
    // The texts as the boxes showed them, to tell what the user changed.
    QString shownName_;
    QString shownDescription_;

    QLineEdit *nameBox_ = nullptr;             // Text1
    QPlainTextEdit *descriptionBox_ = nullptr; // Text2
    QLabel *recordLabel_ = nullptr;            // Label3
};

} // namespace windows
