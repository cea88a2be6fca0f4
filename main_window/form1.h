#pragma once

#include "app/failure.h"
#include "app/pref_file.h"
#include "app/window_registry.h"
#include "main_window/layout_rules.h"

#include <QMainWindow>
#include <QVector>

#include <optional>

class Dialogs;
class Failure;
class ItemListModel;
class Module1;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
struct ItemTableFill;

// The main window: the item list of the current database, the description of
// the selected item, the search, and the menu bar that opens everything else.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    Form1(Module1 &state, Dialogs &dialogs, QWidget *parent = nullptr);
    ~Form1() override;

    // Runs once before the window is first shown: makes sure pref.txt exists,
    // applies the colours, lays out the lower controls and lists the primary
    // database. Failures are reported here; the window is shown afterwards anyway.
    void startUp();

    // Reloads the item table from the current database file. A failure is
    // reported in a message box; the list keeps what was read. Returns false then.
    bool list_all();
    // Reloads like list_all but hands a failure to the caller instead of
    // reporting it (the import reports failures in its own words).
    std::optional<Failure> reloadTable();

    // Applies colours as start-up and the preferences window do.
    void applyBackground(quint32 colour);
    void applyItemTextColour(quint32 colour);
    void applyDescriptionTextColour(quint32 colour);

    // Reports a failure outside start-up in the long "Unanticipated error #" form.
    void reportFailure(const Failure &failure);

    // Handlers of the buttons, the timer and the menu entries.
    void Command2_Click(); // Search
    void Command3_Click(); // Show All
    void Timer1_Timer();

    // The layout: run on every change of the window's size or state.
    void Form_Resize();
    // The divider Image1: a button pressed on it starts a drag, moving the
    // pointer (xTwips from the divider's left edge) moves the boundary between
    // the list and the description view, releasing the button ends the drag.
    void Image1_MouseDown();
    void Image1_MouseMove(double xTwips);
    void Image1_MouseUp();
    // The window's state as the layout numbers it.
    WindowState layoutState() const;
    // The twips geometry of the controls that the layout moves.
    MainWindowLayout currentLayout() const;
    void mnuAbout_Click();
    void mnuAdd_Click();
    void mnuPref_Click();
    void mnuExit_Click();
    void mnuAddItem_Click();
    void mnuDel_Click();
    void mnuEdit_Click();
    void mnuCurrDatabase_Click();
    void mnuDownload_Click();

    // The position of the selected list entry, -1 when none is selected.
    int selectedIndex() const;
    void selectIndex(int position);

    Module1 &state() { return state_; }
    Dialogs &dialogs() { return dialogs_; }
    WindowRegistry &windows() { return windows_; }
    ItemListModel *listModel() const { return model_; }

    // The item table: the description of list entry p is descs[p + 1].
    QVector<QString> descs;
    int item_count = 0;
    // Working storage of the delete and the import.
    QVector<QString> names;

    // The remembered layout of the window (state, outer size in twips) and the
    // divider-drag flag.
    RememberedLayout remembered;
    bool dividerDrag = false;

    // Controls, named as the window's design names them.
    QLineEdit *Text2 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QListView *List1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QCheckBox *chkItems = nullptr;
    QCheckBox *chkDesc = nullptr;
    QLabel *Image1 = nullptr;
    QTimer *Timer1 = nullptr;

    QAction *mnuAbout = nullptr;
    QAction *mnuAdd = nullptr;
    QAction *mnuPref = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuAddItem = nullptr;
    QAction *mnuDel = nullptr;
    QAction *mnuEdit = nullptr;
    QAction *mnuCurrDatabase = nullptr;
    QAction *mnuDownload = nullptr;

    // The client area's size in twips (the window's inside, under the menu bar).
    QSize clientTwips() const;
    // The outer size in twips as the layout rules see it: the client area plus
    // the frame, title bar and menu bar of the design (120 and 690 twips).
    int outerWidthTwips() const;
    int outerHeightTwips() const;

    // The colours start-up writes to a new pref.txt.
    static Prefs defaultColours();

    // Shows a description in the description view.
    void showDescription(const QString &stored);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void runStartUp();
    void fillTable(const ItemTableFill &fill);
    void setCountLabel();
    void onSelectionChanged();
    void applyLayout(const MainWindowLayout &layout);

    Module1 &state_;
    Dialogs &dialogs_;
    WindowRegistry windows_;
    ItemListModel *model_ = nullptr;
};
