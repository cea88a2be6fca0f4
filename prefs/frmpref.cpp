#include "prefs/frmpref.h"

#include "app/failure.h"
#include "app/module1.h"
#include "app/twips.h"
#include "main_window/form1.h"
#include "prefs/colour_swatch.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kClientWidth = 4845;
constexpr int kClientHeight = 3390;
constexpr int kRowSpacing = 240;
constexpr int kSwatchWidth = 375;
constexpr int kSwatchHeight = 135;
constexpr int kOptionSize = 255;
// Option17 onwards carry their own names as captions; the narrow button shows only its circle.
constexpr int kFirstNamedOption = 17;

constexpr std::array<palette::Group, 3> kGroups = {palette::Group::Background, palette::Group::Items,
                                                   palette::Group::Descriptions};

QGroupBox *makeFrame(const QString &objectName, const QString &caption, QWidget *parent, const TwipRect &geometry)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(objectName);
    frame->setAccessibleName(caption);
    setTwips(frame, geometry);
    return frame;
}

} // namespace

frmPref::frmPref(Form1 &mainWindow)
    : QDialog(&mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(mainWindow)
{
    setObjectName(QStringLiteral("frmPref"));
    setWindowTitle(QStringLiteral("Preferences"));
    setAccessibleName(windowTitle());
    setFixedSize(clientPixels(kClientWidth, kClientHeight));
    setSizeGripEnabled(false);

    Frame1 = makeFrame(QStringLiteral("Frame1"), QStringLiteral("Colors"), this, {120, 120, 4575, 3135});
    Frame2 = makeFrame(QStringLiteral("Frame2"), QStringLiteral("Background"), Frame1, {240, 360, 1095, 2295});
    Frame3 = makeFrame(QStringLiteral("Frame3"), QStringLiteral("Items"), Frame1, {1560, 360, 1215, 2295});
    Frame4 = makeFrame(QStringLiteral("Frame4"), QStringLiteral("Descriptions"), Frame1, {3000, 360, 1215, 2295});

    buildGroup(palette::Group::Background, Frame2, 120, 600, QStringLiteral("Background"));
    buildGroup(palette::Group::Items, Frame3, 240, 720, QStringLiteral("Items"));
    buildGroup(palette::Group::Descriptions, Frame4, 240, 720, QStringLiteral("Descriptions"));

    Command1 = new QPushButton(QStringLiteral("OK"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(Command1->text());
    Command1->setDefault(true);
    setTwips(Command1, {1680, 2760, 975, 255});
    connect(Command1, &QPushButton::clicked, this, &frmPref::Command1_Click);

    // Tab goes through the groups from left to right (within a group it stops
    // only at the selected button; the arrow keys move the selection), then to OK.
    QWidget *previous = nullptr;
    for (palette::Group g : kGroups) {
        for (QRadioButton *option : controls(g).options) {
            if (previous)
                QWidget::setTabOrder(previous, option);
            previous = option;
        }
    }
    QWidget::setTabOrder(previous, Command1);
    option(1)->setFocus();
}

void frmPref::buildGroup(palette::Group group, QGroupBox *frame, int swatchLeft, int optionLeft,
                         const QString &groupName)
{
    GroupControls &c = groups_[std::size_t(group)];
    c.buttons = new QButtonGroup(this);
    c.buttons->setObjectName(groupName);
    c.buttons->setExclusive(true);

    const auto &rows = palette::rows(group);
    for (int r = 0; r < palette::kRowCount; ++r) {
        const palette::Row &row = rows[std::size_t(r)];
        const int top = kRowSpacing * (r + 1);
        const QString colourName = QString::fromLatin1(row.name);

        auto *swatch = new ColourSwatch(row.colour, frame);
        swatch->setObjectName(palette::swatchName(row));
        if (row.swatchIndex >= 0)
            swatch->setProperty("index", row.swatchIndex);
        swatch->setAccessibleName(groupName + QLatin1Char(' ') + colourName + QStringLiteral(" sample"));
        swatch->setToolTip(colourName);
        setTwips(swatch, {swatchLeft, top, kSwatchWidth, kSwatchHeight});

        auto *option = new QRadioButton(frame);
        const QString name = palette::optionName(row);
        option->setObjectName(name);
        if (row.option >= kFirstNamedOption)
            option->setText(name);
        option->setAccessibleName(groupName + QLatin1Char(' ') + colourName);
        option->setToolTip(colourName);
        setTwips(option, {optionLeft, top, kOptionSize, kOptionSize});
        c.buttons->addButton(option, r);

        c.options[std::size_t(r)] = option;
        c.swatches[std::size_t(r)] = swatch;
        optionsByNumber_[std::size_t(row.option)] = option;
    }

    const int initial = palette::initialRow(group);
    c.options[std::size_t(initial)]->setChecked(true);
    // Tab enters a group at its selected button only, as the buttons do once one has had the focus.
    for (int r = 0; r < palette::kRowCount; ++r) {
        if (r != initial)
            c.options[std::size_t(r)]->setFocusPolicy(Qt::ClickFocus);
    }
}

const frmPref::GroupControls &frmPref::controls(palette::Group group) const
{
    return groups_[std::size_t(group)];
}

int frmPref::checkedRow(palette::Group group) const
{
    // The group is exclusive and starts with a selection, so one row is always selected;
    // should none be, the design's selection counts.
    const int row = controls(group).buttons->checkedId();
    return row >= 0 ? row : palette::initialRow(group);
}

Prefs frmPref::chosenColours() const
{
    return palette::coloursOf(checkedRow(palette::Group::Background), checkedRow(palette::Group::Items),
                              checkedRow(palette::Group::Descriptions));
}

QRadioButton *frmPref::option(int number) const
{
    return number >= 1 && number <= 24 ? optionsByNumber_[std::size_t(number)] : nullptr;
}

ColourSwatch *frmPref::swatch(palette::Group group, int row) const
{
    return controls(group).swatches.at(std::size_t(row));
}

QButtonGroup *frmPref::group(palette::Group group) const
{
    return controls(group).buttons;
}

void frmPref::Command1_Click()
{
    const Prefs chosen = chosenColours();
    try {
        preffile::write(main_.state().dataPath(preffile::kFileName), chosen);
    } catch (const Failure &failure) {
        // Nothing is applied and the window stays open with the choice, so the
        // main window never shows colours that the next start would not.
        main_.reportFailure(failure);
        return;
    }
    main_.applyBackground(chosen.background);
    main_.applyItemTextColour(chosen.itemText);
    main_.applyDescriptionTextColour(chosen.descriptionText);
    close();
}

void frmPref::reject()
{
    close();
}

void frmPref::closeEvent(QCloseEvent *event)
{
    // A plain close: nothing is written or applied (QDialog would route it through reject()).
    event->accept();
}
