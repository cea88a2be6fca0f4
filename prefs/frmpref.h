#pragma once

#include "app/pref_file.h"
#include "prefs/colour_palette.h"

#include <QDialog>

#include <array>

class ColourSwatch;
class Form1;
class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

// The Preferences tool window: three palettes of eight colours for the main
// window's background, item names and descriptions. OK saves the choice to
// pref.txt, colours the main window at once and closes; the close box (or
// Escape) discards the choice. Every new window starts from black and green,
// whatever the main window shows.
class frmPref : public QDialog
{
    Q_OBJECT
public:
    explicit frmPref(Form1 &mainWindow);

    // OK: save, apply, close.
    void Command1_Click();

    // The colours of the selected option buttons.
    Prefs chosenColours() const;

    // OptionN (1 to 24).
    QRadioButton *option(int number) const;
    // The swatch of a row (numbered from 0) of a group.
    ColourSwatch *swatch(palette::Group group, int row) const;
    QButtonGroup *group(palette::Group group) const;

    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QPushButton *Command1 = nullptr;

public slots:
    // Escape closes the window like its close box.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct GroupControls
    {
        QButtonGroup *buttons = nullptr;
        std::array<QRadioButton *, palette::kRowCount> options{};
        std::array<ColourSwatch *, palette::kRowCount> swatches{};
    };

    void buildGroup(palette::Group group, QGroupBox *frame, int swatchLeft, int optionLeft, const QString &groupName);
    const GroupControls &controls(palette::Group group) const;
    int checkedRow(palette::Group group) const;

    Form1 &main_;
    std::array<GroupControls, 3> groups_;
    std::array<QRadioButton *, 25> optionsByNumber_{};
};
