#pragma once

#include "base/dialogs.h"
#include "program/program.h"

#include <QDialog>

class QComboBox;
class QTreeWidget;

namespace windows {

// The Earlier Versions window: the versions kept of the current database (and
// of removed databases), each with when it was kept, the change that followed
// it and how many items it holds. "Restore" makes the chosen version current,
// after keeping today's content as a version; a removed database comes back
// under its old name, as does one whose file was left out of the catalogue
// (listed as such).
class VersionsWindow : public QDialog
{
    Q_OBJECT
public:
    VersionsWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);

private slots:
    void showVersions();
    void onRestoreClicked();

private:
    void fillDatabases();

    program::Program &program_;
    base::Dialogs &dialogs_;
    QComboBox *databaseBox_ = nullptr;
    QTreeWidget *versionList_ = nullptr;
    // The versions the list shows, row by row.
    QVector<history::Version> shownVersions_;
};

} // namespace windows
