// The "Add New Item" window: appending through the description encoding.
#include "editing/form4.h"
#include "support/started_program.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTest>

class Form4Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;

    // Opens the window (or brings it back), types an item and presses "Add".
    static Form4 *add(StartedProgram &program, const QString &name, const QString &description)
    {
        program.form->mnuAddItem->trigger();
        Form4 *window = program.form->windows().find<Form4>();
        window->Text1->setText(name);
        window->Text2->setPlainText(description);
        window->Command1_Click();
        return window;
    }

private slots:
    void cleanup() { VERIFY_DIALOGS(dialogs); }

    void refusedTextAndAFullDiskWriteNothingAndEachAddAppendsWhatWasTyped()
    {
        const QByteArray twoItems = crlf({"ring", "gold|", "sword", "sharp|"});
        StartedProgram program(dialogs, twoItems);
        const QString refused = QStringLiteral(
            "Unanticipated error #5  Description: Invalid argument: the text holds the character \"\u2603\" (U+2603), "
            "which cannot be stored in the program's files; nothing was written   Source: Gearledger");
        dialogs.expectMessage(refused);
        QPointer<Form4> window = add(program, QString::fromUtf8("snow \u2603"), "cold");
        dialogs.expectMessage(refused);
        add(program, "snow", QString::fromUtf8("\u2603"));
        QVERIFY(!program.folder.exists("42198739.txt"));
        dialogs.expectMessage(QStringLiteral("Unanticipated error #75  Description: Path/File access error: could not "
                                             "write database.txt (File too large)   Source: Gearledger"));
        withWritesLimitedTo(twoItems.size(), [&] { add(program, "helmet", "iron"); });
        QCOMPARE(program.database(), twoItems);
        QVERIFY(window->isVisible());

        program.form->selectIndex(0);
        add(program, "helmet", QString::fromUtf8("caf\u00E9\n5 \u20AC"));
        QCOMPARE(program.folder.read("42198739.txt"), crlf({"caf\xE9", "5 \x80"}));
        QVERIFY(program.form->Text1->toPlainText().isEmpty());
        QTRY_VERIFY(window.isNull()); // unloaded
        // Nothing is checked: empty texts, a final line end, a repeated name.
        add(program, "", "");
        add(program, "cloak", "x\n");
        add(program, "ring", "silver");
        QCOMPARE(program.database(), twoItems + crlf({"helmet", "caf\xE9|5 \x80|", "", "|", "cloak", "x||", "ring",
                                                      "silver|"}));
        QCOMPARE(program.listed().size(), 6);
        VERIFY_TABLE(program);

        program.state.selectDatabase("armour", "armour.txt");
        add(program, "helmet", "iron");
        QCOMPARE(program.folder.read("armour.txt"), crlf({"helmet", "iron|"}));
    }
};

QTEST_MAIN(Form4Test)
#include "form4_test.moc"
