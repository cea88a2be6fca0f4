#include "support/scripted_dialogs.h"

std::optional<ScriptedDialogs::Expected> ScriptedDialogs::take(const char *kind, const QString &text,
                                                               const QString &title)
{
    const QString got = QStringLiteral("%1 \"%2\"").arg(QLatin1String(kind), text);
    if (queue_.empty()) {
        faults_.append(QStringLiteral("unexpected ") + got);
        return std::nullopt;
    }
    const Expected expected = queue_.front();
    queue_.pop_front();
    if (QLatin1String(expected.kind) != QLatin1String(kind) || expected.text != text) {
        faults_.append(QStringLiteral("expected %1 \"%2\" but got ").arg(QLatin1String(expected.kind), expected.text) + got);
        return std::nullopt;
    }
    if (!expected.title.isEmpty() && expected.title != title)
        faults_.append(QStringLiteral("expected the title \"%1\" but got \"%2\"").arg(expected.title, title));
    return expected;
}

void ScriptedDialogs::message(const QString &text, Icon, const QString &title)
{
    take("message", text, title.isEmpty() ? base::kProgramTitle : title);
}

bool ScriptedDialogs::askYesNo(const QString &text, const QString &title, Icon icon, Button defaultButton)
{
    lastIcon = icon;
    lastDefault = defaultButton;
    const std::optional<Expected> expected = take("question", text, title.isEmpty() ? base::kProgramTitle : title);
    return expected && expected->yes;
}

QString ScriptedDialogs::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    lastTitle = title;
    lastDefaultText = defaultText;
    const std::optional<Expected> expected = take("input box", prompt, title);
    return expected ? expected->answer : QString();
}

QString ScriptedDialogs::report() const
{
    QStringList lines = faults_;
    for (const Expected &e : queue_)
        lines.append(QStringLiteral("expected %1 never came: \"%2\"").arg(QLatin1String(e.kind), e.text));
    return lines.join(QLatin1Char('\n'));
}

std::unique_ptr<base::Dialogs::Progress> ScriptedDialogs::showProgress(const QString &text, const QString &title)
{
    struct Scripted : Progress
    {
        double cancelAt;
        bool report(qint64 done, qint64 total) override
        {
            return total <= 0 || double(done) / double(total) < cancelAt;
        }
    };
    const std::optional<Expected> expected = take("progress", text, title.isEmpty() ? base::kProgramTitle : title);
    auto progress = std::make_unique<Scripted>();
    progress->cancelAt = expected ? expected->answer.toDouble() : 2;
    return progress;
}
