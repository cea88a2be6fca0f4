#include "widgets/colour_swatch.h"

#include "widgets/packed_colour.h"

#include <QPainter>

namespace widgets {

ColourSwatch::ColourSwatch(quint32 fillColour, QWidget *parent) : QWidget(parent), fillColour_(fillColour)
{
    setFocusPolicy(Qt::NoFocus);
}

void ColourSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The outline is one pixel inside the rectangle, in the desktop's window-text colour.
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0, Qt::SolidLine));
    painter.setBrush(packedColour(fillColour_));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace widgets
