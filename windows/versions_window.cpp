#include "windows/versions_window.h"

#include "base/dialogs.h"
#include "program/program.h"
#include "widgets/twips.h"
#include "widgets/busy_cursor.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

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
    auto *label = widgets::named(new QLabel(QStringLiteral("&Versions of:"), this), "versionsOfLabel");
    databaseBox_ = widgets::named(new QComboBox(this), "versionsOfBox", QStringLiteral("Versions of"));
    label->setBuddy(databaseBox_);
    databaseBox_->view()->setAccessibleName(QStringLiteral("Databases with earlier versions"));
    versionList_ = widgets::named(new QTreeWidget(this), "versionList", QStringLiteral("Earlier versions"));
    versionList_->setHeaderLabels({QStringLiteral("Kept"), QStringLiteral("Change that followed"),
                                   QStringLiteral("Items")});
    versionList_->setRootIsDecorated(false);
    versionList_->setAllColumnsShowFocus(true);
    versionList_->header()->setStretchLastSection(false);
    versionList_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto *restoreButton =
        widgets::named(new QPushButton(QStringLiteral("&Restore"), this), "restoreButton", QStringLiteral("Restore"));
    restoreButton->setDefault(true);
    auto *closeButton =
        widgets::named(new QPushButton(QStringLiteral("Close"), this), "closeButton", QStringLiteral("Close"));

    // The database above the list, which takes what the window grows by; the buttons below.
    auto *database = new QHBoxLayout;
    database->addWidget(label);
    database->addWidget(databaseBox_, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(restoreButton);
    buttons->addWidget(closeButton);
    auto *window = new QVBoxLayout(this);
    window->addLayout(database);
    window->addWidget(versionList_, 1);
    window->addLayout(buttons);
    widgets::designWindow(this, "earlierVersionsWindow", QStringLiteral("Earlier Versions"), 7200, 4200,
                          widgets::WindowSize::Resizable);

    connect(databaseBox_, &QComboBox::currentIndexChanged, this, &VersionsWindow::showVersions);
    connect(restoreButton, &QPushButton::clicked, this, &VersionsWindow::onRestoreClicked);
    connect(versionList_, &QTreeWidget::itemActivated, this, &VersionsWindow::onRestoreClicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    setTabOrder(databaseBox_, versionList_);
    setTabOrder(versionList_, restoreButton);
    setTabOrder(restoreButton, closeButton);
    fillDatabases();
    versionList_->setFocus();
    // The controls take their places now, so that their captions are measured there.
    layout()->activate();
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
    shownVersions_.clear();
    const QVector<program::Program::VersionEntry> entries =
        widgets::whileBusy([&] { return program_.versionsOf(databaseBox_->currentData().toString()); });
    for (const program::Program::VersionEntry &entry : entries) {
        const history::Version &version = entry.version;
        shownVersions_.append(version);
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
    if (row < 0 || row >= shownVersions_.size()) {
        dialogs_.message(QStringLiteral("Please select a version in the list first, then press Restore."));
        return;
    }
    const history::Version version = shownVersions_[row];
    if (!dialogs_.report(widgets::whileBusy([&] { return program_.restoreVersion(version, file); })))
        return;
    if (file == program_.currentDatabase().fileName) {
        showVersions();
        return;
    }
    dialogs_.message(QStringLiteral("The database %1 is back in the catalogue.").arg(file.chopped(4)));
    fillDatabases();
}

} // namespace windows
