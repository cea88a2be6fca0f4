#pragma once

#include "support/program_on_folder.h"

#include <QObject>
#include <QTest>

#include <memory>

// The base of a test whose every function starts with no dialog expected and
// ends by checking that every dialog it expected came, and nothing else.
class DialogsFixture : public QObject
{
    Q_OBJECT

protected:
    ScriptedDialogs dialogs;

protected slots:
    void init() { dialogs.reset(); }
    void cleanup() { VERIFY_DIALOGS(dialogs); }
};

// The base of a test whose every function starts, besides, with a program
// started on a fresh folder holding the given database (p); after each
// function the test's windows close (closeWindows) and the program ends before
// the dialogs are checked.
class ProgramFixture : public DialogsFixture
{
    Q_OBJECT

public:
    explicit ProgramFixture(const QByteArray &database) : database_(database) {}

protected:
    virtual void closeWindows() {}

    std::unique_ptr<ProgramOnFolder> p;

protected slots:
    void init()
    {
        DialogsFixture::init();
        p = std::make_unique<ProgramOnFolder>(dialogs, database_);
    }
    void cleanup()
    {
        closeWindows();
        p.reset();
        DialogsFixture::cleanup();
    }

private:
    QByteArray database_;
};
