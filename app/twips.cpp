#include "app/twips.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
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

void centreOnScreen(QWidget *window, const QWidget *reference)
{
    const QScreen *screen = reference && reference->screen() ? reference->screen() : QGuiApplication::primaryScreen();
    if (screen)
        window->move(screen->availableGeometry().center() - window->rect().center());
}

QSize clientPixels(int widthTwips, int heightTwips)
{
    return QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

namespace {

bool captionFits(const QLabel *label, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const QString text = QString(label->text()).remove(QLatin1Char('&'));
    const QRectF box = label->contentsRect();
    if (!label->wordWrap())
        return metrics.horizontalAdvance(text) <= box.width();
    const QRectF needed = metrics.boundingRect(QRectF(0, 0, box.width(), 1e6), Qt::TextWordWrap, text);
    return needed.height() <= box.height();
}

} // namespace

void fitCaptions(QWidget *window)
{
    constexpr qreal kSmallestPointSize = 6.5;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText)
            continue;
        QFont font = label->font();
        if (font.pointSizeF() <= 0)
            continue;
        bool changed = false;
        while (!captionFits(label, font) && font.pointSizeF() - 0.5 >= kSmallestPointSize) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
            changed = true;
        }
        if (changed)
            label->setFont(font);
    }
}
