// The "Edit" window: the selected entry's own record is replaced, exactly.
#include "editing/form2.h"
#include "support/started_program.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTest>

namespace {
const QByteArray kTwins = crlf({"ring", "first|", "sword", "sharp|", "ring", "second|", "shield", "round|wooden||"});
}

class Form2Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    void start(const QByteArray &database = kTwins) { program = std::make_unique<StartedProgram>(dialogs, database); }

    // Selects the entry and opens the editor on it.
    Form2 *edit(int position)
    {
        program->form->selectIndex(position);
        program->form->mnuEdit->trigger();
        return program->form->windows().find<Form2>();
    }

private slots:
    void init() { dialogs.reset(); start(); }
    void cleanup() { program.reset(); VERIFY_DIALOGS(dialogs); }

    void theEditorShowsTheSelectedEntryAndUpdateReplacesItsRecord()
    {
        dialogs.expectMessage(QStringLiteral("No item is selected!"));
        program->form->mnuEdit->trigger();
        QVERIFY(!program->form->windows().find<Form2>());

        Form2 *editor = edit(3);
        QCOMPARE(editor->Text1->text(), QStringLiteral("shield"));
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("round\nwooden\n")); // no extra final line
        QCOMPARE(editor->Label3->text(), QStringLiteral("3"));
        // A second Edit refills the open window.
        QCOMPARE(edit(1), editor);
        QCOMPARE(editor->Text1->text(), QStringLiteral("sword"));
        QCOMPARE(editor->Label3->text(), QStringLiteral("1"));
        editor->Text2->setPlainText("blunt\nold");
        editor->Command1_Click();
        QCOMPARE(program->database(), crlf({"ring", "first|", "sword", "blunt|old|", "ring", "second|", "shield",
                                            "round|wooden||"}));
        QVERIFY(program->form->Text1->toPlainText().isEmpty());
        VERIFY_TABLE(*program);
    }

    void twinNamesAndSearchHitsEditTheirOwnRecord()
    {
        Form2 *editor = edit(0);
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("first"));
        editor->Text1->setText("gold ring");
        editor->Command1_Click();
        program->search("ring");
        QCOMPARE(program->listed(), (QStringList{"gold ring", "ring"}));
        editor = edit(1);
        QCOMPARE(editor->Label3->text(), QStringLiteral("2"));
        editor->Text2->setPlainText("third");
        editor->Command1_Click();
        QCOMPARE(program->database(), crlf({"gold ring", "first|", "sword", "sharp|", "ring", "third|", "shield",
                                            "round|wooden||"}));
        QCOMPARE(program->listed().size(), 4); // all listed again
        VERIFY_TABLE(*program);
    }

    void anUnchangedUpdateWritesTheRecordBackByteForByte()
    {
        // One line, no final bar, no description at all, a lone LF and Windows-1252 bytes.
        const QByteArray database = crlf({"ring", "gold|", "ring", "gold|old", "axe", "", "caf\xE9\nx", "\x80 5|\x81||"});
        start(database);
        for (int round = 0; round < 2; ++round) {
            for (int p = 0; p < 4; ++p)
                edit(p)->Command1_Click();
        }
        QCOMPARE(program->database(), database);
    }

    void aChangedOrUnwritableFileKeepsItsItems()
    {
        Form2 *editor = edit(2);
        editor->Text2->setPlainText("third");
        const QByteArray changed = crlf({"sword", "sharp|", "ring", "second|"});
        program->folder.write("database.txt", changed);
        dialogs.expectMessage(QStringLiteral(
            "This item is no longer at its place in the database file: the file has been changed since the item was "
            "selected.  Nothing was written.  Select the item again to edit it."));
        editor->Command1_Click();
        QCOMPARE(program->database(), changed);

        program->folder.write("database.txt", kTwins);
        dialogs.expectMessage(program->failedRewriteMessage(20));
        {
            const WriteLimit full(20);
            editor->Command1_Click();
        }
        QCOMPARE(program->database(), kTwins);
        QVERIFY(editor->isVisible());

        QFile::remove(program->folder.file("database.txt"));
        dialogs.expectMessage(QStringLiteral(
            "Unanticipated error #53  Description: File not found (database.txt)   Source: Gearledger"));
        editor->Command1_Click();
        QVERIFY(!program->folder.exists("database.txt"));
    }
};

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
