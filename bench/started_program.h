#pragma once

#include "base/dialogs.h"
#include "main_window/main_window.h"
#include "program/program.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A program folder holding a database, opened and started as the benchmarks
// use it: by a program object alone (the core's work) or with its main window
// shown on the offscreen platform.
namespace bench {

// Shows nothing, answers No and Cancel, and keeps the messages, so that a
// benchmark can tell that its operation failed: a window reports a failure
// only in a message.
class QuietDialogs : public base::Dialogs
{
public:
    void message(const QString &text, Icon, const QString &) override;
    bool askYesNo(const QString &, const QString &, Icon, Button) override { return false; }
    QString inputBox(const QString &, const QString &, const QString &) override { return QString(); }
    QString chooseFileToOpen(const QString &, const QString &, const QString &) override { return QString(); }
    QString chooseFileToSave(const QString &, const QString &, const QString &) override { return QString(); }
    void beep() override {}

    // The first message shown since the last call, the empty text when none was.
    QString takeMessage();

private:
    QString first_;
};

class StartedProgram
{
public:
    enum class With { ProgramOnly, Window };

    // A folder of its own holding pref.txt, datalist.txt and database.txt
    // (`database`), and the program started on it.
    StartedProgram(const QByteArray &database, With with);
    // The program started on a program folder that is there already.
    StartedProgram(const QString &folder, With with);
    ~StartedProgram();
    StartedProgram(const StartedProgram &) = delete;
    StartedProgram &operator=(const StartedProgram &) = delete;

    program::Program &program() { return *program_; }
    main_window::MainWindow &window() { return *window_; }
    QString folder() const { return folder_; }
    QuietDialogs &dialogs() { return dialogs_; }
    // What went wrong since the last call: a message shown, the empty text when none was.
    QString takeMessage() { return dialogs_.takeMessage(); }

    // The window's control of that object name.
    template <class T>
    T *control(const char *name) const
    {
        return window_->findChild<T *>(QLatin1String(name));
    }
    // Paints the list now, as the screen would.
    void paintList() const;
    // Writes `database` as the database file (synced, as every save) and lists
    // it; the failure of the listing, if any, in a message.
    QString restore(const QByteArray &database);
    // Removes the versions the changes kept, so that the changes that follow
    // find as few as the first one did and the disk holds no copies.
    void forgetVersions() const;
    // Ends the program object (and window), as a program that quits; the
    // folder stays for a next start.
    void close();
    // Starts a new program object (and window) on the folder.
    void open();

private:
    std::unique_ptr<QTemporaryDir> made_;
    QString folder_;
    QuietDialogs dialogs_;
    With with_;
    std::unique_ptr<program::Program> program_;
    std::unique_ptr<main_window::MainWindow> window_;
};

// The started programs of one size, shared by its benchmarks, made when first
// asked for; asking for another size ends those of the size before.
// listed: the generated database of that many items; the window's and the
// program object's own are in different folders.
StartedProgram &listed(int items, StartedProgram::With with);

} // namespace bench
