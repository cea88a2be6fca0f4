#include "catalogue/form3.h"

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/item_database.h"
#include "app/module1.h"
#include "app/twips.h"
#include "catalogue/catalogued_database.h"
#include "catalogue/new_database_name.h"
#include "catalogue/picture_button.h"
#include "main_window/form1.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

// The pictures live in a static library: their resources must be pulled in by name.
static void initCataloguePictures()
{
    Q_INIT_RESOURCE(catalogue);
}

namespace {
const QString kNamePrompt =
    QStringLiteral("Please enter a name for your new database. (Do not use symbols, only letters and numbers)");
} // namespace

Form3::Form3(Form1 &main) : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                               | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                                               | Qt::MSWindowsFixedSizeDialogHint),
                            main_(main)
{
    initCataloguePictures();
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Current Database"));
    setAccessibleName(windowTitle());
    setFixedSize(clientPixels(4485, 1155));
    setSizeGripEnabled(false);
    buildControls();
    Form_Load();
}

void Form3::buildControls()
{
    Label1 = new QLabel(QStringLiteral("Current Database:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    setTwips(Label1, {120, 120, 1455, 255});

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setAccessibleName(QStringLiteral("Current Database"));
    Combo1->setEditable(true);
    // The typed text is taken exactly as typed: no completion, and Enter does
    // not add it to the list.
    Combo1->setCompleter(nullptr);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    setTwips(Combo1, {1560, 120, 2775, 315});
    Label1->setBuddy(Combo1);

    Command2 = new QPushButton(QStringLiteral("OK"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(Command2->text());
    Command2->setDefault(true);
    setTwips(Command2, {2400, 600, 1935, 375});

    imgCreate = new PictureButton(QPixmap(QStringLiteral(":/catalogue/pictures/filing_cabinet.xpm")),
                                  QStringLiteral("Add new database"), this);
    imgCreate->setObjectName(QStringLiteral("imgCreate"));
    imgCreate->setCursor(Qt::UpArrowCursor);
    setTwips(imgCreate, {120, 600, 480, 480});

    imgRemove = new PictureButton(QPixmap(QStringLiteral(":/catalogue/pictures/waste_bin.xpm")),
                                  QStringLiteral("Delete current database"), this);
    imgRemove->setObjectName(QStringLiteral("imgRemove"));
    imgRemove->setCursor(Qt::UpArrowCursor);
    setTwips(imgRemove, {840, 600, 480, 480});

    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(imgCreate, &PictureButton::clicked, this, &Form3::imgCreate_Click);
    connect(imgRemove, &PictureButton::clicked, this, &Form3::imgRemove_Click);

    // The pictures come after the designed tab order, so the keyboard reaches them too.
    QWidget::setTabOrder(Combo1, Command2);
    QWidget::setTabOrder(Command2, imgCreate);
    QWidget::setTabOrder(imgCreate, imgRemove);
    Combo1->setFocus();
}

void Form3::Form_Load()
{
    Module1 &state = main_.state();
    Dialogs &dialogs = main_.dialogs();
    const QString path = state.dataPath(catalogue::kFileName);
    catalogue::CatalogueRead loaded = catalogue::read(path);
    if (loaded.failure && loaded.failure->number() == ErrFileNotFound) {
        dialogs.message(QStringLiteral("Could not open the datalist.txt file, this file will be created."));
        try {
            catalogue::writeSeed(path);
            loaded = catalogue::read(path);
        } catch (const Failure &failure) {
            loaded.failure = failure;
        }
    }
    if (loaded.failure)
        dialogs.message(loaded.failure->shortMessage());
    catalogue_ = loaded.catalogue;

    for (const catalogue::Entry &entry : std::as_const(catalogue_.entries))
        Combo1->addItem(entry.displayName);
    // The current database is preselected; when the catalogue does not list its
    // file, nothing is and the text stays empty.
    Combo1->setCurrentIndex(catalogue_.lastIndexOfFile(state.current_db_file));
    if (Combo1->currentIndex() < 0)
        Combo1->setEditText(QString());
}

void Form3::Command2_Click()
{
    Dialogs &dialogs = main_.dialogs();
    const QString text = Combo1->currentText();
    if (text.isEmpty()) {
        dialogs.message(QStringLiteral("You must select a proper database"));
        return;
    }
    const int index = catalogue_.lastIndexOfName(text);
    if (index < 0) {
        dialogs.message(QStringLiteral("A proper database must be selected"));
        return;
    }
    const catalogue::Entry entry = catalogue_.entries[index];
    main_.state().selectDatabase(entry.displayName, entry.fileName);
    close();
    reloadMainWindow();
}

void Form3::imgCreate_Click()
{
    Dialogs &dialogs = main_.dialogs();
    const QString name = dialogs.inputBox(kNamePrompt, QStringLiteral("New database"), QStringLiteral("mydatabase"));
    if (name.isEmpty())
        return;
    if (const auto refusal = catalogue::whyNewNameIsRefused(name, catalogue_, main_.state())) {
        dialogs.message(*refusal);
        return;
    }
    try {
        catalogue::createDatabase(main_.state(), catalogue_, name, {itemdb::sampleItem()});
    } catch (const Failure &failure) {
        dialogs.message(failure.longMessage());
        return;
    }
    // The new name goes to the end of the list; what the box shows stays as it was.
    const int current = Combo1->currentIndex();
    const QString shown = Combo1->currentText();
    Combo1->addItem(name);
    Combo1->setCurrentIndex(current);
    Combo1->setEditText(shown);
}

void Form3::imgRemove_Click()
{
    Module1 &state = main_.state();
    Dialogs &dialogs = main_.dialogs();
    const QString text = Combo1->currentText();
    if (const auto refusal = catalogue::whyRemovalIsRefused(text, catalogue_)) {
        dialogs.message(*refusal);
        return;
    }
    if (!dialogs.askYesNo(QStringLiteral("Do you want to remove the database ") + text
                              + QStringLiteral(" and erase all its contents?"),
                          QStringLiteral("Remove Database"), Dialogs::Icon::Stop, Dialogs::Button::No))
        return;
    try {
        catalogue::removeDatabase(state, catalogue_, catalogue_.lastIndexOfName(text));
    } catch (const Failure &failure) {
        dialogs.message(failure.longMessage());
        // Its file may be gone although the catalogue still lists it: then the
        // main window must not stay on it.
        if (!QFileInfo::exists(state.currentDbPath())) {
            state.selectPrimary();
            reloadMainWindow();
        }
        return;
    }
    state.selectPrimary();
    dialogs.message(QStringLiteral("The database was removed"));
    close();
    reloadMainWindow();
}

void Form3::reloadMainWindow()
{
    main_.Text1->clear();
    main_.list_all();
}
