#include "windows/current_database_window.h"

#include "base/dialogs.h"
#include "program/program.h"
#include "widgets/new_database_name.h"
#include "widgets/picture_button.h"
#include "widgets/twips.h"
#include "widgets/busy_cursor.h"

#include <QComboBox>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The pictures live in a static library: their resources must be pulled in by
// name, from outside any namespace.
static void initPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace windows {

// A picture of the window, drawn for device pixel ratios 1, 1.5 and 2.
static QList<QPixmap> picture(const QString &name)
{
    const QString path = QStringLiteral(":/windows/pictures/") + name;
    QList<QPixmap> versions;
    for (const char *ratio : {"", "@1.5x", "@2x"})
        versions.append(QPixmap(path + QLatin1String(ratio) + QStringLiteral(".xpm")));
    return versions;
}

CurrentDatabaseWindow::CurrentDatabaseWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      program_(program),
      dialogs_(dialogs)
{
    initPictures();
    widgets::designWindow(this, "Form3", QStringLiteral("Current Database"), 4485, 1155);
    setSizeGripEnabled(false);
    buildControls();
    loadCatalogue();
}

void CurrentDatabaseWindow::buildControls()
{
    auto *label =
        widgets::placed(new QLabel(QStringLiteral("Current Database:"), this), "Label1", {120, 120, 1455, 255});
    databaseBox_ =
        widgets::placed(new QComboBox(this), "Combo1", {1560, 120, 2775, 315}, QStringLiteral("Current Database"));
    databaseBox_->setEditable(true);
    // The typed text is taken exactly as typed: no completion, and Enter does
    // not add it to the list.
    databaseBox_->setCompleter(nullptr);
    databaseBox_->setInsertPolicy(QComboBox::NoInsert);
    // A screen reader meets the box's text field and drop-down list on their own too.
    databaseBox_->lineEdit()->setAccessibleName(databaseBox_->accessibleName());
    databaseBox_->view()->setAccessibleName(QStringLiteral("Catalogued databases"));
    label->setBuddy(databaseBox_);

    auto *okButton = widgets::placed(new QPushButton(QStringLiteral("OK"), this), "Command2", {2400, 600, 1935, 375},
                                     QStringLiteral("OK"));
    okButton->setDefault(true);
    auto *createButton = widgets::placed(
        new widgets::PictureButton(picture(QStringLiteral("filing_cabinet")), QStringLiteral("Add new database"), this),
        "imgCreate", {120, 600, 480, 480});
    auto *removeButton = widgets::placed(new widgets::PictureButton(picture(QStringLiteral("waste_bin")),
                                                                    QStringLiteral("Delete current database"), this),
                                         "imgRemove", {840, 600, 480, 480});
    createButton->setCursor(Qt::UpArrowCursor);
    removeButton->setCursor(Qt::UpArrowCursor);

    connect(okButton, &QPushButton::clicked, this, &CurrentDatabaseWindow::onOkClicked);
    connect(createButton, &widgets::PictureButton::clicked, this, &CurrentDatabaseWindow::onCreateClicked);
    connect(removeButton, &widgets::PictureButton::clicked, this, &CurrentDatabaseWindow::onRemoveClicked);

    // The pictures come after the designed tab order, so the keyboard reaches them too.
    QWidget::setTabOrder(databaseBox_, okButton);
    QWidget::setTabOrder(okButton, createButton);
    QWidget::setTabOrder(createButton, removeButton);
    databaseBox_->setFocus();
}

void CurrentDatabaseWindow::loadCatalogue()
{
    const program::Program::CatalogueOpening opened = program_.openCatalogue();
    if (opened.wasMissing)
        dialogs_.message(QStringLiteral("Could not open the datalist.txt file, this file will be created."));
    if (opened.failure)
        dialogs_.message(opened.failure->shortMessage());
    // The current database is preselected; when the catalogue does not list its
    // file, nothing is and the text stays empty.
    listCatalogue(program_.catalogueRowOfCurrentDatabase());
    if (databaseBox_->currentIndex() < 0)
        databaseBox_->setEditText(QString());
    connect(&program_, &program::Program::catalogueChanged, this, &CurrentDatabaseWindow::onCatalogueChanged);
}

void CurrentDatabaseWindow::listCatalogue(int row)
{
    databaseBox_->clear();
    databaseBox_->addItems(program_.catalogueNames());
    databaseBox_->setCurrentIndex(row);
}

void CurrentDatabaseWindow::onCatalogueChanged()
{
    // What the box shows stays as it was.
    const int row = databaseBox_->currentIndex();
    const QString shown = databaseBox_->currentText();
    listCatalogue(row < 0 ? -1 : program_.catalogueRowOf(databaseBox_->itemText(row), row));
    databaseBox_->setEditText(shown);
}

void CurrentDatabaseWindow::onOkClicked()
{
    if (!dialogs_.report(widgets::whileBusy([&] { return program_.chooseDatabase(databaseBox_->currentText()); })))
        return;
    close();
    dialogs_.report(program_.reloadCurrentDatabase());
}

void CurrentDatabaseWindow::onCreateClicked()
{
    // The new name goes to the end of the list (catalogueChanged).
    const QString name = widgets::askForNewDatabaseName(dialogs_);
    if (!name.isEmpty())
        dialogs_.report(program_.createDatabase(name));
}

void CurrentDatabaseWindow::onRemoveClicked()
{
    const QString text = databaseBox_->currentText();
    if (!dialogs_.report(program_.checkRemoval(text)))
        return;
    if (!dialogs_.askYesNo(QStringLiteral("Do you want to remove the database ") + text
                               + QStringLiteral(" and erase all its contents?"),
                           QStringLiteral("Remove Database"), base::Dialogs::Icon::Stop, base::Dialogs::Button::No))
        return;
    const QString before = program_.currentDatabase().fileName;
    if (!dialogs_.report(program_.removeDatabase(text))) {
        // The current database's file went with a failed removal: the primary one is listed instead.
        if (program_.currentDatabase().fileName != before)
            dialogs_.report(program_.reloadCurrentDatabase());
        return;
    }
    dialogs_.message(QStringLiteral("The database was removed"));
    close();
    dialogs_.report(program_.reloadCurrentDatabase());
}

} // namespace windows
