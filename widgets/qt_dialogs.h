#pragma once

#include "base/dialogs.h"

namespace widgets {

// The program's dialogs: Qt message boxes and input dialogs over the active window.
class QtDialogs : public base::Dialogs
{
public:
    void message(const QString &text, Icon icon, const QString &title) override;
    bool askYesNo(const QString &text, const QString &title, Icon icon, Button defaultButton) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString chooseFileToOpen(const QString &title, const QString &folder, const QString &filter) override;
    void beep() override;
};

} // namespace widgets
