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
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// What the work gives, done under the busy cursor (a message about it comes after).
template <class Work>
auto whileBusy(Work &&work)
{
    const BusyCursor busy;
    return work();
}

} // namespace widgets
