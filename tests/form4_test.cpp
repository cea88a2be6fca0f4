// The "Add New Item" window: appending through the description encoding.
#include "app/twips.h"
#include "editing/form4.h"
#include "support/started_program.h"
#include "support/write_limit.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QByteArray kTwoItems = crlf({"ring", "gold|", "sword", "sharp|"});
}

class Form4Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    Form4 *openForm4(const QByteArray &database = kTwoItems)
    {
        program = std::make_unique<StartedProgram>(dialogs, database);
        program->form->mnuAddItem->trigger();
        Form4 *window = program->form->windows().find<Form4>();
        Q_ASSERT(window);
        return window;
    }

    // Types an item into the window and presses "Add".
    void add(Form4 *window, const QString &name, const QString &description)
    {
        window->Text1->setText(name);
        window->Text2->setPlainText(description);
        window->Command1_Click();
    }

private slots:
    void init() { dialogs.reset(); }
    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        program.reset();
    }

    void theWindowStartsEmptyWithItsDesignedControls()
    {
        Form4 *window = openForm4();
        QCOMPARE(window->windowTitle(), QStringLiteral("Add New Item"));
        QVERIFY(window->isVisible());
        QVERIFY(window->Text1->text().isEmpty());
        QVERIFY(window->Text2->toPlainText().isEmpty());
        QCOMPARE(window->Command1->text(), QStringLiteral("Add"));
        QCOMPARE(twipsOf(window->Text2), (TwipRect{1080, 480, 3615, 2655}));
        QCOMPARE(twipsOf(window->Command1), (TwipRect{3600, 3240, 1095, 375}));
        QCOMPARE(window->Text1->accessibleName(), QStringLiteral("Item Name"));
        QCOMPARE(window->Text2->accessibleName(), QStringLiteral("Description"));
        program->form->mnuAddItem->trigger();
        QCOMPARE(program->form->windows().find<Form4>(), window);
    }

    void aTwoLineDescriptionIsAppendedAndTheListReloaded()
    {
        Form4 *window = openForm4();
        program->form->selectIndex(0);
        QVERIFY(!program->form->Text1->toPlainText().isEmpty());
        QPointer<Form4> watched(window);
        add(window, "helmet", "x\ny");
        QCOMPARE(program->database(), kTwoItems + crlf({"helmet", "x|y|"}));
        QCOMPARE(program->folder.read("42198739.txt"), QByteArray("x\r\ny\r\n"));
        QCOMPARE(program->listed(), (QStringList{"ring", "sword", "helmet"}));
        QVERIFY(program->form->Text1->toPlainText().isEmpty());
        QCOMPARE(program->form->Label1->text(), QStringLiteral("3 items in database"));
        VERIFY_TABLE(*program);
        QTRY_VERIFY(watched.isNull()); // unloaded
        QVERIFY(!program->form->windows().find<Form4>());
    }

    void anythingTypedIsWrittenAsItStands_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QByteArray>("appended");
        QTest::newRow("empty name and description") << "" << "" << crlf({"", "|"});
        QTest::newRow("text ending in a line end") << "cloak" << "x\n" << crlf({"cloak", "x||"});
        QTest::newRow("repeated name") << "ring" << "silver" << crlf({"ring", "silver|"});
        QTest::newRow("bar in the name") << "a|b" << "c" << crlf({"a|b", "c|"});
    }
    void anythingTypedIsWrittenAsItStands()
    {
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(QByteArray, appended);
        add(openForm4(), name, description);
        QCOMPARE(program->database(), kTwoItems + appended);
        QCOMPARE(program->listed().size(), 3);
        QCOMPARE(program->listed().last(), name);
        VERIFY_TABLE(*program);
    }

    void theItemGoesToTheDatabaseCurrentWhenAddIsPressed()
    {
        Form4 *window = openForm4();
        program->state.selectDatabase("armour", "armour.txt");
        add(window, "helmet", "iron");
        QCOMPARE(program->folder.read("armour.txt"), crlf({"helmet", "iron|"}));
        QCOMPARE(program->database(), kTwoItems);
        QCOMPARE(program->form->Label1->text(), QStringLiteral("1 items in armour"));
    }

    void textTheFileCannotHoldIsRefusedAndNothingWritten()
    {
        Form4 *window = openForm4();
        dialogs.expectMessage(QStringLiteral(
            "Unanticipated error #5  Description: Invalid argument: the text holds the character \"\u2603\" (U+2603), "
            "which cannot be stored in the program's files; nothing was written   Source: Gearledger"));
        add(window, QString::fromUtf8("snow \u2603"), "cold");
        dialogs.expectMessage(QStringLiteral(
            "Unanticipated error #5  Description: Invalid argument: the text holds the character \"\u2603\" (U+2603), "
            "which cannot be stored in the program's files; nothing was written   Source: Gearledger"));
        add(window, "snow", QString::fromUtf8("\u2603"));
        QCOMPARE(program->database(), kTwoItems);
        QVERIFY(!program->folder.exists("42198739.txt"));
        QVERIFY(window->isVisible());
        QCOMPARE(window->Text2->toPlainText(), QString::fromUtf8("\u2603")); // kept for correcting
    }

    void aDatabaseThatCannotBeWrittenKeepsItsItems()
    {
        Form4 *window = openForm4();
        dialogs.expectMessage(QStringLiteral("Unanticipated error #75  Description: Path/File access error: could not "
                                             "write database.txt (File too large)   Source: Gearledger"));
        {
            const WriteLimit full(kTwoItems.size());
            add(window, "helmet", "iron");
        }
        QCOMPARE(program->database(), kTwoItems);
        QCOMPARE(program->listed(), (QStringList{"ring", "sword"}));
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(Form4Test)
#include "form4_test.moc"
