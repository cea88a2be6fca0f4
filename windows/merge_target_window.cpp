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
    const program::Program::CatalogueOpening opened = program_.openCatalogue();
    if (opened.wasMissing) {
        dialogs_.message(
            QStringLiteral("Could not open the datalist.txt file, this file will be created. Please Try again."));
        if (opened.failure)
            dialogs_.report(base::Outcome::failed(*opened.failure));
        // The downloaded file stays; the user downloads again.
        closeWithDownloadWindow();
        return;
    }
    listCatalogue(program_.catalogueRowOfCurrentDatabase());
    if (opened.failure)
        dialogs_.message(opened.failure->shortMessage());
    connect(&program_, &program::Program::catalogueChanged, this, &MergeTargetWindow::onCatalogueChanged);
}

int MergeTargetWindow::selectedRow() const
{
    const QList<QListWidgetItem *> selected = databaseList_->selectedItems();
    return selected.isEmpty() ? -1 : databaseList_->row(selected.first());
}

void MergeTargetWindow::listCatalogue(int row)
{
    databaseList_->clear();
    databaseList_->addItems(program_.catalogueNames());
    if (row >= 0)
        databaseList_->setCurrentRow(row);
}

void MergeTargetWindow::onCatalogueChanged()
{
    // The rows are the catalogue's: the entry selected stays selected.
    const int row = selectedRow();
    listCatalogue(row < 0 ? -1 : program_.catalogueRowOf(databaseList_->item(row)->text(), row));
}

void MergeTargetWindow::onOkClicked()
{
    const int index = selectedRow();
    const base::Outcome merged = widgets::whileBusy([&] {
        const std::unique_ptr<base::Dialogs::Progress> progress =
            dialogs_.showProgress(QStringLiteral("Adding the downloaded items..."), windowTitle());
        return program_.mergeDownload(index, progress->reporter());
    });
    if (dialogs_.report(merged))
        finish();
}

void MergeTargetWindow::onNewDatabaseClicked()
{
    const QString name = widgets::askForNewDatabaseName(dialogs_);
    if (!name.isEmpty()
        && dialogs_.report(widgets::whileBusy([&] { return program_.newDatabaseFromDownload(name); })))
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
