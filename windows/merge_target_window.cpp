#include "windows/merge_target_window.h"

#include "base/dialogs.h"
#include "program/program.h"
#include "widgets/new_database_name.h"
#include "widgets/twips.h"
#include "widgets/busy_cursor.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace windows {

MergeTargetWindow::MergeTargetWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      program_(program),
      dialogs_(dialogs)
{
    widgets::designWindow(this, "Form6", QStringLiteral("Which Database?"), 2565, 2025);

    const QString prompt = QStringLiteral("Please select a Database to add new info to:");
    auto *label = widgets::placed(new QLabel(prompt, this), "Label1", {120, 120, 2295, 495});
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    databaseList_ = widgets::placed(new QListWidget(this), "List1", {120, 600, 2295, 840}, prompt);
    databaseList_->setSelectionMode(QAbstractItemView::SingleSelection);
    label->setBuddy(databaseList_);
    auto *okButton = widgets::placed(new QPushButton(QStringLiteral("OK"), this), "Command1", {1320, 1560, 1095, 375},
                                     QStringLiteral("OK"));
    auto *newButton = widgets::placed(new QPushButton(QStringLiteral("New DB"), this), "Command2",
                                      {120, 1560, 1095, 375}, QStringLiteral("New DB"));

    setTabOrder(databaseList_, okButton);
    setTabOrder(okButton, newButton);

    connect(okButton, &QPushButton::clicked, this, &MergeTargetWindow::onOkClicked);
    connect(newButton, &QPushButton::clicked, this, &MergeTargetWindow::onNewDatabaseClicked);
    // Enter on an entry merges into it, as OK does.
    connect(databaseList_, &QListWidget::itemActivated, this, &MergeTargetWindow::onOkClicked);
    widgets::centreOnScreen(this, parent);
}

void MergeTargetWindow::load()
{
    const program::Program::OpenedCatalogue opened = program_.openCatalogue();
    const catalogue::CatalogueRead &read = opened.read;
    if (opened.wasMissing) {
        dialogs_.message(
            QStringLiteral("Could not open the datalist.txt file, this file will be created. Please Try again."));
        if (read.failure)
            dialogs_.report(base::Outcome::failed(*read.failure));
        // The downloaded file stays; the user downloads again.
        closeWithDownloadWindow();
        return;
    }
    catalogue_ = read.catalogue;
    for (const catalogue::Entry &entry : std::as_const(catalogue_.entries))
        databaseList_->addItem(entry.displayName);
    const int current = catalogue_.lastIndexOfFile(program_.currentDatabase().fileName);
    if (current >= 0)
        databaseList_->setCurrentRow(current);
    if (read.failure)
        dialogs_.message(read.failure->shortMessage());
}

void MergeTargetWindow::onOkClicked()
{
    const QList<QListWidgetItem *> selected = databaseList_->selectedItems();
    const int index = selected.isEmpty() ? -1 : databaseList_->row(selected.first());
    const base::Outcome merged = widgets::whileBusy([&] {
        const std::unique_ptr<base::Dialogs::Progress> progress =
            dialogs_.showProgress(QStringLiteral("Adding the downloaded items..."), windowTitle());
        return program_.mergeDownload(catalogue_, index, progress->reporter());
    });
    if (dialogs_.report(merged))
        finish();
}

void MergeTargetWindow::onNewDatabaseClicked()
{
    const QString name = widgets::askForNewDatabaseName(dialogs_);
    if (!name.isEmpty()
        && dialogs_.report(widgets::whileBusy([&] { return program_.newDatabaseFromDownload(catalogue_, name); })))
        finish();
}

void MergeTargetWindow::finish()
{
    dialogs_.report(program_.discardDownload());
    closeWithDownloadWindow();
}

void MergeTargetWindow::closeWithDownloadWindow()
{
    close();
    emit downloadHandled();
}

} // namespace windows
