#include "main_window/form1.h"

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/item_database.h"
#include "app/module1.h"
#include "app/text_file.h"
#include "app/twips.h"
#include "catalogue/form3.h"
#include "download/download_url.h"
#include "download/form5.h"
#include "editing/editing_menu.h"
#include "main_window/item_list_model.h"
#include "main_window/item_listing.h"
#include "prefs/colour_palette.h"
#include "prefs/frmpref.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace {

// The client area of the window as designed.
constexpr int kClientWidth = 8175;
constexpr int kClientHeight = 5175;
// Frame, title bar and menu bar around the client area, as the layout rules count them.
constexpr int kFrameWidth = 120;
constexpr int kFrameHeight = 690;

const QString kAboutText = QStringLiteral(
    "Gearledger 3.0 by the Gearledger developers.  View the web site at https://gearledger.org"
    " for recent database updates and versions.");

QColor colourOf(quint32 packed)
{
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}

void setBackgroundColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    // Buttons and check boxes fill their background with their own role.
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// Keeps a control at the desktop's colours for the roles that the window's
// colours would otherwise pass down to it (the search box and the buttons
// never take the chosen colours).
void keepSystemColours(QWidget *widget)
{
    QPalette palette = QApplication::palette(widget);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Text, QPalette::WindowText}) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setBrush(group, role, palette.brush(group, role));
    }
    widget->setPalette(palette);
}

// Ctrl+letter shortcuts of the menu bar that a line edit would otherwise take
// for itself (select all, undo...).
bool isMenuShortcut(const QKeyEvent *key)
{
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_A:
    case Qt::Key_D:
    case Qt::Key_E:
    case Qt::Key_Z:
        return true;
    default:
        return false;
    }
}

} // namespace

Form1::Form1(Module1 &state, Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), descs(kItemTableSlots + 1), names(kItemTableSlots + 1), state_(state), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Gearledger 3.0"));
    setAccessibleName(windowTitle());
    buildControls();
    buildMenus();
    resize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight) + menuBar()->sizeHint().height());
}

Form1::~Form1()
{
    windows_.closeAll();
}

void Form1::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setMinimumSize(1, 1);
    setCentralWidget(client);

    Text2 = new QLineEdit(client);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Search text"));
    setTwips(Text2, {120, 4320, 3015, 285});
    Text2->installEventFilter(this);

    Command2 = new QPushButton(QStringLiteral("Search"), client);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(Command2->text());
    Command2->setDefault(true);
    setTwips(Command2, {2160, 4680, 975, 375});

    Command3 = new QPushButton(QStringLiteral("Show All"), client);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAccessibleName(Command3->text());
    setTwips(Command3, {120, 4680, 975, 375});

    Text1 = new QPlainTextEdit(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Description"));
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::ClickFocus);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTwips(Text1, {3360, 360, 4695, 4695});

    model_ = new ItemListModel(this);
    List1 = new QListView(client);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("Items"));
    List1->setModel(model_);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Uniform sizes let ten thousand entries appear at once.
    List1->setUniformItemSizes(true);
    List1->setLayoutMode(QListView::SinglePass);
    setTwips(List1, {120, 360, 3015, 3735});
    connect(List1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &Form1::onSelectionChanged);
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Form1::onSelectionChanged);

    Label1 = new QLabel(QStringLiteral("Items"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    // Labels are read by their caption, so the count is what a screen reader says.
    setTwips(Label1, {120, 120, 3015, 255});

    Label2 = new QLabel(QStringLiteral("Description"), client);
    Label2->setObjectName(QStringLiteral("Label2"));
    setTwips(Label2, {3240, 120, 1095, 255});

    chkItems = new QCheckBox(QStringLiteral("Items"), client);
    chkItems->setObjectName(QStringLiteral("chkItems"));
    chkItems->setAccessibleName(QStringLiteral("Search in items"));
    chkItems->setChecked(true);
    setTwips(chkItems, {1200, 4640, 855, 195});

    chkDesc = new QCheckBox(QStringLiteral("Desc.'s"), client);
    chkDesc->setObjectName(QStringLiteral("chkDesc"));
    chkDesc->setAccessibleName(QStringLiteral("Search in descriptions"));
    setTwips(chkDesc, {1200, 4860, 855, 195});

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Divider between the list and the description"));
    Image1->setCursor(Qt::SizeHorCursor);
    setTwips(Image1, {3135, 120, 225, 5040});
    Image1->lower();
    Image1->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();

    // Design colours: the window, the list and the description view take the
    // desktop's window-text colour as background and green text; the labels and
    // check boxes the button-text colour as background and highlight-text as text.
    for (QWidget *w : {static_cast<QWidget *>(Text2), static_cast<QWidget *>(Command2), static_cast<QWidget *>(Command3)})
        keepSystemColours(w);
    const QPalette system = QApplication::palette();
    const QColor green = colourOf(65280);
    for (QWidget *w : {static_cast<QWidget *>(client), static_cast<QWidget *>(List1), static_cast<QWidget *>(Text1)}) {
        setBackgroundColour(w, system.color(QPalette::WindowText));
        setTextColour(w, green);
    }
    for (QWidget *w : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2),
                       static_cast<QWidget *>(chkItems), static_cast<QWidget *>(chkDesc)}) {
        setBackgroundColour(w, system.color(QPalette::ButtonText));
        setTextColour(w, system.color(QPalette::HighlightedText));
    }

    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Text2, &QLineEdit::returnPressed, this, &Form1::Command2_Click);

    QWidget::setTabOrder(Text2, Command2);
    QWidget::setTabOrder(Command2, Command3);
    QWidget::setTabOrder(Command3, List1);
    QWidget::setTabOrder(List1, chkItems);
    QWidget::setTabOrder(chkItems, chkDesc);
    Text2->setFocus();
}

void Form1::buildMenus()
{
    const auto addEntry = [this](QMenu *menu, const char *name, const QString &caption, void (Form1::*handler)(),
                                 const QKeySequence &shortcut = QKeySequence()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto addMenu = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    const auto addSeparator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu *file = addMenu("mnuFile", QStringLiteral("&File"));
    mnuAbout = addEntry(file, "mnuAbout", QStringLiteral("About Gearledger"), &Form1::mnuAbout_Click);
    addSeparator(file, "mnuline1");
    mnuAdd = addEntry(file, "mnuAdd", QStringLiteral("&Add From File"), &Form1::mnuAdd_Click);
    mnuPref = addEntry(file, "mnuPref", QStringLiteral("&Preferences"), &Form1::mnuPref_Click);
    addSeparator(file, "mnuline");
    mnuExit = addEntry(file, "mnuExit", QStringLiteral("E&xit"), &Form1::mnuExit_Click);

    QMenu *editing = addMenu("mnudbediting", QStringLiteral("&Item Editing"));
    mnuAddItem = addEntry(editing, "mnuAddItem", QStringLiteral("&Add New Item"), &Form1::mnuAddItem_Click,
                          QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuDel = addEntry(editing, "mnuDel", QStringLiteral("&Delete Current Item"), &Form1::mnuDel_Click,
                      QKeySequence(Qt::CTRL | Qt::Key_D));
    mnuEdit = addEntry(editing, "mnuEdit", QStringLiteral("&Edit Current Item"), &Form1::mnuEdit_Click,
                       QKeySequence(Qt::CTRL | Qt::Key_E));

    QMenu *database = addMenu("mnuDatabase", QStringLiteral("&Database"));
    mnuCurrDatabase = addEntry(database, "mnuCurrDatabase", QStringLiteral("&Current Database"),
                               &Form1::mnuCurrDatabase_Click, QKeySequence(Qt::CTRL | Qt::Key_Z));
    addSeparator(database, "mnuline2");
    mnuDownload = addEntry(database, "mnuDownload", QStringLiteral("Download Database &Update"),
                           &Form1::mnuDownload_Click);
}

QSize Form1::clientTwips() const
{
    const QWidget *client = centralWidget();
    return QSize(client->width() * kTwipsPerPixel, client->height() * kTwipsPerPixel);
}

int Form1::outerWidthTwips() const
{
    return clientTwips().width() + kFrameWidth;
}

int Form1::outerHeightTwips() const
{
    return clientTwips().height() + kFrameHeight;
}

Prefs Form1::defaultColours()
{
    return palette::defaultColours();
}

void Form1::startUp()
{
    try {
        runStartUp();
    } catch (const Failure &failure) {
        if (failure.number() == ErrFileNotFound) {
            dialogs_.message(QStringLiteral(
                "Could not find the database.txt file, please be sure that the database.txt is in the same folder "
                "as the program.  A database will now be created."));
            try {
                itemdb::rewriteItems(state_.dataPath(kPrimaryDbFile), {itemdb::sampleItem()});
            } catch (const Failure &writeFailure) {
                reportFailure(writeFailure);
            }
        } else {
            reportFailure(failure);
        }
    }
}

void Form1::runStartUp()
{
    remembered.state = qint32(WindowState::Normal);
    state_.selectPrimary();

    const QString prefPath = state_.dataPath(preffile::kFileName);
    if (!QFileInfo::exists(prefPath)) {
        dialogs_.message(QStringLiteral("Could not find the Preference file: pref.txt  This file will be created."));
        preffile::writeDefaults(prefPath, defaultColours());
    }
    const QStringList lines = preffile::readLines(prefPath);
    applyBackground(preffile::colourFromLine(lines[0], 1));
    applyItemTextColour(preffile::colourFromLine(lines[1], 2));
    applyDescriptionTextColour(preffile::colourFromLine(lines[2], 3));

    // Fit the lower controls to the window's height; the first resize then moves nothing.
    if (QLayout *l = layout())
        l->activate();
    MainWindowLayout lowerControls = currentLayout();
    layoutrules::fitLowerControls(lowerControls, outerHeightTwips());
    applyLayout(lowerControls);
    layoutrules::rememberSize(remembered, outerWidthTwips(), outerHeightTwips());

    const ItemTableFill fill = listItems(state_.currentDbPath());
    fillTable(fill);
    if (fill.failure)
        throw *fill.failure;
    setCountLabel();
}

bool Form1::list_all()
{
    if (const std::optional<Failure> failure = reloadTable()) {
        reportFailure(*failure);
        return false;
    }
    return true;
}

std::optional<Failure> Form1::reloadTable()
{
    const ItemTableFill fill = listItems(state_.currentDbPath());
    fillTable(fill);
    // Also after a failure the label counts what the list shows, never an older listing.
    setCountLabel();
    return fill.failure;
}

void Form1::fillTable(const ItemTableFill &fill)
{
    std::fill(descs.begin(), descs.end(), QString());
    item_count = int(fill.descs.size());
    std::copy(fill.descs.begin(), fill.descs.end(), descs.begin() + 1);
    // The view's selection goes with the reset, but the description view keeps its text.
    model_->setEntries(fill.names, fill.records);
}

void Form1::setCountLabel()
{
    Label1->setText(QString::number(model_->rowCount()) + QStringLiteral(" items in ") + state_.current_db_name);
}

void Form1::reportFailure(const Failure &failure)
{
    dialogs_.message(failure.longMessage());
}

void Form1::applyBackground(quint32 colour)
{
    const QColor c = colourOf(colour);
    for (QWidget *w : {centralWidget(), static_cast<QWidget *>(List1), static_cast<QWidget *>(Text1),
                       static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2),
                       static_cast<QWidget *>(chkItems), static_cast<QWidget *>(chkDesc)})
        setBackgroundColour(w, c);
}

void Form1::applyItemTextColour(quint32 colour)
{
    QPalette palette = List1->palette();
    palette.setColor(QPalette::Text, colourOf(colour));
    List1->setPalette(palette);
}

void Form1::applyDescriptionTextColour(quint32 colour)
{
    QPalette palette = Text1->palette();
    palette.setColor(QPalette::Text, colourOf(colour));
    Text1->setPalette(palette);
}

int Form1::selectedIndex() const
{
    const QModelIndexList rows = List1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Form1::selectIndex(int position)
{
    const QModelIndex index = model_->index(position, 0);
    if (!index.isValid()) {
        List1->selectionModel()->clearSelection();
        return;
    }
    List1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    List1->scrollTo(index);
}

void Form1::onSelectionChanged()
{
    const int position = selectedIndex();
    if (position < 0)
        return;
    showDescription(descs.value(position + 1));
}

void Form1::showDescription(const QString &stored)
{
    // The view takes "\n" as its line break; the display form's CR LF would be doubled.
    Text1->setPlainText(bars_to_breaks(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void Form1::Command2_Click()
{
    if (!chkItems->isChecked() && !chkDesc->isChecked()) {
        dialogs_.message(QStringLiteral("You must search in at least one of the Items or Descriptions' text.  "
                                        "Please check an area to search in."));
        return;
    }
    const SearchIn where = chkItems->isChecked() && chkDesc->isChecked() ? SearchIn::Both
                           : chkItems->isChecked()                      ? SearchIn::Names
                                                                        : SearchIn::Descriptions;
    const ItemTableFill fill = searchItems(state_.currentDbPath(), Text2->text(), where);
    fillTable(fill);
    setCountLabel();
    if (fill.failure) {
        reportFailure(*fill.failure);
        return;
    }
    showDescription(descs.value(1));
}

void Form1::Command3_Click()
{
    list_all();
}

void Form1::Timer1_Timer()
{
    const int position = selectedIndex();
    if (position > -1)
        List1->setToolTip(model_->name(position));
}

void Form1::mnuAbout_Click()
{
    dialogs_.message(kAboutText);
}

void Form1::mnuAdd_Click()
{
    importFromFile(*this);
}

void Form1::mnuPref_Click()
{
    windows_.show<frmPref>([this] { return new frmPref(*this); });
}

void Form1::mnuExit_Click()
{
    windows_.closeAll();
    close();
    QApplication::quit();
}

void Form1::mnuAddItem_Click()
{
    showAddItemWindow(*this);
}

void Form1::mnuDel_Click()
{
    deleteCurrentItem(*this);
}

void Form1::mnuEdit_Click()
{
    editCurrentItem(*this);
}

void Form1::mnuCurrDatabase_Click()
{
    windows_.show<Form3>([this] { return new Form3(*this); });
}

void Form1::mnuDownload_Click()
{
    windows_.show<Form5>([this] { return new Form5(*this, defaultDownloadFolderUrl()); });
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program: the other windows go with it.
    windows_.closeAll();
    event->accept();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The divider: while a button pressed on it is down, Qt keeps sending it the
    // pointer's movements, wherever the pointer goes.
    if (watched == Image1) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            Image1_MouseDown();
            event->accept();
            return true;
        case QEvent::MouseMove:
            Image1_MouseMove(static_cast<QMouseEvent *>(event)->position().x() * kTwipsPerPixel);
            event->accept();
            return true;
        case QEvent::MouseButtonRelease:
            Image1_MouseUp();
            event->accept();
            return true;
        default:
            break;
        }
    }
    // Let the menu shortcuts through while the search box has the focus.
    if (watched == Text2 && event->type() == QEvent::ShortcutOverride && isMenuShortcut(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

WindowState Form1::layoutState() const
{
    if (isMinimized())
        return WindowState::Minimized;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return WindowState::Maximized;
    return WindowState::Normal;
}

MainWindowLayout Form1::currentLayout() const
{
    return MainWindowLayout{twipsOf(List1),  twipsOf(Text2), twipsOf(Command2), twipsOf(Command3), twipsOf(Text1),
                            twipsOf(Label2), twipsOf(chkItems), twipsOf(chkDesc), twipsOf(Image1)};
}

void Form1::applyLayout(const MainWindowLayout &layout)
{
    const std::pair<QWidget *, TwipRect> placed[] = {
        {List1, layout.List1}, {Text2, layout.Text2},       {Command2, layout.Command2},
        {Command3, layout.Command3}, {Text1, layout.Text1}, {Label2, layout.Label2},
        {chkItems, layout.chkItems}, {chkDesc, layout.chkDesc}, {Image1, layout.Image1},
    };
    for (const auto &[widget, rect] : placed) {
        if (twipsOf(widget) != rect)
            setTwips(widget, rect);
    }
}

void Form1::Form_Resize()
{
    // The client area follows the window only once the window's layout has run.
    if (QLayout *l = layout())
        l->activate();
    MainWindowLayout layout = currentLayout();
    if (layoutrules::resize(layout, remembered, layoutState(), outerWidthTwips(), outerHeightTwips())
        == layoutrules::ResizeOutcome::LaidOut)
        applyLayout(layout);
}

void Form1::Image1_MouseDown()
{
    dividerDrag = true;
}

void Form1::Image1_MouseMove(double xTwips)
{
    if (!dividerDrag)
        return;
    // Whole twips: finer than a pixel, and free of the noise of fractional positions.
    const double p = twipsOf(Image1).left + std::round(xTwips);
    MainWindowLayout layout = currentLayout();
    if (layoutrules::dragDivider(layout, outerWidthTwips(), p))
        applyLayout(layout);
}

void Form1::Image1_MouseUp()
{
    dividerDrag = false;
    MainWindowLayout layout = currentLayout();
    layoutrules::releaseDivider(layout);
    applyLayout(layout);
}
