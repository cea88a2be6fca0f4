#include "support/scripted_dialogs.h"

namespace {
const char *kindName(int kind)
{
    static const char *const names[] = {"message", "question", "input box", "beep"};
    return names[kind];
}
} // namespace

void ScriptedDialogs::expectMessage(const QString &text, const QString &title)
{
    queue_.push_back({Kind::Message, text, title, false, QString()});
}

void ScriptedDialogs::expectQuestion(const QString &text, bool answerYes, const QString &title)
{
    queue_.push_back({Kind::Question, text, title, answerYes, QString()});
}

void ScriptedDialogs::expectInput(const QString &prompt, const QString &answer)
{
    queue_.push_back({Kind::Input, prompt, QString(), false, answer});
}

void ScriptedDialogs::expectBeep()
{
    queue_.push_back({Kind::Beep, QString(), QString(), false, QString()});
}

const ScriptedDialogs::Expected *ScriptedDialogs::take(Kind kind, const QString &text, const QString &title)
{
    shown.append(QStringLiteral("%1: %2").arg(QLatin1String(kindName(int(kind))), text));
    if (queue_.empty()) {
        faults_.append(QStringLiteral("unexpected %1: \"%2\"").arg(QLatin1String(kindName(int(kind))), text));
        return nullptr;
    }
    current_ = queue_.front();
    queue_.pop_front();
    if (current_.kind != kind || current_.text != text) {
        faults_.append(QStringLiteral("expected %1 \"%2\" but got %3 \"%4\"")
                           .arg(QLatin1String(kindName(int(current_.kind))), current_.text,
                                QLatin1String(kindName(int(kind))), text));
        return nullptr;
    }
    if (!current_.title.isEmpty() && current_.title != title)
        faults_.append(QStringLiteral("expected the title \"%1\" but got \"%2\"").arg(current_.title, title));
    return &current_;
}

void ScriptedDialogs::message(const QString &text, Icon icon, const QString &title)
{
    lastIcon = icon;
    lastTitle = title.isEmpty() ? kProgramTitle : title;
    take(Kind::Message, text, lastTitle);
}

bool ScriptedDialogs::askYesNo(const QString &text, const QString &title, Icon icon, Button defaultButton)
{
    lastIcon = icon;
    lastDefault = defaultButton;
    lastTitle = title.isEmpty() ? kProgramTitle : title;
    const Expected *e = take(Kind::Question, text, lastTitle);
    return e && e->yes;
}

QString ScriptedDialogs::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    lastTitle = title;
    lastDefaultText = defaultText;
    const Expected *e = take(Kind::Input, prompt, title);
    return e ? e->answer : QString();
}

QString ScriptedDialogs::chooseFileToOpen(const QString &title, const QString &folder, const QString &)
{
    return inputBox(title, title, folder);
}

void ScriptedDialogs::beep()
{
    take(Kind::Beep, QString(), QString());
}

bool ScriptedDialogs::finished() const
{
    return faults_.isEmpty() && queue_.empty();
}

QString ScriptedDialogs::report() const
{
    QStringList lines = faults_;
    for (const Expected &e : queue_)
        lines.append(QStringLiteral("expected %1 never came: \"%2\"").arg(QLatin1String(kindName(int(e.kind))), e.text));
    return lines.join(QLatin1Char('\n'));
}

void ScriptedDialogs::reset()
{
    queue_.clear();
    faults_.clear();
    shown.clear();
}
