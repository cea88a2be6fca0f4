#include "windows/edit_item_window.h"

#include "base/dialogs.h"
#include "editing/description_encoding.h"
#include "widgets/twips.h"
#include "widgets/typed_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace windows {

EditItemWindow::EditItemWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window), program_(program), dialogs_(dialogs)
{
    widgets::designWindow(this, "Form2", QStringLiteral("Edit"), 4845, 3840, widgets::WindowSize::Resizable);

    nameBox_ = widgets::placed(new QLineEdit(this), "Text1", {1080, 240, 3615, 285}, QStringLiteral("Item Name"));
    widgets::placed(new QLabel(QStringLiteral("Item Name:"), this), "Label1", {120, 240, 975, 255})->setBuddy(nameBox_);
    descriptionBox_ =
        widgets::placed(new QPlainTextEdit(this), "Text2", {1080, 600, 3615, 2655}, QStringLiteral("Description"));
    descriptionBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, so the window works from the keyboard.
    descriptionBox_->setTabChangesFocus(true);
    widgets::placed(new QLabel(QStringLiteral("Description:"), this), "Label2", {120, 600, 855, 255})
        ->setBuddy(descriptionBox_);
    auto *updateButton = widgets::placed(new QPushButton(QStringLiteral("Update"), this), "Command1",
                                         {3600, 3360, 1095, 375}, QStringLiteral("Update"));
    recordLabel_ = widgets::placed(new QLabel(this), "Label3", {840, 3480, 855, 255}, QStringLiteral("Number"));
    widgets::placed(new QLabel(QStringLiteral("Number:"), this), "Label4", {120, 3480, 615, 255});

    QWidget::setTabOrder(nameBox_, descriptionBox_);
    QWidget::setTabOrder(descriptionBox_, updateButton);
    nameBox_->setFocus();

    connect(updateButton, &QPushButton::clicked, this, &EditItemWindow::onUpdateClicked);
}

void EditItemWindow::edit(const program::ListedItem &listed)
{
    listed_ = listed;
    nameBox_->setText(listed.item.name);
    bool broken = false;
    descriptionBox_->setPlainText(editing::shownForm(editing::editableForm(listed.item.description), &broken));
    // Shown broken, the description could not be typed back as it is stored.
    descriptionBox_->setReadOnly(broken);
    recordLabel_->setText(QString::number(listed.record));
    recordLabel_->setAccessibleDescription(recordLabel_->text());
    shownName_ = nameBox_->text();
    shownDescription_ = widgets::typedText(descriptionBox_);
    if (broken)
        dialogs_.message(QStringLiteral("The description has lines longer than %1 characters.  They are shown broken "
                                        "into lines of %1, and the description cannot be changed here: Update keeps "
                                        "it as it is.")
                             .arg(editing::kShownLineLength));
}

void EditItemWindow::onUpdateClicked()
{
    const QString name = nameBox_->text();
    const QString typed = widgets::typedText(descriptionBox_);
    const base::Outcome updated =
        program_.replaceItem(listed_, name != shownName_ ? std::optional(name) : std::nullopt,
                             typed != shownDescription_ ? std::optional(typed) : std::nullopt);
    if (dialogs_.report(updated))
        close();
}

} // namespace windows
