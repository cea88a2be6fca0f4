#include "main_window/main_window.h"

#include "base/dialogs.h"
#include "base/version.h"
#include "editing/description_encoding.h"
#include "editing/identify_text.h"
#include "main_window/import_command.h"
#include "program/program.h"
#include "widgets/long_list_view.h"
#include "widgets/packed_colour.h"
#include "widgets/twips.h"
#include "windows/add_item_window.h"
#include "widgets/busy_cursor.h"
#include "windows/current_database_window.h"
#include "windows/download_window.h"
#include "windows/edit_item_window.h"
#include "windows/compare_window.h"
#include "windows/fields_window.h"
#include "windows/find_items_window.h"
#include "windows/harvest_window.h"
#include "windows/merge_target_window.h"
#include "windows/preferences_window.h"
#include "windows/versions_window.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
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
#include <QScrollBar>
#include <QTimer>

#include <cmath>

namespace main_window {

namespace {

// The client area of the window as designed.
constexpr int kClientWidth = 8175;
constexpr int kClientHeight = 5175;
constexpr int kFrameWidth = 120;
constexpr int kFrameHeight = 690;

// The chosen background fills a control's own area: for the list and the
// description view also the base their text is drawn on. A check box keeps the
// desktop's base, so its box shows its state whatever the background.
void setBackgroundColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(widget->backgroundRole(), colour);
    if (qobject_cast<QAbstractScrollArea *>(widget))
        palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The text of the list and the description view, or the caption of a label or
// a check box (whose check mark keeps the desktop's colour).
void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(qobject_cast<QAbstractScrollArea *>(widget) ? QPalette::Text : QPalette::WindowText, colour);
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

// Shortcuts of the menu bar that a line edit would otherwise take for itself
// (select all, undo...).
bool isMenuShortcut(const QKeyEvent *key)
{
    if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier)
        return key->key() == Qt::Key_Backspace;
    if ((key->modifiers() & ~Qt::KeypadModifier) == (Qt::ControlModifier | Qt::ShiftModifier))
        return key->key() == Qt::Key_C || key->key() == Qt::Key_V;
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

MainWindow::MainWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), program_(program), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Gearledger ") + base::kProgramVersion);
    setAccessibleName(windowTitle());
    buildControls();
    buildMenus();
    resize(widgets::twipsToPixels(kClientWidth),
           widgets::twipsToPixels(kClientHeight) + menuBar()->sizeHint().height());
    widgets::fitCaptions(this);

    connect(&program_, &program::Program::listingChanged, this, &MainWindow::showCount);
    connect(&program_, &program::Program::searchEnded, this, &MainWindow::onSearchEnded);
    connect(&program_, &program::Program::descriptionShown, this, &MainWindow::showDescription);
    connect(&program_, &program::Program::coloursChanged, this, &MainWindow::applyColours);
    connect(&program_, &program::Program::historyChanged, this, &MainWindow::showUndoEntry);
    // A change lists the database from what it wrote; a failure of that listing is told here.
    connect(&program_, &program::Program::listingFailed, this, &MainWindow::reportListingFailure);
    connect(&program_, &program::Program::currentDatabaseChanged, this, &MainWindow::showUndoEntry);
    connect(&program_, &program::Program::itemChosen, this, &MainWindow::chooseRow);
}

MainWindow::~MainWindow()
{
    windows_.closeAll();
}

void MainWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setMinimumSize(1, 1);
    setCentralWidget(client);

    searchBox_ = widgets::placed(new QLineEdit(client), "Text2", {120, 4320, 3015, 285}, QStringLiteral("Search text"));
    searchBox_->installEventFilter(this);
    searchButton_ = widgets::placed(new QPushButton(QStringLiteral("Search"), client), "Command2",
                                    {2160, 4680, 975, 375}, QStringLiteral("Search"));
    searchButton_->setDefault(true);
    showAllButton_ = widgets::placed(new QPushButton(QStringLiteral("Show All"), client), "Command3",
                                     {120, 4680, 975, 375}, QStringLiteral("Show All"));

    descriptionView_ =
        widgets::placed(new QPlainTextEdit(client), "Text1", {3360, 360, 4695, 4695}, QStringLiteral("Description"));
    descriptionView_->setReadOnly(true);
    // The view only shows: no undo history to keep for each description shown.
    descriptionView_->setUndoRedoEnabled(false);
    descriptionView_->setFocusPolicy(Qt::ClickFocus);
    descriptionView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    descriptionView_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    descriptionView_->setTabChangesFocus(true);

    itemList_ = widgets::placed(new widgets::LongListView(client), "List1", {120, 360, 3015, 3735},
                                QStringLiteral("Items"));
    itemList_->setModel(program_.itemTable());
    itemList_->setSelectionMode(QAbstractItemView::SingleSelection);
    itemList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(itemList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::onSelectionChanged);

    // Labels are read by their caption, so the count is what a screen reader says.
    countLabel_ = widgets::placed(new QLabel(QStringLiteral("Items"), client), "Label1", {120, 120, 3015, 255});
    descriptionHeading_ =
        widgets::placed(new QLabel(QStringLiteral("Description"), client), "Label2", {3240, 120, 1095, 255});

    inNamesBox_ = widgets::placed(new QCheckBox(QStringLiteral("Items"), client), "chkItems", {1200, 4640, 855, 195},
                                  QStringLiteral("Search in items"));
    inNamesBox_->setChecked(true);
    inDescriptionsBox_ = widgets::placed(new QCheckBox(QStringLiteral("Desc.'s"), client), "chkDesc",
                                         {1200, 4860, 855, 195}, QStringLiteral("Search in descriptions"));

    divider_ = widgets::placed(new QLabel(client), "Image1", {3135, 120, 225, 5040},
                               QStringLiteral("Divider between the list and the description"));
    divider_->setCursor(Qt::SizeHorCursor);
    divider_->lower();
    divider_->installEventFilter(this);

    tooltipTimer_ = new QTimer(this);
    tooltipTimer_->setObjectName(QStringLiteral("Timer1"));
    tooltipTimer_->setInterval(500);
    connect(tooltipTimer_, &QTimer::timeout, this, &MainWindow::onTooltipTimer);
    tooltipTimer_->start();

    keepDesignColours();

    connect(searchButton_, &QPushButton::clicked, this, &MainWindow::onSearchClicked);
    connect(showAllButton_, &QPushButton::clicked, this, &MainWindow::onShowAllClicked);
    connect(searchBox_, &QLineEdit::returnPressed, this, &MainWindow::onSearchClicked);

    QWidget::setTabOrder(searchBox_, searchButton_);
    QWidget::setTabOrder(searchButton_, showAllButton_);
    QWidget::setTabOrder(showAllButton_, itemList_);
    QWidget::setTabOrder(itemList_, inNamesBox_);
    QWidget::setTabOrder(inNamesBox_, inDescriptionsBox_);
    searchBox_->setFocus();

    // The description view is no tab stop, as designed; F6 reaches it from
    // anywhere, so a long description can be read, scrolled and copied by
    // keyboard, and F6 there goes back to the list.
    auto *switchPane = new QAction(QStringLiteral("Switch between the item list and the description"), this);
    switchPane->setObjectName(QStringLiteral("switchPane"));
    switchPane->setShortcut(QKeySequence(Qt::Key_F6));
    switchPane->setShortcutContext(Qt::WindowShortcut);
    connect(switchPane, &QAction::triggered, this, &MainWindow::onSwitchPane);
    addAction(switchPane);
}

void MainWindow::onSwitchPane()
{
    if (descriptionView_->hasFocus())
        itemList_->setFocus(Qt::ShortcutFocusReason);
    else
        descriptionView_->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::keepDesignColours()
{
    // The window, the list and the description view take the desktop's
    // window-text colour as background and green text; the labels and check
    // boxes the button-text colour as background and highlight-text as text.
    // The scroll bars of the list and the view keep the desktop's colours, as
    // the search box and the buttons do: in the chosen ones their arrows could
    // vanish (green on a light groove).
    QWidgetList desktopColoured{searchBox_, searchButton_, showAllButton_};
    for (QAbstractScrollArea *area : QList<QAbstractScrollArea *>{itemList_, descriptionView_})
        desktopColoured << area->verticalScrollBar() << area->horizontalScrollBar();
    for (QWidget *w : desktopColoured)
        keepSystemColours(w);
    const QPalette system = QApplication::palette();
    const QColor green = widgets::packedColour(65280);
    for (QWidget *w : QWidgetList{centralWidget(), itemList_, descriptionView_}) {
        setBackgroundColour(w, system.color(QPalette::WindowText));
        setTextColour(w, green);
    }
    for (QWidget *w : QWidgetList{countLabel_, descriptionHeading_, inNamesBox_, inDescriptionsBox_}) {
        setBackgroundColour(w, system.color(QPalette::ButtonText));
        setTextColour(w, system.color(QPalette::HighlightedText));
    }
}

void MainWindow::buildMenus()
{
    const auto addEntry = [this](QMenu *menu, const char *name, const QString &caption, void (MainWindow::*handler)(),
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
    addEntry(file, "mnuAbout", QStringLiteral("About Gearledger"), &MainWindow::onAbout);
    addSeparator(file, "mnuline1");
    addEntry(file, "mnuAdd", QStringLiteral("&Add From File"), &MainWindow::onImport);
    addEntry(file, "importGameLogEntry", QStringLiteral("Import &Game Log..."), &MainWindow::onImportLog);
    addEntry(file, "mnuPref", QStringLiteral("&Preferences"), &MainWindow::onPreferences);
    addSeparator(file, "mnuline");
    addEntry(file, "mnuExit", QStringLiteral("E&xit"), &MainWindow::onExit);

    QMenu *editing = addMenu("mnudbediting", QStringLiteral("&Item Editing"));
    addEntry(editing, "mnuAddItem", QStringLiteral("&Add New Item"), &MainWindow::onAddItem,
             QKeySequence(Qt::CTRL | Qt::Key_A));
    addEntry(editing, "mnuDel", QStringLiteral("&Delete Current Item"), &MainWindow::onDeleteItem,
             QKeySequence(Qt::CTRL | Qt::Key_D));
    addEntry(editing, "mnuEdit", QStringLiteral("&Edit Current Item"), &MainWindow::onEditItem,
             QKeySequence(Qt::CTRL | Qt::Key_E));
    addEntry(editing, "pasteAsNewItemEntry", QStringLiteral("&Paste As New Item"), &MainWindow::onPasteItem,
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    addEntry(editing, "copyItemEntry", QStringLiteral("&Copy Item"), &MainWindow::onCopyItem,
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    // Every change can be taken back; Alt+Backspace is the common undo key the Ctrl shortcuts leave free.
    undoEntry_ =
        addEntry(editing, "undoEntry", QString(), &MainWindow::onUndo, QKeySequence(Qt::ALT | Qt::Key_Backspace));

    QMenu *database = addMenu("mnuDatabase", QStringLiteral("&Database"));
    addEntry(database, "mnuCurrDatabase", QStringLiteral("&Current Database"), &MainWindow::onCurrentDatabase,
             QKeySequence(Qt::CTRL | Qt::Key_Z));
    addSeparator(database, "mnuline2");
    addEntry(database, "mnuDownload", QStringLiteral("Download Database &Update"), &MainWindow::onDownload);
    addEntry(database, "earlierVersionsEntry", QStringLiteral("&Earlier Versions..."), &MainWindow::onVersions);
    addEntry(database, "findItemsEntry", QStringLiteral("&Find Items..."), &MainWindow::onFindItems,
             QKeySequence(Qt::CTRL | Qt::Key_F));
    showUndoEntry();
}

void MainWindow::showUndoEntry()
{
    const std::optional<QString> change = program_.undoableChange();
    undoEntry_->setEnabled(change.has_value());
    // An item's "&" is no access key.
    undoEntry_->setText(change ? QStringLiteral("&Undo ") + QString(*change).replace(QLatin1Char('&'), QStringLiteral("&&"))
                               : QStringLiteral("&Undo Last Change"));
}

void MainWindow::onUndo()
{
    dialogs_.report(widgets::whileBusy([this] { return program_.undoLastChange(); }));
}

void MainWindow::onVersions()
{
    windows_.show<windows::VersionsWindow>([this] { return new windows::VersionsWindow(program_, dialogs_, this); });
}

void MainWindow::onFindItems()
{
    windows_.show<windows::FindItemsWindow>([this] {
        auto *window = new windows::FindItemsWindow(program_, dialogs_, this);
        connect(window, &windows::FindItemsWindow::fieldsWanted, this, &MainWindow::onFields);
        connect(window, &windows::FindItemsWindow::compareWanted, this, [this](const QVector<query::ComparedItem> &items) {
            if (auto *open = windows_.find<windows::CompareWindow>())
                delete open; // a new comparison replaces the one shown
            windows_.show<windows::CompareWindow>([this, items] { return new windows::CompareWindow(items, this); });
        });
        connect(window, &windows::FindItemsWindow::itemShown, this, [this] {
            activateWindow();
            itemList_->setFocus();
        });
        connect(window, &windows::FindItemsWindow::selectedItemChanged, this, [this, window] {
            if (auto *fields = windows_.find<windows::FieldsWindow>())
                fields->showItem(window->selectedItem());
        });
        return window;
    });
}

void MainWindow::onFields()
{
    auto *find = windows_.find<windows::FindItemsWindow>();
    auto *fields = windows_.show<windows::FieldsWindow>([this, find] {
        return new windows::FieldsWindow(program_, dialogs_, find && find->allDatabases(), this);
    });
    if (find)
        fields->showItem(find->selectedItem());
}

void MainWindow::chooseRow(int row)
{
    itemList_->setCurrentIndex(itemList_->model()->index(row, 0));
    itemList_->scrollTo(itemList_->currentIndex());
}

void MainWindow::startUp()
{
    dialogs_.report(program_.startUp(dialogs_, [this] { fitLowerControls(); }));
}

void MainWindow::reportListingFailure(const QString &message)
{
    dialogs_.message(message);
}

void MainWindow::showCount()
{
    countLabel_->setText(program_.countText());
}

void MainWindow::showDescription(const QString &stored)
{
    // The view takes "\n" as its line break; the display form's CR LF would be
    // doubled. A line too long to lay out at once is shown broken.
    descriptionView_->setPlainText(
        editing::shownForm(storage::barsToBreaks(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))));
}

void MainWindow::applyColours()
{
    const program::ColourSet &colours = program_.colours();
    if (colours.background) {
        for (QWidget *w : QWidgetList{centralWidget(), itemList_, descriptionView_, countLabel_, descriptionHeading_,
                                      inNamesBox_, inDescriptionsBox_})
            setBackgroundColour(w, widgets::packedColour(*colours.background));
    }
    if (colours.itemText)
        setTextColour(itemList_, widgets::packedColour(*colours.itemText));
    if (colours.descriptionText)
        setTextColour(descriptionView_, widgets::packedColour(*colours.descriptionText));
}

int MainWindow::selectedRow() const
{
    const QModelIndexList rows = itemList_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void MainWindow::clearSelection()
{
    itemList_->selectionModel()->clearSelection();
}

void MainWindow::onSelectionChanged()
{
    const int row = selectedRow();
    if (row >= 0)
        showDescription(program_.items().description(row));
}

void MainWindow::onSearchClicked()
{
    const base::Outcome started = widgets::whileBusy([this] {
        return program_.startSearch(searchBox_->text(), inNamesBox_->isChecked(), inDescriptionsBox_->isChecked());
    });
    if (program_.searchRunning())
        searchBusy_.emplace();
    dialogs_.report(started);
}

void MainWindow::onSearchEnded(const base::Outcome &outcome)
{
    searchBusy_.reset();
    dialogs_.report(outcome);
}

void MainWindow::onShowAllClicked()
{
    dialogs_.report(widgets::whileBusy([this] { return program_.listAll(); }));
}

void MainWindow::onTooltipTimer()
{
    const int row = selectedRow();
    if (row > -1)
        itemList_->setToolTip(program_.items().name(row));
}

void MainWindow::onAbout()
{
    dialogs_.message(QStringLiteral("Gearledger ") + base::kProgramVersion
                     + QStringLiteral(" by the Gearledger developers.  View the web site at https://gearledger.org"
                                      " for recent database updates and versions.  Your databases are kept in ")
                     + QDir::toNativeSeparators(program_.folder().path()) + QStringLiteral("."));
}

void MainWindow::onImport()
{
    main_window::runImport(program_, dialogs_);
}

void MainWindow::onImportLog()
{
    program::Program::GameLogChoices choices = program_.gameLogChoices();
    const QString path = dialogs_.chooseFileToOpen(QStringLiteral("Import Game Log"), choices.folder,
                                                   QStringLiteral("Logs (*.txt *.log);;All files (*)"));
    if (path.isEmpty())
        return;
    choices.folder = QFileInfo(path).absolutePath();
    program_.rememberGameLogChoices(choices);
    windows_.show<windows::HarvestWindow>([this] { return new windows::HarvestWindow(program_, dialogs_, this); })
        ->read(path);
}

void MainWindow::onPreferences()
{
    windows_.show<windows::PreferencesWindow>(
        [this] { return new windows::PreferencesWindow(program_, dialogs_, this); });
}

void MainWindow::onExit()
{
    windows_.closeAll();
    close();
    QApplication::quit();
}

void MainWindow::onAddItem()
{
    windows_.show<windows::AddItemWindow>([this] { return new windows::AddItemWindow(program_, dialogs_, this); });
}

void MainWindow::onDeleteItem()
{
    if (!dialogs_.report(widgets::whileBusy([this] { return program_.deleteListedItem(selectedRow()); })))
        return;
    // The list would move its selection on to the next entry; drop it, so that
    // another Delete does not take an item the user never chose.
    clearSelection();
}

void MainWindow::onEditItem()
{
    const std::optional<program::ListedItem> listed = program_.listedItem(selectedRow());
    if (!listed) {
        dialogs_.message(program::kNoItemSelected);
        return;
    }
    windows_.show<windows::EditItemWindow>([this] { return new windows::EditItemWindow(program_, dialogs_, this); })
        ->edit(*listed);
}

void MainWindow::onPasteItem()
{
    QString refusal;
    const std::optional<storage::Item> item = editing::pastedItem(QGuiApplication::clipboard()->mimeData(), &refusal);
    if (!item) {
        dialogs_.message(refusal);
        return;
    }
    windows_.show<windows::AddItemWindow>([this] { return new windows::AddItemWindow(program_, dialogs_, this); })
        ->fill(*item);
}

void MainWindow::onCopyItem()
{
    const std::optional<program::ListedItem> listed = program_.listedItem(selectedRow());
    if (!listed) {
        dialogs_.message(program::kNoItemSelected);
        return;
    }
    QGuiApplication::clipboard()->setMimeData(editing::itemAsMimeData(listed->item));
}

void MainWindow::onCurrentDatabase()
{
    windows_.show<windows::CurrentDatabaseWindow>(
        [this] { return new windows::CurrentDatabaseWindow(program_, dialogs_, this); });
}

void MainWindow::onDownload()
{
    windows_.show<windows::DownloadWindow>([this] {
        auto *window = new windows::DownloadWindow(program_, dialogs_, this);
        connect(window, &windows::DownloadWindow::downloaded, this, &MainWindow::onDownloaded);
        return window;
    });
}

void MainWindow::onDownloaded()
{
    const bool opening = windows_.find<windows::MergeTargetWindow>() == nullptr;
    windows::MergeTargetWindow *target = windows_.show<windows::MergeTargetWindow>([this] {
        auto *window = new windows::MergeTargetWindow(program_, dialogs_, this);
        connect(window, &windows::MergeTargetWindow::downloadHandled, this, &MainWindow::closeDownloadWindow);
        return window;
    });
    if (opening)
        target->load();
}

void MainWindow::closeDownloadWindow()
{
    if (windows::DownloadWindow *download = windows_.find<windows::DownloadWindow>())
        download->close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program: the other windows go with it.
    windows_.closeAll();
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The divider: while a button pressed on it is down, Qt keeps sending it the
    // pointer's movements, wherever the pointer goes.
    if (watched == divider_) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            onDividerPressed();
            return true;
        case QEvent::MouseMove:
            onDividerMoved(static_cast<QMouseEvent *>(event)->position().x() * widgets::kTwipsPerPixel);
            return true;
        case QEvent::MouseButtonRelease:
            onDividerReleased();
            return true;
        default:
            break;
        }
    }
    // Let the menu shortcuts through while the search box has the focus.
    if (watched == searchBox_ && event->type() == QEvent::ShortcutOverride
        && isMenuShortcut(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

int MainWindow::outerWidthTwips() const
{
    return centralWidget()->width() * widgets::kTwipsPerPixel + kFrameWidth;
}

int MainWindow::outerHeightTwips() const
{
    return centralWidget()->height() * widgets::kTwipsPerPixel + kFrameHeight;
}

WindowState MainWindow::layoutState() const
{
    if (isMinimized())
        return WindowState::Minimized;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return WindowState::Maximized;
    return WindowState::Normal;
}

MainWindowLayout MainWindow::currentLayout() const
{
    return MainWindowLayout{
        widgets::twipsOf(itemList_),      widgets::twipsOf(searchBox_),         widgets::twipsOf(searchButton_),
        widgets::twipsOf(showAllButton_), widgets::twipsOf(descriptionView_),   widgets::twipsOf(descriptionHeading_),
        widgets::twipsOf(inNamesBox_),    widgets::twipsOf(inDescriptionsBox_), widgets::twipsOf(divider_)};
}

void MainWindow::applyLayout(const MainWindowLayout &layout)
{
    const std::pair<QWidget *, widgets::TwipRect> placedAt[] = {
        {itemList_, layout.list},
        {searchBox_, layout.searchBox},
        {searchButton_, layout.searchButton},
        {showAllButton_, layout.showAllButton},
        {descriptionView_, layout.descriptionView},
        {descriptionHeading_, layout.descriptionHeading},
        {inNamesBox_, layout.inNamesBox},
        {inDescriptionsBox_, layout.inDescriptionsBox},
        {divider_, layout.divider},
    };
    for (const auto &[widget, rect] : placedAt) {
        if (widgets::twipsOf(widget) != rect)
            widgets::setTwips(widget, rect);
    }
}

void MainWindow::fitLowerControls()
{
    // The first resize notification then finds the size remembered and moves nothing.
    remembered_.state = qint32(WindowState::Normal);
    if (QLayout *l = layout())
        l->activate();
    MainWindowLayout lowerControls = currentLayout();
    fitLowerControlsToHeight(lowerControls, outerHeightTwips());
    applyLayout(lowerControls);
    rememberOuterSize(remembered_, outerWidthTwips(), outerHeightTwips());
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    relayout();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        relayout();
}

void MainWindow::relayout()
{
    // The client area follows the window only once the window's layout has run.
    if (QLayout *l = layout())
        l->activate();
    MainWindowLayout layout = currentLayout();
    if (layOutResizedWindow(layout, remembered_, layoutState(), outerWidthTwips(), outerHeightTwips())
        == ResizeOutcome::LaidOut)
        applyLayout(layout);
}

void MainWindow::onDividerPressed()
{
    draggingDivider_ = true;
}

void MainWindow::onDividerMoved(double xTwips)
{
    if (!draggingDivider_)
        return;
    // Whole twips: finer than a pixel, and free of the noise of fractional positions.
    const double p = widgets::twipsOf(divider_).left + std::round(xTwips);
    MainWindowLayout layout = currentLayout();
    if (moveDividerTo(layout, outerWidthTwips(), p))
        applyLayout(layout);
}

void MainWindow::onDividerReleased()
{
    draggingDivider_ = false;
    MainWindowLayout layout = currentLayout();
    putDividerAtListEdge(layout);
    applyLayout(layout);
}

} // namespace main_window
