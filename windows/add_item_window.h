#pragma once

#include "base/dialogs.h"
#include "program/program.h"
#include "storage/item_database.h"

#include <QWidget>

#include <optional>

class QLineEdit;
class QPlainTextEdit;

namespace windows {

// The "Add New Item" window: a name and a description typed by the user are
// appended to the current database, and the current database is listed again.
class AddItemWindow : public QWidget
{
    Q_OBJECT
public:
    AddItemWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);

    // Puts an item in the boxes, in place of what they hold, for the user to
    // review before pressing Add; its description is added exactly as given
    // unless the user changes it. A description with lines too long for a text
    // box is shown broken (description::shownForm), cannot be changed here, and
    // a message says so.
    void fill(const storage::Item &item);

private slots:
    // On a failure the message is shown, nothing is added and the window stays
    // open with the text as typed.
    void onAddClicked();

private:
    program::Program &program_;
    base::Dialogs &dialogs_;
    // The stored description filled in, and the text the box showed of it.
    std::optional<QString> filledDescription_;
    QString shownDescription_;
    QLineEdit *nameBox_ = nullptr;             // Text1
    QPlainTextEdit *descriptionBox_ = nullptr; // Text2
};

} // namespace windows
