#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace widgets {

// While it lives, the pointer shows the busy cursor over every window of the
// program: made around a call of the program object that may take long (it
// grows with the database), so the window never waits without a sign.
class BusyCursor
{
public:
    // Without a GUI application (a command run on its own) there is no cursor to show.
    BusyCursor() : shown_(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (shown_)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~BusyCursor()
    {
        if (shown_)
            QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    bool shown_;
};

// What the work gives, done under the busy cursor (a message about it comes after).
template <class Work>
auto whileBusy(Work &&work)
{
    const BusyCursor busy;
    return work();
}

} // namespace widgets
