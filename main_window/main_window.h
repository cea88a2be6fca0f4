#pragma once

#include "base/dialogs.h"
#include "main_window/layout_rules.h"
#include "program/program.h"
#include "widgets/busy_cursor.h"
#include "widgets/window_registry.h"

#include <QMainWindow>

#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace main_window {

// The main window: the item list of the current database, the description of
// the selected item, the search, and the menu bar that opens everything else.
// It shows what the program object announces, and it is the only window that
// knows the others: it opens them and connects what passes between them.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Runs once before the window is first shown: loads the colours, fits the
    // lower controls to the window's height and lists the primary database.
    // Failures are reported; the window is shown afterwards anyway.
    void startUp();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    // Starts the search; the hits are listed when it ends (at once for a small database).
    void onSearchClicked();
    void onSearchEnded(const base::Outcome &outcome);
    void onShowAllClicked();
    void onSelectionChanged();
    void onTooltipTimer();
    void onSwitchPane();
    void onAbout();
    void onImport();
    void onImportLog();
    void onPreferences();
    void onExit();
    void onAddItem();
    void onDeleteItem();
    void onEditItem();
    void onPasteItem();
    void onCopyItem();
    void onCurrentDatabase();
    void onDownload();
    void onUndo();
    void onVersions();
    void onFindItems();
    void onFields();
    // Selects the listed entry at a row (a found item shown here).
    void chooseRow(int row);
    void showUndoEntry();
    void onDownloaded();
    void closeDownloadWindow();

    void showCount();
    void reportListingFailure(const QString &message);
    void showDescription(const QString &stored);
    void applyColours();

private:
    void buildControls();
    void buildMenus();
    void keepDesignColours();
    int selectedRow() const;
    void clearSelection();

    // The layout rules see the outer size in twips: the client area plus the
    // frame, title bar and menu bar of the design (120 and 690 twips).
    int outerWidthTwips() const;
    int outerHeightTwips() const;
    WindowState layoutState() const;
    MainWindowLayout currentLayout() const;
    void applyLayout(const MainWindowLayout &layout);
    void fitLowerControls();
    void relayout();
    void onDividerPressed();
    void onDividerMoved(double xTwips);
    void onDividerReleased();

    program::Program &program_;
    base::Dialogs &dialogs_;
    widgets::WindowRegistry windows_;

    RememberedLayout remembered_;
    bool draggingDivider_ = false;

    QLineEdit *searchBox_ = nullptr;          // Text2
    QPushButton *searchButton_ = nullptr;     // Command2
    QPushButton *showAllButton_ = nullptr;    // Command3
    QPlainTextEdit *descriptionView_ = nullptr; // Text1
    QListView *itemList_ = nullptr;           // List1
    QLabel *countLabel_ = nullptr;            // Label1
    QLabel *descriptionHeading_ = nullptr;    // Label2
    QCheckBox *inNamesBox_ = nullptr;         // chkItems
    QCheckBox *inDescriptionsBox_ = nullptr;  // chkDesc
    QLabel *divider_ = nullptr;               // Image1
    QTimer *tooltipTimer_ = nullptr;          // Timer1
    QAction *undoEntry_ = nullptr;
    // Shown while a search runs in the background.
    std::optional<widgets::BusyCursor> searchBusy_;
};

} // namespace main_window
