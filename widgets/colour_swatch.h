#pragma once

#include <QWidget>

namespace widgets {

// A colour sample of the preferences window: a rectangle filled solid with its
// colour and outlined with a thin solid border.
class ColourSwatch : public QWidget
{
    Q_OBJECT
public:
    ColourSwatch(quint32 fillColour, QWidget *parent = nullptr);

    // red + 256 * green + 65536 * blue
    quint32 fillColour() const { return fillColour_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    quint32 fillColour_;
};

} // namespace widgets
