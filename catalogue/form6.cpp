#include "catalogue/form6.h"

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/module1.h"
#include "app/text_file.h"
#include "app/twips.h"
#include "catalogue/catalogued_database.h"
#include "catalogue/download_merge.h"
#include "catalogue/new_database_name.h"
#include "download/download_files.h"
#include "download/form5.h"
#include "main_window/form1.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace {

const QString kCatalogueMissing =
    QStringLiteral("Could not open the datalist.txt file, this file will be created. Please Try again.");
const QString kSelectTarget = QStringLiteral("Please select a database to add the new items to.");
const QString kNamePrompt = QStringLiteral(
    "Please enter a name for your new database. (Do not use symbols, only letters and numbers)");
const QString kNameTitle = QStringLiteral("New database");
const QString kDefaultName = QStringLiteral("mydatabase");

} // namespace

Form6::Form6(Form1 &main)
    : QWidget(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint),
      main_(main)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Which Database?"));
    setAccessibleName(windowTitle());
    setFixedSize(clientPixels(2565, 2025));
    buildControls();
    if (const QScreen *screen = main.screen() ? main.screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void Form6::buildControls()
{
    Label1 = new QLabel(QStringLiteral("Please select a Database to add new info to:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(Label1->text());
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTwips(Label1, {120, 120, 2295, 495});

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(Label1->text());
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    setTwips(List1, {120, 600, 2295, 840});
    Label1->setBuddy(List1);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(Command1->text());
    setTwips(Command1, {1320, 1560, 1095, 375});

    Command2 = new QPushButton(QStringLiteral("New DB"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(Command2->text());
    setTwips(Command2, {120, 1560, 1095, 375});

    setTabOrder(List1, Command1);
    setTabOrder(Command1, Command2);

    connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form6::Command2_Click);
    connect(List1, &QListWidget::itemActivated, this, &Form6::Command1_Click);
}

bool Form6::Form_Load()
{
    Module1 &state = main_.state();
    const QString path = state.dataPath(catalogue::kFileName);
    const catalogue::CatalogueRead read = catalogue::read(path);
    if (read.failure && read.failure->number() == ErrFileNotFound) {
        main_.dialogs().message(kCatalogueMissing);
        try {
            catalogue::writeSeed(path);
        } catch (const Failure &failure) {
            main_.reportFailure(failure);
        }
        // The downloaded file stays; the user downloads again.
        closeWithDownloadWindow();
        return false;
    }

    catalogue_ = read.catalogue;
    for (const catalogue::Entry &entry : catalogue_.entries)
        List1->addItem(entry.displayName);
    const int current = catalogue_.lastIndexOfFile(state.current_db_file);
    if (current >= 0)
        List1->setCurrentRow(current);
    if (read.failure)
        main_.dialogs().message(read.failure->shortMessage());
    return true;
}

void Form6::Command1_Click()
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    if (selected.isEmpty()) {
        main_.dialogs().message(kSelectTarget);
        return;
    }
    const int index = List1->row(selected.first());
    if (index < 0 || index >= catalogue_.count())
        return;
    try {
        const QVector<Item> downloaded = downloadmerge::readDownloadedItems(downloadfiles::databaseFilePath());
        downloadmerge::mergeInto(main_.state().dataPath(catalogue_.entries[index].fileName), downloaded);
    } catch (const Failure &failure) {
        // The target is unchanged and the download stays for another try.
        main_.reportFailure(failure);
        return;
    }
    finish();
    main_.list_all();
}

void Form6::Command2_Click()
{
    Module1 &state = main_.state();
    const QString name = main_.dialogs().inputBox(kNamePrompt, kNameTitle, kDefaultName);
    if (name.isEmpty())
        return;
    if (const auto refusal = catalogue::whyNewNameIsRefused(name, catalogue_, state)) {
        main_.dialogs().message(*refusal);
        return;
    }
    try {
        const QVector<Item> items =
            downloadmerge::distinctItems(downloadmerge::readDownloadedItems(downloadfiles::databaseFilePath()));
        // The database file first, then its catalogue entry.
        catalogue::createDatabase(state, catalogue_, name, items);
    } catch (const Failure &failure) {
        main_.reportFailure(failure);
        return;
    }
    finish();
    state.selectDatabase(name, catalogue::fileNameFor(name));
    main_.list_all();
}

void Form6::finish()
{
    try {
        textfile::removeFile(downloadfiles::databaseFilePath());
    } catch (const Failure &failure) {
        main_.reportFailure(failure);
    }
    closeWithDownloadWindow();
}

void Form6::closeWithDownloadWindow()
{
    close();
    if (Form5 *download = main_.windows().find<Form5>())
        download->close();
}
