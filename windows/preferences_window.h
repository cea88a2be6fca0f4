#pragma once

#include "base/dialogs.h"
#include "prefs/colour_palette.h"
#include "program/program.h"
#include "storage/pref_file.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QGroupBox;

namespace windows {

// The Preferences tool window: three palettes of eight colours for the main
// window's background, item names and descriptions. OK saves the choice and
// closes; the main window shows the saved colours at once. The close box (or
// Escape) discards the choice. Every new window starts from black and green,
// whatever the main window shows.
class PreferencesWindow : public QDialog
{
    Q_OBJECT
public:
    PreferencesWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);

public slots:
    // Escape closes the window like its close box.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onOkClicked();

private:
    void buildGroup(prefs::PaletteGroup group, QGroupBox *frame, int swatchLeft, int optionLeft,
                    const QString &groupName);
    int checkedRow(prefs::PaletteGroup group) const;

    program::Program &program_;
    base::Dialogs &dialogs_;
    std::array<QButtonGroup *, 3> groups_{};
};

} // namespace windows
