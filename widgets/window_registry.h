#pragma once

#include "widgets/twips.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace widgets {

// Keeps each of the program's secondary windows at most once: showing a window
// creates it on first show, and only brings it to the front when it is open.
// A window is destroyed when it is closed, so the next show starts it anew, and
// Escape closes it like its close box.
class WindowRegistry
{
public:
    // Shows the window of type W, creating it with make() when it is not open.
    template <class W>
    W *show(const std::function<W *()> &make)
    {
        if (W *open = find<W>()) {
            bringToFront(open);
            return open;
        }
        W *created = make();
        adopt(W::staticMetaObject.className(), created);
        fitCaptions(created);
        created->show();
        return created;
    }

    // The open window of type W, or nullptr.
    template <class W>
    W *find() const
    {
        return qobject_cast<W *>(windows_.value(W::staticMetaObject.className()).data());
    }

    // Closes every open window (as Exit does).
    void closeAll();
    bool anyOpen() const;

private:
    void adopt(const char *key, QWidget *window);
    static void bringToFront(QWidget *window);

    QHash<QByteArray, QPointer<QWidget>> windows_;
};

} // namespace widgets
