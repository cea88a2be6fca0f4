#include "widgets/twips.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <tuple>

namespace widgets {

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

void designWindow(QWidget *window, const char *designName, const QString &title, int widthTwips, int heightTwips,
                  WindowSize size)
{
    window->setObjectName(QLatin1String(designName));
    window->setWindowTitle(title);
    window->setAccessibleName(title);
    if (size == WindowSize::Fixed)
        window->setFixedSize(clientPixels(widthTwips, heightTwips));
    else
        window->resize(clientPixels(widthTwips, heightTwips));
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

// A control's caption and the room its box gives it.
struct Caption
{
    QString text;
    QSizeF room;
    bool wraps = false;
};

// Pixels kept between a label's caption and the control that follows it on its line.
constexpr int kGapBeforeNextControl = 3;

// The width a label's caption may take: its box, but no further than a few
// pixels before the next control on its line, which a designed box may overlap.
int labelRoom(const QLabel *label)
{
    const QRect box = label->geometry();
    int end = box.x() + label->contentsRect().right() + 1;
    for (const QWidget *other : label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QRect g = other->geometry();
        if (other != label && !other->isHidden() && g.x() > box.x() && g.top() <= box.center().y()
            && g.bottom() >= box.center().y())
            end = std::min(end, g.x() - kGapBeforeNextControl);
    }
    return end - box.x() - label->contentsRect().x();
}

std::optional<Caption> captionOf(const QWidget *control)
{
    const QStyle *style = control->style();
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->textFormat() == Qt::RichText)
            return std::nullopt;
        return Caption{label->text(), QSizeF(labelRoom(label), label->contentsRect().height()), label->wordWrap()};
    }
    if (const auto *box = qobject_cast<const QCheckBox *>(control)) {
        const int indicator = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box)
                              + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
        return Caption{box->text(), QSizeF(box->width() - indicator, box->height())};
    }
    if (const auto *button = qobject_cast<const QPushButton *>(control)) {
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        return Caption{button->text(), QSizeF(button->width() - margin, button->height())};
    }
    if (const auto *group = qobject_cast<const QGroupBox *>(control)) {
        // The title runs along the frame, with a little room at each end.
        const int frame = 2 * style->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, group);
        return Caption{group->title(), QSizeF(group->width() - frame, group->height())};
    }
    return std::nullopt;
}

bool fitsIn(const Caption &caption, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const QString text = QString(caption.text).remove(QLatin1Char('&'));
    if (!caption.wraps)
        return metrics.horizontalAdvance(text) <= caption.room.width() && metrics.height() <= caption.room.height() + 1;
    const QRectF needed = metrics.boundingRect(QRectF(0, 0, caption.room.width(), 1e6), Qt::TextWordWrap, text);
    return needed.height() <= caption.room.height();
}

} // namespace

bool captionFits(const QWidget *control)
{
    const std::optional<Caption> caption = captionOf(control);
    return !caption || caption->text.isEmpty() || fitsIn(*caption, control->font());
}

void fitCaptions(QWidget *window)
{
    constexpr qreal kSmallestPointSize = 6.5;
    // Controls of one kind lined up in a row (one container, one top and
    // height) or in a column (one left and width) take one size, the smallest
    // any of them needs, so their captions and frame lines stay level.
    using Line = std::tuple<const QObject *, const char *, bool, int, int>;
    QMap<Line, qreal> lineSizes;
    QList<std::pair<QWidget *, std::array<Line, 2>>> captioned;
    for (QWidget *control : window->findChildren<QWidget *>()) {
        const std::optional<Caption> caption = captionOf(control);
        QFont font = control->font();
        if (!caption || caption->text.isEmpty() || font.pointSizeF() <= 0)
            continue;
        while (!fitsIn(*caption, font) && font.pointSizeF() - 0.5 >= kSmallestPointSize)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        const char *kind = control->metaObject()->className();
        const std::array<Line, 2> lines{Line{control->parent(), kind, true, control->y(), control->height()},
                                        Line{control->parent(), kind, false, control->x(), control->width()}};
        for (const Line &line : lines)
            lineSizes[line] = std::min(lineSizes.value(line, font.pointSizeF()), font.pointSizeF());
        captioned.append({control, lines});
    }
    for (const auto &[control, lines] : captioned) {
        const qreal size = std::min(lineSizes[lines[0]], lineSizes[lines[1]]);
        if (size < control->font().pointSizeF()) {
            QFont font = control->font();
            font.setPointSizeF(size);
            control->setFont(font);
        }
    }
}

} // namespace widgets
