#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A picture that acts as a button: it shows its pixmap and nothing else, like
// an image control with a click handler. Unlike such a picture it can be
// reached with Tab and pressed with Space or Enter, and it shows a focus
// rectangle, so keyboard and screen reader users get it too. It does not take
// the focus on a mouse click.
class PictureButton : public QAbstractButton
{
    Q_OBJECT
public:
    // The tool tip is also the button's accessible name.
    PictureButton(const QPixmap &picture, const QString &toolTip, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPixmap picture_;
};
