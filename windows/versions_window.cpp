#include "windows/versions_window.h"

#include "base/dialogs.h"
#include "program/program.h"
#include "widgets/twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace windows {

namespace {
const QString kWhen = QStringLiteral("yyyy-MM-dd HH:mm:ss");
// Beside the folder of versions (the item data), the database file they come back as.
constexpr int kFileRole = Qt::UserRole + 1;
}

VersionsWindow::VersionsWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      program_(program),
      dialogs_(dialogs)
{
    widgets::designWindow(this, "frmVersions", QStringLiteral("Earlier Versions"), 7200, 4200);

    auto *label =
        widgets::placed(new QLabel(QStringLiteral("&Versions of:"), this), "lblDatabase", {120, 150, 1215, 255});
    databaseBox_ =
        widgets::placed(new QComboBox(this), "cboDatabase", {1320, 120, 3600, 315}, QStringLiteral("Versions of"));
    label->setBuddy(databaseBox_);
    databaseBox_->view()->setAccessibleName(QStringLiteral("Databases with earlier versions"));
    versionList_ = widgets::placed(new QTreeWidget(this), "lstVersions", {120, 555, 6960, 2955},
                                   QStringLiteral("Earlier versions"));
    versionList_->setHeaderLabels({QStringLiteral("Kept"), QStringLiteral("Change that followed"),
                                   QStringLiteral("Items")});
    versionList_->setRootIsDecorated(false);
    versionList_->setAllColumnsShowFocus(true);
    versionList_->header()->setStretchLastSection(false);
    versionList_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto *restoreButton = widgets::placed(new QPushButton(QStringLiteral("&Restore"), this), "cmdRestore",
                                          {4680, 3660, 1095, 375}, QStringLiteral("Restore"));
    restoreButton->setDefault(true);
    auto *closeButton = widgets::placed(new QPushButton(QStringLiteral("Close"), this), "cmdClose",
                                        {5985, 3660, 1095, 375}, QStringLiteral("Close"));

    connect(databaseBox_, &QComboBox::currentIndexChanged, this, &VersionsWindow::showVersions);
    connect(restoreButton, &QPushButton::clicked, this, &VersionsWindow::onRestoreClicked);
    connect(versionList_, &QTreeWidget::itemActivated, this, &VersionsWindow::onRestoreClicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    setTabOrder(databaseBox_, versionList_);
    setTabOrder(versionList_, restoreButton);
    setTabOrder(restoreButton, closeButton);
    fillDatabases();
    versionList_->setFocus();
}

void VersionsWindow::fillDatabases()
{
    const QSignalBlocker quiet(databaseBox_);
    databaseBox_->clear();
    databaseBox_->addItem(program_.currentDatabase().displayName, program_.currentDatabase().fileName);
    databaseBox_->setItemData(0, program_.currentDatabase().fileName, kFileRole);
    for (const program::Program::RemovedDatabase &removed : program_.removedDatabases()) {
        const QString name = removed.file.chopped(4);
        databaseBox_->addItem(removed.fileLeft ? QStringLiteral("%1 (file still there, not in the catalogue)").arg(name)
                                               : QStringLiteral("%1 (removed)").arg(name),
                              removed.versionsFolder);
        databaseBox_->setItemData(databaseBox_->count() - 1, removed.file, kFileRole);
    }
    showVersions();
}

void VersionsWindow::showVersions()
{
    versionList_->clear();
    for (const program::Program::VersionEntry &entry : program_.versionsOf(databaseBox_->currentData().toString())) {
        const history::Version &version = entry.version;
        const QString change =
            version.kind == history::Kind::Undo ? QStringLiteral("Undo of ") + version.change : version.change;
        auto *row = new QTreeWidgetItem(versionList_, {version.when.toString(kWhen), change,
                                                       QString::number(entry.items)});
        row->setData(0, Qt::UserRole, QVariant::fromValue(version.path));
    }
    versionList_->resizeColumnToContents(0);
    versionList_->resizeColumnToContents(2);
    if (versionList_->topLevelItemCount() > 0)
        versionList_->setCurrentItem(versionList_->topLevelItem(0));
}

void VersionsWindow::onRestoreClicked()
{
    const int row = versionList_->currentItem() ? versionList_->indexOfTopLevelItem(versionList_->currentItem()) : -1;
    const QString file = databaseBox_->currentData(kFileRole).toString();
    const QVector<program::Program::VersionEntry> versions =
        program_.versionsOf(databaseBox_->currentData().toString());
    if (row < 0 || row >= versions.size()) {
        dialogs_.message(QStringLiteral("Please select a version in the list first, then press Restore."));
        return;
    }
    if (!dialogs_.report(program_.restoreVersion(versions[row].version, file)))
        return;
    if (file == program_.currentDatabase().fileName) {
        showVersions();
        return;
    }
    dialogs_.message(QStringLiteral("The database %1 is back in the catalogue.").arg(file.chopped(4)));
    fillDatabases();
}

} // namespace windows
