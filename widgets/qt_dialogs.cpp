#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace widgets {

namespace {

QMessageBox::Icon qtIcon(base::Dialogs::Icon icon)
{
    switch (icon) {
    case base::Dialogs::Icon::Stop:
        return QMessageBox::Critical;
    case base::Dialogs::Icon::Question:
        return QMessageBox::Question;
    case base::Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case base::Dialogs::Icon::Information:
        return QMessageBox::Information;
    case base::Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString titleOr(const QString &title)
{
    return title.isEmpty() ? base::kProgramTitle : title;
}

} // namespace

void QtDialogs::message(const QString &text, Icon icon, const QString &title)
{
    QMessageBox box(qtIcon(icon), titleOr(title), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setAccessibleName(titleOr(title));
    box.setAccessibleDescription(text);
    box.exec();
}

bool QtDialogs::askYesNo(const QString &text, const QString &title, Icon icon, Button defaultButton)
{
    QMessageBox box(qtIcon(icon), titleOr(title), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultButton == Button::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setAccessibleName(titleOr(title));
    box.setAccessibleDescription(text);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(titleOr(title));
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setAccessibleName(titleOr(title));
    dialog.setAccessibleDescription(prompt);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

QString QtDialogs::chooseFileToOpen(const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder, filter);
}

void QtDialogs::beep()
{
    QApplication::beep();
}

} // namespace widgets
