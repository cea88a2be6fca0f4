// The "Edit" window: the selected entry's own record is replaced, exactly.
#include "editing/form2.h"
#include "support/started_program.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTest>

namespace {
// Twin names; one line, no description, no final bar; a lone LF, Windows-1252 bytes and an empty last line.
const QByteArray kItems = crlf({"ring", "first|", "axe", "", "ring", "gold|old", "caf\xE9\nx", "\x80 5|\x81||"});
}

class Form2Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    // Selects the entry and opens the editor on it.
    Form2 *edit(int position)
    {
        program->form->selectIndex(position);
        program->form->mnuEdit->trigger();
        return program->form->windows().find<Form2>();
    }

private slots:
    void init() { dialogs.reset(); program = std::make_unique<StartedProgram>(dialogs, kItems); }
    void cleanup() { program.reset(); VERIFY_DIALOGS(dialogs); }

    void updateReplacesExactlyTheSelectedEntrysOwnRecord()
    {
        dialogs.expectMessage(QStringLiteral("No item is selected!"));
        program->form->mnuEdit->trigger();
        // Unchanged updates write each record back byte for byte, also twice.
        for (int i = 0; i < 8; ++i)
            edit(i % 4)->Command1_Click();
        QCOMPARE(program->database(), kItems);

        Form2 *editor = edit(0);
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("first")); // no extra final line
        program->search("ring");
        QCOMPARE(edit(1), editor); // a second Edit refills the open window, with the later twin
        QCOMPARE(editor->Label3->text(), QStringLiteral("2"));
        editor->Text1->setText("gold ring");
        editor->Text2->setPlainText("third\nline");
        editor->Command1_Click();
        QCOMPARE(program->database(),
                 crlf({"ring", "first|", "axe", "", "gold ring", "third|line|", "caf\xE9\nx", "\x80 5|\x81||"}));
        QCOMPARE(program->listed().size(), 4); // all listed again
        VERIFY_TABLE(*program);
    }

    void aChangedOrUnwritableFileKeepsItsItems()
    {
        Form2 *editor = edit(2);
        editor->Text2->setPlainText("third");
        // The record keeps its name but not its text.
        const QByteArray changed = crlf({"ring", "first|", "axe", "", "ring", "gold|new"});
        program->folder.write("database.txt", changed);
        dialogs.expectMessage(QStringLiteral(
            "This item is no longer at its place in the database file: the file has been changed since the item was "
            "selected.  Nothing was written.  Select the item again to edit it."));
        editor->Command1_Click();
        QCOMPARE(program->database(), changed);

        program->folder.write("database.txt", kItems);
        dialogs.expectMessage(program->failedRewriteMessage(20));
        withWritesLimitedTo(20, [&] { editor->Command1_Click(); });
        QCOMPARE(program->database(), kItems);
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
