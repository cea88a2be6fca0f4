#pragma once

#include "base/dialogs.h"
#include "program/found_items.h"
#include "program/program.h"
#include "query/compare.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableView;

namespace windows {

class FoundItemsModel;
class ScoreSetsModel;

// The Find Items window: items of the current database (or of every
// catalogued one) found by a query over their fields, as the query is typed.
// A mistake in the query or the score shows under its box while the table
// keeps the last good result. The table shows Name, Database, the fields the
// query uses, then level, type and slot, and the columns the player added
// (from the header's menu or "Columns..."), remembered by the program; it
// sorts by any column. "Best per Slot" shows the best 3 of each slot by
// score under a heading row per slot. Enter or a double click shows the item
// in the main window; "Compare" (Ctrl+M) asks for 2 to 4 selected rows.
// "Export..." writes the rows shown, with their columns and whole
// descriptions, to a CSV or JSON file the player names. The Score box's list
// holds the program's weight sets: picking one puts its expression in the
// box; "Save Set..." keeps the score under a name, "Remove Set" takes the
// picked set out.
class FindItemsWindow : public QWidget
{
    Q_OBJECT
public:
    FindItemsWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);
    ~FindItemsWindow() override;

    // The item of the current row, when it is an item.
    std::optional<query::ComparedItem> selectedItem() const;
    // Whether the scope is every catalogued database.
    bool allDatabases() const;

signals:
    // "Fields..." was pressed.
    void fieldsWanted();
    // "Compare" with 2 to 4 items selected.
    void compareWanted(const QVector<query::ComparedItem> &items);
    // A found item is now the current item of the main window.
    void itemShown();
    // The current row changed.
    void selectedItemChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void find();
    void showFound(program::FoundItems found);
    void showCount(const QString &line);
    void showSelectedFields();
    void showColumnMenu(const QPoint &at);
    void onActivated(int row);
    void onCompare();
    void onExport();
    // The weight set picked from the Score list; empty when none is.
    QString pickedScoreSet() const;
    // Fills the Score list from the program's sets, the set of that name
    // picked, keeping the score typed.
    void showScoreSets(const QString &picked);
    void onSaveScoreSet();
    void onRemoveScoreSet();
    void readFields();

    program::Program &program_;
    base::Dialogs &dialogs_;
    program::ColumnChoice columns_;
    FoundItemsModel *model_ = nullptr;
    QLineEdit *queryBox_ = nullptr;
    QLabel *queryMistake_ = nullptr;
    QComboBox *scoreBox_ = nullptr;
    ScoreSetsModel *scoreSets_ = nullptr;
    QPushButton *saveSetButton_ = nullptr;
    QPushButton *removeSetButton_ = nullptr;
    QLabel *scoreMistake_ = nullptr;
    QCheckBox *allDatabasesBox_ = nullptr;
    QCheckBox *bestPerSlotBox_ = nullptr;
    QTableView *table_ = nullptr;
    QLabel *countLabel_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QListWidget *itemFields_ = nullptr;
    QPushButton *columnsButton_ = nullptr;
};

} // namespace windows
