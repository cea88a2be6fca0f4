#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>

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

QString QtDialogs::chooseFileToSave(const QString &title, const QString &proposed, const QString &filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, proposed, filter);
}

void QtDialogs::beep()
{
    QApplication::beep();
}

std::unique_ptr<base::Dialogs::Progress> QtDialogs::showProgress(const QString &text, const QString &title)
{
    // A window-modal dialog: each report lets the events through, so Cancel answers.
    constexpr int kSteps = 1000;
    class Shown : public Progress
    {
    public:
        Shown(const QString &text, const QString &title)
            : dialog_(text, QStringLiteral("Cancel"), 0, kSteps, QApplication::activeWindow())
        {
            dialog_.setWindowTitle(titleOr(title));
            dialog_.setWindowModality(Qt::WindowModal);
            dialog_.setMinimumDuration(300);
            dialog_.setAutoReset(false);
            dialog_.setAutoClose(false);
        }
        bool report(qint64 done, qint64 total) override
        {
            dialog_.setValue(total > 0 ? int(qMin(done, total) * kSteps / total) : 0);
            return !dialog_.wasCanceled();
        }

    private:
        QProgressDialog dialog_;
    };
    return std::make_unique<Shown>(text, title);
}

} // namespace widgets
