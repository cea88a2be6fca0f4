#pragma once

#include "base/dialogs.h"
#include "base/failure.h"
#include "program/log_reading.h"
#include "program/program.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace windows {

class HarvestModel;

// The Import Game Log window: reads a game log for its identify blocks while
// a progress bar shows how far it got (Cancel stops it), then lists each item
// found with how it stands against the current database. New items are
// ticked; Add puts the ticked ones at the end of the current database in one
// change and says how many were added and skipped.
class HarvestWindow : public QWidget
{
    Q_OBJECT
public:
    HarvestWindow(program::Program &program, base::Dialogs &dialogs, QWidget *parent = nullptr);
    ~HarvestWindow() override;

    // Starts reading a log, with the block start text of the window.
    void read(const QString &path);

private slots:
    void onReadAgainClicked();
    void onCancelClicked();
    void onAddClicked();
    void showProgress(qint64 bytesRead, qint64 bytesTotal);
    void onReadingFinished();
    void onReadingFailed(const base::Failure &failure);

private:
    void showReading(bool reading);
    void stopReading();
    void dropFinishedReading();

    program::Program &program_;
    base::Dialogs &dialogs_;
    QString path_;
    std::unique_ptr<program::LogReading> reading_;
    HarvestModel *model_ = nullptr;
    QLineEdit *logBox_ = nullptr;
    QLineEdit *blockStartBox_ = nullptr;
    QPushButton *readAgainButton_ = nullptr;
    QProgressBar *progressBar_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QLabel *summaryLabel_ = nullptr;
    QTreeView *foundList_ = nullptr;
    QPushButton *tickAllButton_ = nullptr;
    QPushButton *untickAllButton_ = nullptr;
    QPushButton *addButton_ = nullptr;
};

} // namespace windows
