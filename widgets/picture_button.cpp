#include "widgets/picture_button.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace widgets {

PictureButton::PictureButton(const QList<QPixmap> &versions, const QString &toolTip, QWidget *parent)
    : QAbstractButton(parent), versions_(versions)
{
    setToolTip(toolTip);
    setAccessibleName(toolTip);
    setFocusPolicy(Qt::TabFocus);
}

QSize PictureButton::sizeHint() const
{
    return versions_.isEmpty() ? QSize() : versions_.first().size();
}

QPixmap PictureButton::pictureFor(qreal devicePixelRatio) const
{
    const QSize needed = (QSizeF(sizeHint()) * devicePixelRatio).toSize();
    QPixmap chosen;
    for (const QPixmap &version : versions_) {
        const bool chosenTooSmall = chosen.width() < needed.width();
        if (chosen.isNull() || (chosenTooSmall ? version.width() > chosen.width()
                                               : version.width() >= needed.width() && version.width() < chosen.width()))
            chosen = version;
    }
    if (!chosen.isNull() && chosen.size() != needed)
        chosen = chosen.scaled(needed, Qt::IgnoreAspectRatio,
                               chosen.width() > needed.width() ? Qt::SmoothTransformation : Qt::FastTransformation);
    chosen.setDevicePixelRatio(devicePixelRatio);
    return chosen;
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A pressed picture moves by a pixel, as feedback while the mouse button is down.
    const int shift = isDown() ? 1 : 0;
    painter.drawPixmap(shift, shift, pictureFor(devicePixelRatioF()));
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void PictureButton::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the focused picture, not the window's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

} // namespace widgets
