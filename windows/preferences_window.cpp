#include "windows/preferences_window.h"

#include "base/dialogs.h"
#include "program/program.h"
#include "widgets/colour_swatch.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QPointer>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>

namespace windows {

namespace {

constexpr int kRowSpacing = 240;
constexpr int kSwatchWidth = 375;
constexpr int kSwatchHeight = 135;
constexpr int kOptionSize = 255;
// Option17 onwards carry their own names as captions; the narrow button shows only its circle.
constexpr int kFirstNamedOption = 17;

// The frames are drawn with their line through the middle of the title, as
// designed: the first row of each palette lies just under the line, where a
// frame drawn below its title would cross it. Only the frames take this
// style; what they hold keeps the desktop's.
QStyle *framesStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (style)
            style->setParent(qApp);
    }
    return style;
}

QGroupBox *frame(const char *designName, const QString &caption, QWidget *parent, const widgets::TwipRect &geometry)
{
    auto *box = new QGroupBox(caption, parent);
    if (QStyle *style = framesStyle())
        box->setStyle(style);
    return widgets::placed(box, designName, geometry, caption);
}

} // namespace

PreferencesWindow::PreferencesWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      program_(program),
      dialogs_(dialogs)
{
    widgets::designWindow(this, "frmPref", QStringLiteral("Preferences"), 4845, 3390);
    setSizeGripEnabled(false);

    QGroupBox *colours = frame("Frame1", QStringLiteral("Colors"), this, {120, 120, 4575, 3135});
    buildGroup(prefs::PaletteGroup::Background,
               frame("Frame2", QStringLiteral("Background"), colours, {240, 360, 1095, 2295}), 120, 600,
               QStringLiteral("Background"));
    buildGroup(prefs::PaletteGroup::Items, frame("Frame3", QStringLiteral("Items"), colours, {1560, 360, 1215, 2295}),
               240, 720, QStringLiteral("Items"));
    buildGroup(prefs::PaletteGroup::Descriptions,
               frame("Frame4", QStringLiteral("Descriptions"), colours, {3000, 360, 1215, 2295}), 240, 720,
               QStringLiteral("Descriptions"));

    auto *okButton = widgets::placed(new QPushButton(QStringLiteral("OK"), colours), "Command1", {1680, 2760, 975, 255},
                                     QStringLiteral("OK"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &PreferencesWindow::onOkClicked);

    // Tab goes through the groups from left to right (within a group it stops
    // only at the selected button; the arrow keys move the selection), then to OK.
    QWidget *previous = nullptr;
    for (QButtonGroup *group : groups_) {
        for (QAbstractButton *option : group->buttons()) {
            if (previous)
                QWidget::setTabOrder(previous, option);
            previous = option;
        }
    }
    QWidget::setTabOrder(previous, okButton);
    groups_[0]->button(prefs::initialPaletteRow(prefs::PaletteGroup::Background))->setFocus();
}

void PreferencesWindow::buildGroup(prefs::PaletteGroup group, QGroupBox *frame, int swatchLeft, int optionLeft,
                                   const QString &groupName)
{
    auto *buttons = new QButtonGroup(this);
    buttons->setObjectName(groupName);
    buttons->setExclusive(true);
    groups_[std::size_t(group)] = buttons;

    const int initial = prefs::initialPaletteRow(group);
    const auto &rows = prefs::paletteRows(group);
    for (int r = 0; r < prefs::kPaletteRows; ++r) {
        const prefs::PaletteRow &row = rows[std::size_t(r)];
        const int top = kRowSpacing * (r + 1);
        const QString colourName = QString::fromLatin1(row.name);

        const QByteArray swatchName = prefs::swatchName(row).toLatin1();
        auto *swatch = widgets::placed(new widgets::ColourSwatch(row.colour, frame), swatchName.constData(),
                                       {swatchLeft, top, kSwatchWidth, kSwatchHeight},
                                       groupName + QLatin1Char(' ') + colourName + QStringLiteral(" sample"));
        if (row.swatchIndex >= 0)
            swatch->setProperty("index", row.swatchIndex);
        swatch->setToolTip(colourName);

        const QByteArray optionName = prefs::optionName(row).toLatin1();
        auto *option =
            widgets::placed(new QRadioButton(frame), optionName.constData(),
                            {optionLeft, top, kOptionSize, kOptionSize}, groupName + QLatin1Char(' ') + colourName);
        if (row.option >= kFirstNamedOption)
            option->setText(option->objectName());
        option->setToolTip(colourName);
        buttons->addButton(option, r);
        // Tab enters a group at its selected button only, as the buttons do once one has had the focus.
        if (r != initial)
            option->setFocusPolicy(Qt::ClickFocus);
    }
    buttons->button(initial)->setChecked(true);
}

int PreferencesWindow::checkedRow(prefs::PaletteGroup group) const
{
    // The group is exclusive and starts with a selection, so one row is always
    // selected; should none be, the design's selection counts.
    const int row = groups_[std::size_t(group)]->checkedId();
    return row >= 0 ? row : prefs::initialPaletteRow(group);
}

void PreferencesWindow::onOkClicked()
{
    const storage::Prefs chosen =
        prefs::paletteColours(checkedRow(prefs::PaletteGroup::Background), checkedRow(prefs::PaletteGroup::Items),
                              checkedRow(prefs::PaletteGroup::Descriptions));
    // On a failure nothing is shown and the window stays open with the choice,
    // so the main window never shows colours that the next start would not.
    if (dialogs_.report(program_.saveColours(chosen)))
        close();
}

void PreferencesWindow::reject()
{
    close();
}

void PreferencesWindow::closeEvent(QCloseEvent *event)
{
    // A plain close: nothing is written or applied (QDialog would route it through reject()).
    event->accept();
}

} // namespace windows
