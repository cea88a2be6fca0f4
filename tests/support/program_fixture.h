#pragma once

#include "support/program_on_folder.h"

#include <QObject>
#include <QTest>

#include <memory>

// The base of a test whose every function starts with the dialogs cleared and
// a program started on a fresh folder holding the given database (p). After
// each function the test's windows close (closeWindows), the program ends and
// every dialog the function expected must have come, and nothing else.
class ProgramFixture : public QObject
{
    Q_OBJECT

public:
    explicit ProgramFixture(const QByteArray &database) : database_(database) {}

protected:
    virtual void closeWindows() {}

    ScriptedDialogs dialogs;
    std::unique_ptr<ProgramOnFolder> p;

protected slots:
    void init()
    {
        dialogs.reset();
        p = std::make_unique<ProgramOnFolder>(dialogs, database_);
    }
    void cleanup()
    {
        closeWindows();
        p.reset();
        VERIFY_DIALOGS(dialogs);
    }

private:
    QByteArray database_;
};
