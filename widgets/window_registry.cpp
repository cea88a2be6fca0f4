#include "widgets/window_registry.h"

#include <QDialog>
#include <QShortcut>

namespace widgets {

void WindowRegistry::adopt(const char *key, QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Escape closes every secondary window like its close box (a dialog does so by itself).
    if (!qobject_cast<QDialog *>(window))
        QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), window), &QShortcut::activated, window,
                         &QWidget::close);
    windows_.insert(QByteArray(key), window);
}

void WindowRegistry::bringToFront(QWidget *window)
{
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

void WindowRegistry::closeAll()
{
    const auto open = windows_.values();
    for (const QPointer<QWidget> &window : open) {
        if (window)
            window->close();
    }
    windows_.clear();
}

bool WindowRegistry::anyOpen() const
{
    for (const QPointer<QWidget> &window : windows_) {
        if (window && window->isVisible())
            return true;
    }
    return false;
}

} // namespace widgets
