#include "windows/harvest_window.h"

#include "base/dialogs.h"
#include "program/log_reading.h"
#include "program/program.h"
#include "storage/windows1252.h"
#include "widgets/twips.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

namespace windows {

// The items found in a log, one row each: the name with its tick, how it
// stands against the current database, and how many blocks gave it.
class HarvestModel : public QAbstractTableModel
{
public:
    struct Row
    {
        editing::FoundItem found;
        QString standing;
        bool ticked = false;
    };

    using QAbstractTableModel::QAbstractTableModel;

    void fill(QVector<Row> rows)
    {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

    void tickEvery() { tickAll(true); }
    void untickEvery() { tickAll(false); }

    void tickAll(bool ticked)
    {
        for (Row &row : rows_)
            row.ticked = ticked && row.found.writable;
        if (!rows_.isEmpty())
            emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, 0), {Qt::CheckStateRole});
    }

    QVector<storage::Item> tickedItems() const
    {
        QVector<storage::Item> items;
        for (const Row &row : rows_) {
            if (row.ticked)
                items.append(row.found.item);
        }
        return items;
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!holds(index))
            return {};
        const Row &row = rows_[index.row()];
        if (role == Qt::CheckStateRole && index.column() == 0)
            return row.ticked ? Qt::Checked : Qt::Unchecked;
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        switch (index.column()) {
        case 0:
            return row.found.item.name;
        case 1:
            return row.standing;
        default:
            return row.found.timesFound;
        }
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
            return false;
        rows_[index.row()].ticked = value.value<Qt::CheckState>() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!holds(index))
            return Qt::NoItemFlags;
        const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        return index.column() == 0 && rows_[index.row()].found.writable ? flags | Qt::ItemIsUserCheckable : flags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2)
            return {};
        static const QString kTitles[] = {QStringLiteral("Name"), QStringLiteral("In the database"),
                                          QStringLiteral("Found")};
        return kTitles[section];
    }

private:
    bool holds(const QModelIndex &index) const
    {
        return index.isValid() && index.model() == this && index.row() < rows_.size() && index.column() < 3;
    }

    QVector<Row> rows_;
};

namespace {

QString standingText(program::Program::Standing standing)
{
    switch (standing) {
    case program::Program::Standing::New:
        return QStringLiteral("New");
    case program::Program::Standing::Same:
        return QStringLiteral("Already there, same description");
    case program::Program::Standing::Different:
        break;
    }
    return QStringLiteral("Already there, other description");
}

QString unwritableText(const storage::Item &item)
{
    QByteArray bytes;
    QString bad;
    if (storage::encodeWindows1252(item.name, &bytes, &bad))
        (void)storage::encodeWindows1252(item.description, &bytes, &bad);
    return QStringLiteral("Cannot be added: \"%1\" has no place in a database").arg(bad);
}

// What the harvest left out of lines and blocks too long to keep; empty when nothing.
QString cutText(const editing::Harvester &harvest)
{
    QString text;
    if (harvest.cutLines() > 0)
        text += QStringLiteral("  %1 lines too long were cut to their first %2 characters.")
                    .arg(harvest.cutLines())
                    .arg(editing::kLongestLine);
    if (harvest.cutBlocks() > 0)
        text += QStringLiteral("  %1 blocks too long were cut to their first %2 characters.")
                    .arg(harvest.cutBlocks())
                    .arg(editing::kLongestBlock);
    return text;
}

} // namespace

HarvestWindow::HarvestWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      program_(program),
      dialogs_(dialogs)
{
    widgets::designWindow(this, "frmHarvest", QStringLiteral("Import Game Log"), 7680, 5520);

    auto *logLabel = widgets::placed(new QLabel(QStringLiteral("Game &log:"), this), "lblLog", {120, 150, 1695, 255});
    logBox_ = widgets::placed(new QLineEdit(this), "txtLog", {1860, 120, 5700, 315}, QStringLiteral("Game log"));
    logLabel->setBuddy(logBox_);
    logBox_->setReadOnly(true);
    auto *startLabel =
        widgets::placed(new QLabel(QStringLiteral("&Block starts with:"), this), "lblStart", {120, 570, 1695, 255});
    blockStartBox_ = widgets::placed(new QLineEdit(program_.gameLogChoices().blockStart, this), "txtStart",
                                     {1860, 540, 2835, 315}, QStringLiteral("Block starts with"));
    startLabel->setBuddy(blockStartBox_);
    readAgainButton_ = widgets::placed(new QPushButton(QStringLiteral("&Read Again"), this), "cmdRead",
                                       {4800, 510, 1335, 375}, QStringLiteral("Read Again"));
    progressBar_ = widgets::placed(new QProgressBar(this), "prgReading", {120, 1020, 6015, 315},
                                   QStringLiteral("Reading the log"));
    progressBar_->setRange(0, 1000);
    cancelButton_ = widgets::placed(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel",
                                    {6240, 990, 1320, 375}, QStringLiteral("Cancel"));
    summaryLabel_ = widgets::placed(new QLabel(this), "lblSummary", {120, 1470, 7440, 735});
    summaryLabel_->setWordWrap(true);
    summaryLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *listLabel = widgets::placed(new QLabel(QStringLiteral("&Items found (Space ticks or unticks):"), this),
                                      "lblFound", {120, 2280, 7440, 255});
    foundList_ =
        widgets::placed(new QTreeView(this), "lstFound", {120, 2550, 7440, 2355}, QStringLiteral("Items found"));
    listLabel->setBuddy(foundList_);
    model_ = new HarvestModel(this);
    foundList_->setModel(model_);
    foundList_->setRootIsDecorated(false);
    foundList_->setAllColumnsShowFocus(true);
    foundList_->setUniformRowHeights(true);
    foundList_->header()->setStretchLastSection(false);
    foundList_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    foundList_->setColumnWidth(1, widgets::twipsToPixels(3600));
    foundList_->setColumnWidth(2, widgets::twipsToPixels(750));
    tickAllButton_ = widgets::placed(new QPushButton(QStringLiteral("Tick &All"), this), "cmdTickAll",
                                     {120, 5025, 1335, 375}, QStringLiteral("Tick All"));
    untickAllButton_ = widgets::placed(new QPushButton(QStringLiteral("&Untick All"), this), "cmdUntickAll",
                                       {1560, 5025, 1335, 375}, QStringLiteral("Untick All"));
    addButton_ = widgets::placed(new QPushButton(QStringLiteral("A&dd"), this), "cmdAdd", {5025, 5025, 1215, 375},
                                 QStringLiteral("Add"));
    auto *closeButton = widgets::placed(new QPushButton(QStringLiteral("Cl&ose"), this), "cmdClose",
                                        {6345, 5025, 1215, 375}, QStringLiteral("Close"));

    connect(blockStartBox_, &QLineEdit::returnPressed, this, &HarvestWindow::onReadAgainClicked);
    connect(readAgainButton_, &QPushButton::clicked, this, &HarvestWindow::onReadAgainClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &HarvestWindow::onCancelClicked);
    connect(tickAllButton_, &QPushButton::clicked, model_, &HarvestModel::tickEvery);
    connect(untickAllButton_, &QPushButton::clicked, model_, &HarvestModel::untickEvery);
    connect(addButton_, &QPushButton::clicked, this, &HarvestWindow::onAddClicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    for (auto [from, to] : {std::pair<QWidget *, QWidget *>{logBox_, blockStartBox_}, {blockStartBox_, readAgainButton_},
                            {readAgainButton_, cancelButton_}, {cancelButton_, foundList_},
                            {foundList_, tickAllButton_}, {tickAllButton_, untickAllButton_},
                            {untickAllButton_, addButton_}, {addButton_, closeButton}})
        setTabOrder(from, to);
    showReading(false);
    widgets::centreOnScreen(this, parent);
}

// Closing the window while it reads stops the reading.
HarvestWindow::~HarvestWindow() = default;

void HarvestWindow::read(const QString &path)
{
    const QString blockStart = blockStartBox_->text();
    if (blockStart.isEmpty()) {
        dialogs_.message(QStringLiteral("Please type the text that starts each identify block in the log (such as "
                                        "Object ') in \"Block starts with\", then press Read Again."));
        blockStartBox_->setFocus();
        return;
    }
    program_.rememberGameLogChoices({program_.gameLogChoices().folder, blockStart});
    stopReading();
    path_ = path;
    logBox_->setText(QDir::toNativeSeparators(path));
    model_->fill({});
    summaryLabel_->setText(QStringLiteral("Reading the log..."));
    progressBar_->setValue(0);
    reading_ = program_.readGameLog(path, blockStart);
    connect(reading_.get(), &program::LogReading::progressed, this, &HarvestWindow::showProgress);
    connect(reading_.get(), &program::LogReading::finished, this, &HarvestWindow::onReadingFinished);
    connect(reading_.get(), &program::LogReading::failed, this, &HarvestWindow::onReadingFailed);
    showReading(true);
    reading_->start();
}

void HarvestWindow::showReading(bool reading)
{
    cancelButton_->setEnabled(reading);
    readAgainButton_->setEnabled(!reading && !path_.isEmpty());
    for (QWidget *control : {static_cast<QWidget *>(foundList_), static_cast<QWidget *>(tickAllButton_),
                             static_cast<QWidget *>(untickAllButton_), static_cast<QWidget *>(addButton_)})
        control->setEnabled(!reading && model_->rowCount() > 0);
    if (reading)
        cancelButton_->setFocus();
}

void HarvestWindow::stopReading()
{
    reading_.reset();
}

void HarvestWindow::dropFinishedReading()
{
    // It is still signalling when this runs.
    if (reading_)
        reading_.release()->deleteLater();
}

void HarvestWindow::onReadAgainClicked()
{
    if (!reading_ && !path_.isEmpty())
        read(path_);
}

void HarvestWindow::onCancelClicked()
{
    stopReading();
    progressBar_->setValue(0);
    summaryLabel_->setText(QStringLiteral("Reading cancelled.  Nothing was added."));
    showReading(false);
    readAgainButton_->setFocus();
}

void HarvestWindow::showProgress(qint64 bytesRead, qint64 bytesTotal)
{
    progressBar_->setValue(bytesTotal > 0 ? int(bytesRead * progressBar_->maximum() / bytesTotal) : 0);
}

void HarvestWindow::onReadingFinished()
{
    progressBar_->setValue(progressBar_->maximum());
    const editing::Harvester &harvest = reading_->harvest();
    QVector<program::Program::Standing> standings;
    if (!dialogs_.report(program_.compareWithCurrentDatabase(harvest.found(), &standings))) {
        dropFinishedReading();
        close();
        return;
    }
    QVector<HarvestModel::Row> rows;
    rows.reserve(harvest.found().size());
    int counts[3] = {0, 0, 0};
    int unwritable = 0;
    for (qsizetype i = 0; i < standings.size(); ++i) {
        const editing::FoundItem &found = harvest.found()[i];
        ++(found.writable ? counts[int(standings[i])] : unwritable);
        rows.append({found, found.writable ? standingText(standings[i]) : unwritableText(found.item),
                     found.writable && standings[i] == program::Program::Standing::New});
    }
    model_->fill(std::move(rows));
    QString summary = QStringLiteral("%1 items found in %2 identify blocks: %3 new, %4 already in %5 with the same "
                                     "description, %6 with another description")
                          .arg(harvest.found().size())
                          .arg(harvest.blocks())
                          .arg(counts[int(program::Program::Standing::New)])
                          .arg(counts[int(program::Program::Standing::Same)])
                          .arg(program_.currentDatabase().displayName)
                          .arg(counts[int(program::Program::Standing::Different)]);
    if (unwritable > 0)
        summary += QStringLiteral(", %1 that cannot be added").arg(unwritable);
    summaryLabel_->setText((harvest.blocks() == 0
                                ? QStringLiteral("No line of the log starts with \"%1\".").arg(blockStartBox_->text())
                                : summary + QLatin1Char('.'))
                           + cutText(harvest));
    dropFinishedReading();
    showReading(false);
    if (model_->rowCount() > 0) {
        foundList_->setCurrentIndex(model_->index(0, 0));
        foundList_->setFocus();
    } else {
        blockStartBox_->setFocus();
    }
}

void HarvestWindow::onReadingFailed(const base::Failure &failure)
{
    dropFinishedReading();
    summaryLabel_->setText(QStringLiteral("The log could not be read."));
    showReading(false);
    dialogs_.report(base::Outcome::failed(failure));
}

void HarvestWindow::onAddClicked()
{
    const QVector<storage::Item> items = model_->tickedItems();
    if (!dialogs_.report(program_.addHarvest(items)))
        return;
    const int skipped = model_->rowCount() - int(items.size());
    const QString database = program_.currentDatabase().displayName;
    close();
    dialogs_.message(
        QStringLiteral("%1 items were added to %2; %3 items found were skipped.").arg(items.size()).arg(database).arg(skipped));
}

} // namespace windows
