#pragma once

#include "base/outcome.h"

#include <QString>

#include <functional>
#include <memory>

namespace base {

// How a long piece of work tells how far it got: it is called with the part
// done of the whole, and answers false once the work is to stop (the user
// cancelled). An empty function lets the work run to its end.
using ProgressReport = std::function<bool(qint64 done, qint64 total)>;

// Every message box, question, text-input box and beep of the program goes
// through this interface. The program uses Qt dialogs; tests script the answers.
class Dialogs
{
public:
    enum class Icon { None, Stop, Question, Exclamation, Information };
    enum class Button { Yes, No };

    virtual ~Dialogs() = default;

    // A message with an OK button, titled with the program title unless a title is given.
    virtual void message(const QString &text, Icon icon = Icon::None, const QString &title = QString()) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title, Icon icon, Button defaultButton) = 0;
    // A text-input box; Cancel gives the empty text.
    virtual QString inputBox(const QString &prompt, const QString &title, const QString &defaultText) = 0;
    // The desktop's file chooser for a file to open, starting in `folder`; the empty text when cancelled.
    virtual QString chooseFileToOpen(const QString &title, const QString &folder, const QString &filter) = 0;
    // The desktop's file chooser for a file to write, proposing `proposed`
    // (a name or a path); the empty text when cancelled.
    virtual QString chooseFileToSave(const QString &title, const QString &proposed, const QString &filter) = 0;
    virtual void beep() = 0;

    // Shows the progress of a long piece of work, with a Cancel button, from
    // the first report (when the work takes a while) until the returned
    // object is destroyed. Its report() answers false once Cancel was pressed.
    // Unless a Dialogs shows it, nothing is shown and nothing is cancelled.
    class Progress
    {
    public:
        virtual ~Progress() = default;
        virtual bool report(qint64 done, qint64 total) = 0;
        ProgressReport reporter()
        {
            return [this](qint64 done, qint64 total) { return report(done, total); };
        }
    };
    virtual std::unique_ptr<Progress> showProgress(const QString &text, const QString &title)
    {
        (void)text;
        (void)title;
        struct Unshown : Progress
        {
            bool report(qint64, qint64) override { return true; }
        };
        return std::make_unique<Unshown>();
    }

    // Shows why an operation did not succeed (a cancelled one needs no
    // word); true when it did.
    bool report(const Outcome &outcome)
    {
        if (!outcome.ok() && !outcome.wasCancelled())
            message(outcome.message());
        return outcome.ok();
    }
};

inline const QString kProgramTitle = QStringLiteral("Gearledger");

} // namespace base
