// The Current Database window: its catalogue, the pictures by keyboard and
// mouse, the removal question, and the listing that follows a choice.
#include "support/program_fixture.h"
#include "windows/current_database_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QString kNamePrompt =
    QStringLiteral("Please enter a name for your new database. (Do not use symbols, only letters and numbers)");
}

class CurrentDatabaseWindowTest : public ProgramFixture
{
    Q_OBJECT

    QPointer<windows::CurrentDatabaseWindow> window;

    QComboBox *combo() const { return window->findChild<QComboBox *>("Combo1"); }
    QWidget *control(const char *name) const { return window->findChild<QWidget *>(name); }
    void open()
    {
        window = new windows::CurrentDatabaseWindow(p->program, dialogs);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    void closeWindows() override { delete window; }

public:
    CurrentDatabaseWindowTest() : ProgramFixture(crlf({"alpha", "a|"})) {}

private slots:
    void init()
    {
        ProgramFixture::init();
        p->folder.write("weapons.txt", crlf({"sword", "sharp|"}));
    }

    void aMissingCatalogueIsSeededAndThePicturesAnswerTheKeyboard()
    {
        dialogs.expectMessage("Could not open the datalist.txt file, this file will be created.");
        open();
        QCOMPARE(p->folder.read("datalist.txt"), crlf({"1", "database", "database.txt"}));
        QCOMPARE(combo()->currentText(), QStringLiteral("database"));
        dialogs.expectInput(kNamePrompt, "mydatabase");
        QTest::keyClick(control("imgCreate"), Qt::Key_Return);
        QCOMPARE(dialogs.lastTitle + ": " + dialogs.lastDefaultText, QStringLiteral("New database: mydatabase"));
        QCOMPARE(combo()->itemText(1), QStringLiteral("mydatabase"));
        QCOMPARE(combo()->currentText(), QStringLiteral("database")); // the box keeps what it showed
        dialogs.expectMessage("You cannot delete the primary database");
        QTest::keyClick(control("imgRemove"), Qt::Key_Space);
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!window);
    }

    void okListsTheChosenDatabaseAndRemovingAsksFirst()
    {
        p->folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "weapons", "weapons.txt"}));
        open();
        combo()->setEditText("weapons");
        QTest::keyClick(combo()->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY(!window);
        QCOMPARE(p->listed(), QStringList{"sword"});
        QCOMPARE(p->program.countText(), QStringLiteral("1 items in weapons"));

        open();
        QCOMPARE(combo()->currentText(), QStringLiteral("weapons")); // the current database is preselected
        const QString question = QStringLiteral("Do you want to remove the database weapons and erase all its contents?");
        dialogs.expectQuestion(question, false, "Remove Database");
        QTest::mouseClick(control("imgRemove"), Qt::LeftButton);
        QCOMPARE(dialogs.lastIcon, base::Dialogs::Icon::Stop);
        QCOMPARE(dialogs.lastDefault, base::Dialogs::Button::No);
        QVERIFY(p->folder.exists("weapons.txt"));
        dialogs.expectQuestion(question, true, "Remove Database");
        dialogs.expectMessage("The database was removed");
        QTest::mouseClick(control("imgRemove"), Qt::LeftButton);
        QTRY_VERIFY(!window);
        QVERIFY(!p->folder.exists("weapons.txt"));
        QCOMPARE(p->program.countText(), QStringLiteral("1 items in database"));

        // A catalogue read in part: the window opens with what was read and says so.
        p->folder.write("datalist.txt", crlf({"3", "database", "database.txt"}));
        dialogs.expectMessage("Unanticipated error #62");
        open();
        QCOMPARE(combo()->count(), 1);
    }
};

QTEST_MAIN(CurrentDatabaseWindowTest)
#include "current_database_window_test.moc"
