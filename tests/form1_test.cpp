// The main window: start-up, listing, selection, search and the menu bar.
#include "app/module1.h"
#include "main_window/form1.h"
#include "main_window/item_list_model.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QString kPrefMissing = QStringLiteral("Could not find the Preference file: pref.txt  This file will be created.");
const QString kDbMissing = QStringLiteral(
    "Could not find the database.txt file, please be sure that the database.txt is in the same folder as the "
    "program.  A database will now be created.");
const QByteArray kDefaultPrefs = " 0 \r\n 65280 \r\n 65280 \r\n";
} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Module1> state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;

    // A started main window on the test folder.
    Form1 *start()
    {
        state = std::make_unique<Module1>(folder->path());
        form = std::make_unique<Form1>(*state, dialogs);
        new QAbstractItemModelTester(form->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     form.get());
        form->startUp();
        return form.get();
    }

    QStringList listed() const { return form->listModel()->names(); }
    QString described() const { return form->Text1->toPlainText(); }
    QColor colourOf(QWidget *w, QPalette::ColorRole role) const { return w->palette().color(role); }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        dialogs.reset();
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        form.reset();
        state.reset();
    }

    void firstStartCreatesBothFilesAfterTheirMessagesInOrder()
    {
        dialogs.expectMessage(kPrefMissing);
        dialogs.expectMessage(kDbMissing);
        start();
        QCOMPARE(folder->read("pref.txt"), kDefaultPrefs);
        QCOMPARE(folder->read("database.txt"), sampleItemBytes());
        QVERIFY(listed().isEmpty());
        QCOMPARE(form->Label1->text(), QStringLiteral("Items"));
        QCOMPARE(colourOf(form->List1, QPalette::Base), QColor(Qt::black));
        QCOMPARE(colourOf(form->List1, QPalette::Text), QColor(0, 255, 0));
        QCOMPARE(colourOf(form->Text1, QPalette::Text), QColor(0, 255, 0));

        form->Command3_Click();
        QCOMPARE(listed(), QStringList{"small metallic ring"});
        QCOMPARE(form->Label1->text(), QStringLiteral("1 items in database"));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
