#pragma once

#include "app/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>

// Dialogs for tests: each test queues the dialogs it expects, in order, with
// the answers to give. A dialog that comes unexpected, or with other text, is
// recorded as a fault (and answered with OK, No or Cancel); finished() then
// reports it, and also any expected dialog that never came.
class ScriptedDialogs : public Dialogs
{
public:
    void expectMessage(const QString &text, const QString &title = QString());
    void expectQuestion(const QString &text, bool answerYes, const QString &title = QString());
    void expectInput(const QString &prompt, const QString &answer);
    void expectBeep();

    void message(const QString &text, Icon icon, const QString &title) override;
    bool askYesNo(const QString &text, const QString &title, Icon icon, Button defaultButton) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    // Scripted as an input box prompting with the title; its folder is kept as lastDefaultText.
    QString chooseFileToOpen(const QString &title, const QString &folder, const QString &filter) override;
    void beep() override;

    // True when every expected dialog came and nothing else did.
    bool finished() const;
    // What went wrong, for the test's failure message.
    QString report() const;
    // Forgets the expectations and faults (between tests).
    void reset();

    // Everything shown so far, in order, as "kind: text".
    QStringList shown;
    // Details of the last question and input box, for tests that check them.
    Icon lastIcon = Icon::None;
    Button lastDefault = Button::Yes;
    QString lastTitle;
    QString lastDefaultText;

private:
    enum class Kind { Message, Question, Input, Beep };
    struct Expected
    {
        Kind kind;
        QString text;
        QString title;
        bool yes = false;
        QString answer;
    };
    const Expected *take(Kind kind, const QString &text, const QString &title);

    std::deque<Expected> queue_;
    Expected current_;
    QStringList faults_;
};

// Fails the current test unless every expected dialog came and nothing else did.
#define VERIFY_DIALOGS(d) QVERIFY2((d).finished(), qPrintable((d).report()))
