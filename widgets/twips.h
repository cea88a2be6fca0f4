#pragma once

#include "widgets/twip_rect.h"

#include <QRect>
#include <QString>
#include <QWidget>

namespace widgets {

// Window geometry is designed in twips, 15 to a device-independent pixel. Each
// control keeps its twips rectangle so that layout rules work on exact values;
// the widget is placed at the nearest pixels.

inline constexpr int kTwipsPerPixel = 15;

int twipsToPixels(int twips);
QRect toPixels(const TwipRect &r);

// Places a control and remembers its twips rectangle.
void setTwips(QWidget *widget, const TwipRect &r);
// The control's twips rectangle (from its pixels when it was never placed in twips).
TwipRect twipsOf(const QWidget *widget);

void setTwipsLeft(QWidget *widget, int left);
void setTwipsTop(QWidget *widget, int top);
void setTwipsWidth(QWidget *widget, int width);
void setTwipsHeight(QWidget *widget, int height);

// Gives a control its design name (its objectName, by which the layout, the
// tests and the README's table know it), its accessible name (when none is
// given, a label is read by its caption) and its place in twips.
template <class Control>
Control *placed(Control *control, const char *designName, const TwipRect &r, const QString &accessibleName = QString())
{
    control->setObjectName(QLatin1String(designName));
    if (!accessibleName.isEmpty())
        control->setAccessibleName(accessibleName);
    setTwips(control, r);
    return control;
}

// Gives a window its design name, its title (also its accessible name) and its
// client area in twips, a fixed size unless the window may be resized.
enum class WindowSize { Fixed, Resizable };
void designWindow(QWidget *window, const char *designName, const QString &title, int widthTwips, int heightTwips,
                  WindowSize size = WindowSize::Fixed);

// Puts a window at the centre of the screen that shows `reference` (the
// primary screen when it shows nowhere yet).
void centreOnScreen(QWidget *window, const QWidget *reference);

// Sets a window's client area (the area under its menu bar) in twips.
QSize clientPixels(int widthTwips, int heightTwips);

// The designed sizes were made for a smaller default font than today's
// desktops use. Gives every caption of a window (labels, check boxes, buttons,
// group boxes) that does not fit its designed box a smaller size of the same
// font, so the whole caption shows without moving anything. A label's caption
// also stops a few pixels short of the next control on its line. Captions that
// fit keep the default font, unless they stand in a row or a column with
// captions of the same kind of control (same container, and same top and
// height or same left and width): a row or column takes one size. Radio
// buttons are left alone: some are designed to show only their circle.
void fitCaptions(QWidget *window);
// Whether a control's caption shows whole in its box (true for controls without one).
bool captionFits(const QWidget *control);

} // namespace widgets
