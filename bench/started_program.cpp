#include "bench/started_program.h"

#include "bench/bench_support.h"
#include "storage/text_file.h"

#include <QApplication>
#include <QDir>
#include <QListView>

namespace bench {

void QuietDialogs::message(const QString &text, Icon, const QString &)
{
    if (first_.isEmpty())
        first_ = text.isEmpty() ? QStringLiteral("(an empty message)") : text;
}

QString QuietDialogs::takeMessage()
{
    return std::exchange(first_, QString());
}

StartedProgram::StartedProgram(const QByteArray &database, With with)
    : made_(std::make_unique<QTemporaryDir>()), folder_(made_->path()), with_(with)
{
    storage::saveAtomically(made_->filePath("pref.txt"), " 0 \r\n 65280 \r\n 65280 \r\n");
    storage::saveAtomically(made_->filePath("database.txt"), database);
    storage::saveAtomically(made_->filePath("datalist.txt"), "1\r\ndatabase\r\ndatabase.txt\r\n");
    open();
}

StartedProgram::StartedProgram(const QString &folder, With with) : folder_(folder), with_(with)
{
    open();
}

StartedProgram::~StartedProgram()
{
    close();
}

void StartedProgram::open()
{
    program_ = std::make_unique<program::Program>(folder_);
    if (with_ == With::ProgramOnly) {
        dialogs_.report(program_->startUp(dialogs_, {}));
        return;
    }
    window_ = std::make_unique<main_window::MainWindow>(*program_, dialogs_);
    window_->startUp();
    window_->show();
    QApplication::processEvents();
}

void StartedProgram::close()
{
    window_.reset();
    program_.reset();
}

void StartedProgram::paintList() const
{
    control<QListView>("List1")->viewport()->repaint();
}

QString StartedProgram::restore(const QByteArray &database)
{
    storage::saveAtomically(QDir(folder_).filePath(QStringLiteral("database.txt")), database);
    dialogs_.report(program_->listAll());
    return takeMessage();
}

void StartedProgram::forgetVersions() const
{
    QDir(QDir(folder_).filePath(QStringLiteral("history"))).removeRecursively();
}

StartedProgram &listed(int items, StartedProgram::With with)
{
    static int size = 0;
    static std::unique_ptr<StartedProgram> made[2];
    static const bool endsWithTheRun = (atEnd([] {
                                            for (auto &started : made)
                                                started.reset();
                                        }),
                                        true);
    (void)endsWithTheRun;
    if (size != items) {
        for (auto &started : made)
            started.reset();
        size = items;
    }
    std::unique_ptr<StartedProgram> &started = made[with == StartedProgram::With::Window ? 1 : 0];
    if (!started)
        started = std::make_unique<StartedProgram>(database(items), with);
    return *started;
}

} // namespace bench
