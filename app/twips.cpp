#include "app/twips.h"

#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {
const char *const kTwipsProperty = "gearledgerTwips";
}

int twipsToPixels(int twips)
{
    return int(std::lround(double(twips) / kTwipsPerPixel));
}

QRect toPixels(const TwipRect &r)
{
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width), twipsToPixels(r.height));
}

void setTwips(QWidget *widget, const TwipRect &r)
{
    widget->setProperty(kTwipsProperty, QRect(r.left, r.top, r.width, r.height));
    widget->setGeometry(toPixels(r));
}

TwipRect twipsOf(const QWidget *widget)
{
    const QVariant stored = widget->property(kTwipsProperty);
    if (stored.isValid()) {
        const QRect r = stored.toRect();
        return {r.x(), r.y(), r.width(), r.height()};
    }
    const QRect g = widget->geometry();
    return {g.x() * kTwipsPerPixel, g.y() * kTwipsPerPixel, g.width() * kTwipsPerPixel, g.height() * kTwipsPerPixel};
}

void setTwipsLeft(QWidget *widget, int left)
{
    TwipRect r = twipsOf(widget);
    r.left = left;
    setTwips(widget, r);
}

void setTwipsTop(QWidget *widget, int top)
{
    TwipRect r = twipsOf(widget);
    r.top = top;
    setTwips(widget, r);
}

void setTwipsWidth(QWidget *widget, int width)
{
    TwipRect r = twipsOf(widget);
    r.width = width;
    setTwips(widget, r);
}

void setTwipsHeight(QWidget *widget, int height)
{
    TwipRect r = twipsOf(widget);
    r.height = height;
    setTwips(widget, r);
}

QSize clientPixels(int widthTwips, int heightTwips)
{
    return QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}
