#include "prefs/colour_swatch.h"

#include <QPainter>

ColourSwatch::ColourSwatch(quint32 fillColour, QWidget *parent) : QWidget(parent), fillColour_(fillColour)
{
    setFocusPolicy(Qt::NoFocus);
}

QColor ColourSwatch::toColor(quint32 packed)
{
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}

void ColourSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The outline is one pixel inside the rectangle, in the desktop's window-text colour.
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0, Qt::SolidLine));
    painter.setBrush(toColor(fillColour_));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
