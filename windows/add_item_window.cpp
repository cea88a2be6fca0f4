#include "windows/add_item_window.h"

#include "base/dialogs.h"
#include "editing/description_encoding.h"
#include "program/program.h"
#include "widgets/twips.h"
#include "widgets/typed_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace windows {

AddItemWindow::AddItemWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      program_(program),
      dialogs_(dialogs)
{
    widgets::designWindow(this, "Form4", QStringLiteral("Add New Item"), 4890, 3705);

    auto *addButton = widgets::placed(new QPushButton(QStringLiteral("Add"), this), "Command1", {3600, 3240, 1095, 375},
                                      QStringLiteral("Add"));
    descriptionBox_ =
        widgets::placed(new QPlainTextEdit(this), "Text2", {1080, 480, 3615, 2655}, QStringLiteral("Description"));
    descriptionBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, so the window works from the keyboard.
    descriptionBox_->setTabChangesFocus(true);
    nameBox_ = widgets::placed(new QLineEdit(this), "Text1", {1080, 120, 3615, 285}, QStringLiteral("Item Name"));
    widgets::placed(new QLabel(QStringLiteral("Description:"), this), "Label2", {120, 480, 855, 255})
        ->setBuddy(descriptionBox_);
    widgets::placed(new QLabel(QStringLiteral("Item Name:"), this), "Label1", {120, 120, 975, 255})->setBuddy(nameBox_);

    QWidget::setTabOrder(addButton, descriptionBox_);
    QWidget::setTabOrder(descriptionBox_, nameBox_);
    addButton->setFocus();

    connect(addButton, &QPushButton::clicked, this, &AddItemWindow::onAddClicked);
}

void AddItemWindow::fill(const storage::Item &item)
{
    nameBox_->setText(item.name);
    nameBox_->setCursorPosition(0); // a long name shows from its start
    bool broken = false;
    descriptionBox_->setPlainText(editing::shownForm(editing::editableForm(item.description), &broken));
    descriptionBox_->setReadOnly(broken);
    filledDescription_ = item.description;
    shownDescription_ = widgets::typedText(descriptionBox_);
    if (broken)
        dialogs_.message(QStringLiteral("The description has lines longer than %1 characters.  They are shown broken "
                                        "into lines of %1, and the description cannot be changed here: Add adds it "
                                        "as pasted.")
                             .arg(editing::kShownLineLength));
}

void AddItemWindow::onAddClicked()
{
    const QString typed = widgets::typedText(descriptionBox_);
    const base::Outcome added = filledDescription_ && typed == shownDescription_
                                    ? program_.addStoredItem({nameBox_->text(), *filledDescription_})
                                    : program_.addItem(nameBox_->text(), typed);
    if (dialogs_.report(added))
        close();
}

} // namespace windows
