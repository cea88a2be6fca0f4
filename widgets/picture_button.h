#pragma once

#include <QAbstractButton>
#include <QList>
#include <QPixmap>

namespace widgets {

// A picture that acts as a button: it shows its picture and nothing else, like
// an image control with a click handler. Unlike such a picture it can be
// reached with Tab and pressed with Space or Enter, and it shows a focus
// rectangle, so keyboard and screen reader users get it too. It does not take
// the focus on a mouse click.
class PictureButton : public QAbstractButton
{
    Q_OBJECT
public:
    // The picture comes in versions drawn for different pixel densities; the
    // first is the one for a device pixel ratio of 1 and gives the size. The
    // tool tip is also the button's accessible name.
    PictureButton(const QList<QPixmap> &versions, const QString &toolTip, QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // What a screen of this device pixel ratio shows: the version drawn for it,
    // or else the smallest larger one reduced smoothly, or else the largest
    // enlarged pixel by pixel (crisp, never blurred).
    QPixmap pictureFor(qreal devicePixelRatio) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QList<QPixmap> versions_;
};

} // namespace widgets
