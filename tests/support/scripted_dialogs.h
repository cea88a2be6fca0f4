#pragma once

#include "base/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

// Dialogs for tests: each test queues the dialogs it expects, in order, with
// the answers to give. A dialog that comes unexpected, or with other text or
// title, is a fault (and is answered with OK, No or Cancel); VERIFY_DIALOGS
// fails the test on a fault and on an expected dialog that never came.
class ScriptedDialogs : public base::Dialogs
{
public:
    void expectMessage(const QString &text, const QString &title = QString()) { queue_.push_back({"message", text, title}); }
    void expectQuestion(const QString &text, bool answerYes, const QString &title = QString())
    {
        queue_.push_back({"question", text, title, answerYes});
    }
    void expectInput(const QString &prompt, const QString &answer) { queue_.push_back({"input box", prompt, {}, false, answer}); }
    void expectBeep() { queue_.push_back({"beep"}); }
    // A progress, cancelled once its work reports a part done of at least
    // cancelAt (0 to 1); never cancelled by default.
    void expectProgress(const QString &text, double cancelAt = 2)
    {
        queue_.push_back({"progress", text, {}, false, QString::number(cancelAt)});
    }

    void message(const QString &text, Icon icon, const QString &title) override;
    bool askYesNo(const QString &text, const QString &title, Icon icon, Button defaultButton) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    // Scripted as an input box prompting with the title; its folder is kept as lastDefaultText.
    QString chooseFileToOpen(const QString &title, const QString &folder, const QString &) override
    {
        return inputBox(title, title, folder);
    }
    QString chooseFileToSave(const QString &title, const QString &name, const QString &) override
    {
        return inputBox(title, title, name);
    }
    void beep() override { take("beep", QString(), QString()); }
    std::unique_ptr<Progress> showProgress(const QString &text, const QString &title) override;

    // What went wrong, one line each; empty when every expected dialog came and nothing else did.
    QString report() const;
    void reset() { *this = ScriptedDialogs(); }

    // The last question's icon and default button, and the last input box's title and default text.
    Icon lastIcon = Icon::None;
    Button lastDefault = Button::Yes;
    QString lastTitle;
    QString lastDefaultText;

private:
    struct Expected
    {
        const char *kind;
        QString text;
        QString title;
        bool yes = false;
        QString answer;
    };
    // The expected dialog, when this one is it.
    std::optional<Expected> take(const char *kind, const QString &text, const QString &title);

    std::deque<Expected> queue_;
    QStringList faults_;
};

#define VERIFY_DIALOGS(d) \
    do { \
        const QString faults = (d).report(); \
        QVERIFY2(faults.isEmpty(), qPrintable(faults)); \
    } while (false)
