#pragma once

#include "base/dialogs.h"
#include "program/found_items.h"
#include "program/program.h"
#include "query/compare.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPlainTextEdit;

namespace windows {

// The Fields window: every field known in the scope with the number of items
// that have it ("level: 8,703 of 8,703 items"), the fields of the item
// selected in Find Items, and the rules text of fields.txt to edit. "Try"
// reads the scope with the edited rules and shows what they find; "Save"
// writes them to fields.txt. Rules with mistakes are refused with a message
// naming each wrong line and what is wrong.
class FieldsWindow : public QWidget
{
    Q_OBJECT
public:
    FieldsWindow(program::Program &program, base::Dialogs &dialogs, bool allDatabases, QWidget *parent = nullptr);

    // The item whose fields are shown, as Find Items found it (none: no item).
    void showItem(const std::optional<query::ComparedItem> &item);

private:
    void onTry();
    void onSave();
    void showFields();
    // The selected item's fields as the rules tried read them.
    QVector<fields::ItemField> fieldsOfItem() const;

    program::Program &program_;
    base::Dialogs &dialogs_;
    bool allDatabases_;
    program::FieldScope tried_;
    std::optional<query::ComparedItem> item_;
    QListWidget *fieldList_ = nullptr;
    QListWidget *itemFields_ = nullptr;
    QLabel *itemLabel_ = nullptr;
    QPlainTextEdit *rulesEditor_ = nullptr;
};

} // namespace windows
