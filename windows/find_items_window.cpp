#include "windows/find_items_window.h"

#include "query/export.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace windows {
namespace {

QString titleOf(const QString &column)
{
    if (column == program::kNameColumn || column == program::kDatabaseColumn || column == program::kScoreColumn)
        return column.left(1).toUpper() + column.mid(1);
    return column;
}

QLabel *captionFor(const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

} // namespace

// The weight sets of the score box's list, each shown as "name: expression";
// picking one puts its expression in the box (the box's edit text).
class ScoreSetsModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    void setSets(QVector<query::ScoreSet> sets)
    {
        beginResetModel();
        sets_ = std::move(sets);
        endResetModel();
    }

    // The name of the set at a row; empty for no row.
    QString nameAt(int row) const { return row >= 0 && row < sets_.size() ? sets_[row].name : QString(); }

    // The row of the set of that name (names ignore case), or -1.
    int rowOf(const QString &name) const
    {
        for (int row = 0; row < sets_.size(); ++row) {
            if (sets_[row].name.compare(name, Qt::CaseInsensitive) == 0)
                return row;
        }
        return -1;
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(sets_.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= sets_.size())
            return {};
        const query::ScoreSet &set = sets_[index.row()];
        if (role == Qt::EditRole)
            return set.expression;
        if (role == Qt::DisplayRole)
            return set.name + QStringLiteral(": ") + set.expression;
        return {};
    }

private:
    QVector<query::ScoreSet> sets_;
};

// The rows of the results table: the hits in the chosen order, or with Best
// per Slot a heading row for each slot followed by its best items.
class FoundItemsModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    const program::FoundItems &found() const { return found_; }
    const QStringList &columns() const { return columns_; }

    void setFound(program::FoundItems found, const QStringList &columns)
    {
        beginResetModel();
        found_ = std::move(found);
        columns_ = columns;
        arrange();
        endResetModel();
    }

    // The hit shown at a row (an index into found().hits), or -1 for a heading.
    int hitAt(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].hit : -1; }
    bool isHeading(int row) const { return row >= 0 && row < rows_.size() && rows_[row].hit < 0; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(columns_.size()); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const Row &row = rows_[index.row()];
        if (row.hit < 0)
            return headingData(found_.groups[row.group], index.column(), role);
        const query::Hit &hit = found_.hits[row.hit];
        if (role == Qt::DisplayRole)
            return found_.cell(hit, columns_[index.column()], row.hit);
        if (role == Qt::AccessibleDescriptionRole)
            return query::rowDescription(found_.item(hit), shownFields());
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < columns_.size())
            return titleOf(columns_[section]);
        return {};
    }

    void sort(int column, Qt::SortOrder order) override
    {
        sortColumn_ = column >= 0 && column < columns_.size() ? columns_[column] : QString();
        descending_ = order == Qt::DescendingOrder;
        beginResetModel();
        arrange();
        endResetModel();
    }

    // The rows as they are shown, with the shown columns and the whole
    // description (and the slot of each group in Best per Slot).
    query::ExportTable table() const
    {
        QStringList titles;
        const bool grouped = !found_.groups.isEmpty();
        if (grouped)
            titles.append(QStringLiteral("Slot group"));
        for (const QString &column : columns_)
            titles.append(titleOf(column));
        titles.append(QStringLiteral("Description"));
        QVector<QStringList> cells;
        for (const Row &row : rows_) {
            if (row.hit < 0)
                continue;
            const query::Hit &hit = found_.hits[row.hit];
            QStringList line;
            if (grouped)
                line.append(found_.groups[row.group].slot);
            for (const QString &column : columns_)
                line.append(found_.cell(hit, column, row.hit));
            line.append(query::itemDescription(found_.in.scope, hit).replace(QLatin1Char('|'), QLatin1Char('\n')));
            cells.append(line);
        }
        return {titles, cells};
    }

private:
    struct Row
    {
        int hit = -1;
        int group = -1;
    };

    QStringList shownFields() const
    {
        QStringList fields = columns_;
        fields.removeAll(program::kNameColumn);
        fields.removeAll(program::kDatabaseColumn);
        fields.removeAll(program::kScoreColumn);
        return fields;
    }

    QVariant headingData(const query::SlotGroup &group, int column, int role) const
    {
        if (role == Qt::DisplayRole && column == 0)
            return group.slot;
        if (role == Qt::AccessibleDescriptionRole)
            return QStringLiteral("slot %1, %2 items").arg(group.slot).arg(group.best.size());
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    }

    query::SortKey sortKey() const
    {
        query::SortKey key;
        key.descending = descending_;
        if (sortColumn_ == program::kNameColumn)
            key.by = query::SortKey::By::Name;
        else if (sortColumn_ == program::kDatabaseColumn)
            key.by = query::SortKey::By::Database;
        else if (sortColumn_ == program::kScoreColumn)
            key.by = query::SortKey::By::Score;
        else
            key = {query::SortKey::By::Field, sortColumn_, descending_};
        return key;
    }

    void arrange()
    {
        rows_.clear();
        if (!found_.groups.isEmpty()) {
            for (int g = 0; g < found_.groups.size(); ++g) {
                rows_.append({-1, g});
                for (const int hit : found_.groups[g].best)
                    rows_.append({hit, g});
            }
            return;
        }
        const bool sorted = !sortColumn_.isEmpty() && columns_.contains(sortColumn_)
                            && (sortColumn_ != program::kScoreColumn || !found_.scores.empty());
        const QVector<int> order =
            sorted ? query::sortedOrder(found_.in.scope, found_.hits, sortKey(), found_.scores) : QVector<int>();
        rows_.resize(found_.hits.size());
        for (int i = 0; i < rows_.size(); ++i)
            rows_[i].hit = sorted ? order[i] : i;
    }

    program::FoundItems found_;
    QStringList columns_;
    QVector<Row> rows_;
    QString sortColumn_;
    bool descending_ = false;
};

FindItemsWindow::FindItemsWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window), program_(program), dialogs_(dialogs), columns_(program.findColumns())
{
    setObjectName(QStringLiteral("findItemsWindow"));
    setWindowTitle(QStringLiteral("Find Items"));
    setAccessibleName(windowTitle());
    buildControls();
    connect(&program_, &program::Program::fieldsProgress, this, [this](int done, int total) {
        progress_->setRange(0, total);
        progress_->setValue(done);
    });
    connect(&program_, &program::Program::fieldsReady, this, [this] {
        progress_->hide();
        find();
    });
    connect(&program_, &program::Program::fieldsFailed, this, [this](const base::Outcome &outcome) {
        progress_->hide();
        dialogs_.report(outcome);
    });
    connect(&program_, &program::Program::scoreSetsChanged, this, [this] { showScoreSets(pickedScoreSet()); });
    showScoreSets(QString());
    connect(&program_, &program::Program::fieldsChanged, this, &FindItemsWindow::readFields, Qt::QueuedConnection);
    connect(&program_, &program::Program::currentDatabaseChanged, this, [this] {
        if (!allDatabasesBox_->isChecked())
            readFields();
    }, Qt::QueuedConnection);
    resize(sizeHint().expandedTo(QSize(760, 520)));
    readFields();
}

FindItemsWindow::~FindItemsWindow() = default;

void FindItemsWindow::buildControls()
{
    queryBox_ = new QLineEdit;
    queryBox_->setObjectName(QStringLiteral("queryBox"));
    queryBox_->setAccessibleName(QStringLiteral("Query"));
    queryBox_->setPlaceholderText(QStringLiteral("level<=40 slot:finger (hitroll>=3 or damroll>=3) -flags:anti-evil"));
    queryMistake_ = new QLabel;
    queryMistake_->setObjectName(QStringLiteral("queryMistake"));
    queryMistake_->setWordWrap(true);
    scoreBox_ = new QComboBox;
    scoreBox_->setObjectName(QStringLiteral("scoreBox"));
    scoreBox_->setEditable(true);
    scoreBox_->setAccessibleName(QStringLiteral("Score"));
    scoreBox_->lineEdit()->setAccessibleName(QStringLiteral("Score"));
    scoreBox_->lineEdit()->setPlaceholderText(QStringLiteral("2*hitroll + 2*damroll + hp/10 - weight/5"));
    scoreBox_->setInsertPolicy(QComboBox::NoInsert);
    scoreSets_ = new ScoreSetsModel(this);
    scoreBox_->setModel(scoreSets_);
    // Typing a score runs it as typed, never completed to a set's expression.
    scoreBox_->setCompleter(nullptr);
    scoreBox_->view()->setAccessibleName(QStringLiteral("Weight sets"));
    saveSetButton_ = new QPushButton(QStringLiteral("Sa&ve Set..."));
    saveSetButton_->setObjectName(QStringLiteral("saveSetButton"));
    saveSetButton_->setAccessibleName(QStringLiteral("Save Set"));
    saveSetButton_->setToolTip(QStringLiteral("Keep the score as a named weight set"));
    removeSetButton_ = new QPushButton(QStringLiteral("&Remove Set"));
    removeSetButton_->setObjectName(QStringLiteral("removeSetButton"));
    removeSetButton_->setAccessibleName(QStringLiteral("Remove Set"));
    removeSetButton_->setToolTip(QStringLiteral("Remove the weight set picked from the Score list"));
    scoreMistake_ = new QLabel;
    scoreMistake_->setObjectName(QStringLiteral("scoreMistake"));
    scoreMistake_->setWordWrap(true);
    allDatabasesBox_ = new QCheckBox(QStringLiteral("&All databases"));
    allDatabasesBox_->setObjectName(QStringLiteral("allDatabasesBox"));
    bestPerSlotBox_ = new QCheckBox(QStringLiteral("&Best per Slot"));
    bestPerSlotBox_->setObjectName(QStringLiteral("bestPerSlotBox"));

    model_ = new FoundItemsModel(this);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("itemsFound"));
    table_->setAccessibleName(QStringLiteral("Items found"));
    table_->setModel(model_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(-1, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    countLabel_ = new QLabel;
    countLabel_->setObjectName(QStringLiteral("countLine"));
    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("fieldsProgress"));
    progress_->setAccessibleName(QStringLiteral("Reading the fields"));
    progress_->hide();
    itemFields_ = new QListWidget;
    itemFields_->setObjectName(QStringLiteral("itemFields"));
    itemFields_->setAccessibleName(QStringLiteral("Fields of the selected item"));
    itemFields_->setMaximumHeight(fontMetrics().height() * 6);

    columnsButton_ = new QPushButton(QStringLiteral("C&olumns..."));
    columnsButton_->setObjectName(QStringLiteral("columnsButton"));
    auto *fieldsButton = new QPushButton(QStringLiteral("F&ields..."));
    fieldsButton->setObjectName(QStringLiteral("fieldsButton"));
    auto *compareButton = new QPushButton(QStringLiteral("Co&mpare"));
    compareButton->setObjectName(QStringLiteral("compareButton"));
    compareButton->setToolTip(QStringLiteral("Compare the selected items (Ctrl+M)"));
    auto *exportButton = new QPushButton(QStringLiteral("&Export..."));
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportButton->setAccessibleName(QStringLiteral("Export"));
    exportButton->setToolTip(QStringLiteral("Write the rows shown to a CSV or JSON file"));
    auto *closeButton = new QPushButton(QStringLiteral("Close"));
    closeButton->setObjectName(QStringLiteral("closeButton"));
    auto *compareKey = new QAction(this);
    compareKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    addAction(compareKey);

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(captionFor(QStringLiteral("&Query:"), queryBox_));
    searchRow->addWidget(queryBox_, 1);
    searchRow->addWidget(allDatabasesBox_);
    auto *scoreRow = new QHBoxLayout;
    scoreRow->addWidget(captionFor(QStringLiteral("&Score:"), scoreBox_));
    scoreRow->addWidget(scoreBox_, 1);
    scoreRow->addWidget(saveSetButton_);
    scoreRow->addWidget(removeSetButton_);
    scoreRow->addWidget(bestPerSlotBox_);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {columnsButton_, fieldsButton, compareButton, exportButton})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(queryMistake_);
    layout->addLayout(scoreRow);
    layout->addWidget(scoreMistake_);
    layout->addWidget(progress_);
    layout->addWidget(captionFor(QStringLiteral("Items &found:"), table_));
    layout->addWidget(table_, 1);
    layout->addWidget(countLabel_);
    layout->addWidget(captionFor(QStringLiteral("Fields of the se&lected item:"), itemFields_));
    layout->addWidget(itemFields_);
    layout->addLayout(buttons);

    connect(queryBox_, &QLineEdit::textChanged, this, &FindItemsWindow::find);
    connect(scoreBox_, &QComboBox::currentTextChanged, this, &FindItemsWindow::find);
    connect(allDatabasesBox_, &QCheckBox::toggled, this, &FindItemsWindow::readFields);
    connect(bestPerSlotBox_, &QCheckBox::toggled, this, &FindItemsWindow::find);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex &index) { onActivated(index.row()); });
    connect(table_->horizontalHeader(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { showColumnMenu(table_->horizontalHeader()->mapToGlobal(at)); });
    connect(table_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { showColumnMenu(table_->viewport()->mapToGlobal(at)); });
    connect(columnsButton_, &QPushButton::clicked, this,
            [this] { showColumnMenu(columnsButton_->mapToGlobal(QPoint(0, columnsButton_->height()))); });
    connect(fieldsButton, &QPushButton::clicked, this, &FindItemsWindow::fieldsWanted);
    connect(compareButton, &QPushButton::clicked, this, &FindItemsWindow::onCompare);
    connect(compareKey, &QAction::triggered, this, &FindItemsWindow::onCompare);
    connect(saveSetButton_, &QPushButton::clicked, this, &FindItemsWindow::onSaveScoreSet);
    connect(removeSetButton_, &QPushButton::clicked, this, &FindItemsWindow::onRemoveScoreSet);
    connect(exportButton, &QPushButton::clicked, this, &FindItemsWindow::onExport);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(model_, &QAbstractItemModel::modelReset, this, &FindItemsWindow::showSelectedFields);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FindItemsWindow::showSelectedFields);
    queryBox_->setFocus();
}

void FindItemsWindow::readFields()
{
    const base::Outcome outcome = program_.readFields(allDatabasesBox_->isChecked());
    if (!outcome.ok()) {
        queryMistake_->setText(outcome.message() + QStringLiteral(" Press Fields... to correct them."));
        return;
    }
    if (program_.fieldsRead(allDatabasesBox_->isChecked())) {
        find();
        return;
    }
    progress_->setValue(0);
    progress_->show();
}

void FindItemsWindow::find()
{
    const program::FindRequest request{queryBox_->text(), scoreBox_->currentText(), allDatabasesBox_->isChecked(),
                                       bestPerSlotBox_->isChecked()};
    if (!program_.fieldsRead(request.allDatabases))
        return;
    program::FoundItems found;
    program::Program::Mistake mistake = program::Program::Mistake::None;
    const base::Outcome outcome = program_.findItems(request, &found, &mistake);
    queryMistake_->setText(mistake == program::Program::Mistake::InQuery ? outcome.message() : QString());
    scoreMistake_->setText(mistake == program::Program::Mistake::InScore ? outcome.message() : QString());
    if (outcome.ok())
        showFound(std::move(found));
    else if (mistake == program::Program::Mistake::None)
        dialogs_.report(outcome);
}

void FindItemsWindow::showFound(program::FoundItems found)
{
    QStringList columns = program::shownColumns(found.queryFields, columns_.added, columns_.hidden);
    columns.removeIf([&](const QString &column) {
        return column != program::kNameColumn && column != program::kDatabaseColumn && !found.in.known.find(column);
    });
    if (!found.scores.empty())
        columns.insert(2, program::kScoreColumn);
    const QString line = found.countLine;
    table_->clearSpans();
    model_->setFound(std::move(found), columns);
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->isHeading(row))
            table_->setSpan(row, 0, 1, int(columns.size()));
    }
    showCount(line);
}

void FindItemsWindow::showCount(const QString &line)
{
    if (countLabel_->text() == line)
        return;
    countLabel_->setText(line);
    QAccessibleEvent changed(countLabel_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

std::optional<query::ComparedItem> FindItemsWindow::selectedItem() const
{
    const int hit = model_->hitAt(table_->currentIndex().row());
    if (hit < 0)
        return std::nullopt;
    return model_->found().item(model_->found().hits[hit]);
}

bool FindItemsWindow::allDatabases() const
{
    return allDatabasesBox_->isChecked();
}

void FindItemsWindow::showSelectedFields()
{
    itemFields_->clear();
    if (const std::optional<query::ComparedItem> item = selectedItem()) {
        for (const fields::ItemField &field : item->fields)
            itemFields_->addItem(field.name + QStringLiteral(": ") + field.text);
    }
    emit selectedItemChanged();
}

void FindItemsWindow::showColumnMenu(const QPoint &at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("columnMenu"));
    for (const fields::FieldInfo &field : model_->found().in.known.fields()) {
        QAction *action = menu.addAction(field.name);
        action->setCheckable(true);
        action->setChecked(model_->columns().contains(field.name));
    }
    QAction *chosen = menu.exec(at);
    if (!chosen)
        return;
    const QString field = chosen->text().remove(QLatin1Char('&'));
    if (chosen->isChecked()) {
        columns_.hidden.removeAll(field);
        if (!program::shownColumns(model_->found().queryFields, {}, {}).contains(field))
            columns_.added.append(field);
    } else {
        columns_.added.removeAll(field);
        columns_.hidden.append(field);
    }
    program_.rememberFindColumns(columns_);
    find();
}

void FindItemsWindow::onActivated(int row)
{
    const int hit = model_->hitAt(row);
    if (hit < 0)
        return;
    if (dialogs_.report(program_.showFoundItem(model_->found(), model_->found().hits[hit])))
        emit itemShown();
}

void FindItemsWindow::onCompare()
{
    QVector<query::ComparedItem> items;
    for (const QModelIndex &index : table_->selectionModel()->selectedRows()) {
        const int hit = model_->hitAt(index.row());
        if (hit >= 0)
            items.append(model_->found().item(model_->found().hits[hit]));
    }
    if (items.size() < 2 || items.size() > 4) {
        dialogs_.message(QStringLiteral("Please select 2 to 4 items to compare."));
        return;
    }
    emit compareWanted(items);
}

QString FindItemsWindow::pickedScoreSet() const
{
    return scoreSets_->nameAt(scoreBox_->currentIndex());
}

void FindItemsWindow::showScoreSets(const QString &picked)
{
    const QSignalBlocker quiet(scoreBox_);
    const QString score = scoreBox_->currentText();
    scoreSets_->setSets(program_.scoreSets());
    scoreBox_->setCurrentIndex(scoreSets_->rowOf(picked));
    scoreBox_->setEditText(score);
}

void FindItemsWindow::onSaveScoreSet()
{
    const QString name = dialogs_.inputBox(QStringLiteral("Name of the weight set:"), QStringLiteral("Save Weight Set"),
                                           pickedScoreSet());
    if (!name.isEmpty() && dialogs_.report(program_.saveScoreSet(name, scoreBox_->currentText())))
        showScoreSets(name.trimmed());
}

void FindItemsWindow::onRemoveScoreSet()
{
    const QString name = pickedScoreSet();
    if (name.isEmpty()) {
        dialogs_.message(QStringLiteral("Please pick the weight set to remove from the Score list."));
        return;
    }
    if (dialogs_.askYesNo(QStringLiteral("Do you want to remove the weight set %1?").arg(name),
                          QStringLiteral("Remove Weight Set"), base::Dialogs::Icon::Question, base::Dialogs::Button::No))
        dialogs_.report(program_.removeScoreSet(name));
}

void FindItemsWindow::onExport()
{
    const QString fileName = dialogs_.chooseFileToSave(QStringLiteral("Export Items"), QStringLiteral("items.csv"),
                                                       QStringLiteral("CSV files (*.csv);;JSON files (*.json)"));
    if (!fileName.isEmpty())
        dialogs_.report(program_.exportItems(model_->table(), fileName));
}

void FindItemsWindow::closeEvent(QCloseEvent *event)
{
    program_.cancelFieldReading();
    QWidget::closeEvent(event);
}

} // namespace windows
