// The "Edit" window: the selected entry's own record is replaced, exactly.
#include "app/twips.h"
#include "editing/form2.h"
#include "support/started_program.h"
#include "support/write_limit.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QByteArray kTwins = crlf({"ring", "first|", "sword", "sharp|", "ring", "second|", "shield", "round|"});
const QString kNoSelection = QStringLiteral("No item is selected!");
const QString kRecordChanged = QStringLiteral(
    "This item is no longer at its place in the database file: the file has been changed since the item was "
    "selected.  Nothing was written.  Select the item again to edit it.");
} // namespace

class Form2Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    void start(const QByteArray &database = kTwins)
    {
        program = std::make_unique<StartedProgram>(dialogs, database);
    }

    // Selects the entry and opens the editor on it.
    Form2 *edit(int position)
    {
        program->form->selectIndex(position);
        program->form->mnuEdit->trigger();
        return program->form->windows().find<Form2>();
    }

    void search(const QString &text)
    {
        program->form->Text2->setText(text);
        program->form->Command2_Click();
    }

private slots:
    void init() { dialogs.reset(); }
    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        program.reset();
    }

    void editingWithoutASelectionOnlyTellsSo()
    {
        start();
        dialogs.expectMessage(kNoSelection);
        program->form->mnuEdit->trigger();
        QVERIFY(!program->form->windows().find<Form2>());
    }

    void theEditorShowsTheSelectedEntryAndItsRecordNumber()
    {
        start(crlf({"ring", "gold|", "sword", "sharp|", "axe", "", "shield", "round|wooden|"}));
        Form2 *editor = edit(3);
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit"));
        QCOMPARE(editor->Text1->text(), QStringLiteral("shield"));
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("round\nwooden"));
        QCOMPARE(editor->Label3->text(), QStringLiteral("3"));
        QCOMPARE(editor->Label4->text(), QStringLiteral("Number:"));
        QCOMPARE(editor->Command1->text(), QStringLiteral("Update"));
        QCOMPARE(twipsOf(editor->Command1), (TwipRect{3600, 3360, 1095, 375}));

        // A second Edit refills the open window.
        QCOMPARE(edit(1), editor);
        QCOMPARE(editor->Text1->text(), QStringLiteral("sword"));
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("sharp"));
        QCOMPARE(editor->Label3->text(), QStringLiteral("1"));

        editor->Text2->setPlainText("blunt\nold");
        editor->Command1_Click();
        QCOMPARE(program->database(),
                 crlf({"ring", "gold|", "sword", "blunt|old|", "axe", "", "shield", "round|wooden|"}));
        QVERIFY(program->form->Text1->toPlainText().isEmpty());
        VERIFY_TABLE(*program);
    }

    void twinNamesEditTheSelectedRecordOnly()
    {
        start();
        Form2 *editor = edit(0);
        QCOMPARE(editor->Label3->text(), QStringLiteral("0"));
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("first"));
        editor->Text1->setText("gold ring");
        editor->Command1_Click();
        QCOMPARE(program->database(),
                 crlf({"gold ring", "first|", "sword", "sharp|", "ring", "second|", "shield", "round|"}));

        editor = edit(2);
        QCOMPARE(editor->Label3->text(), QStringLiteral("2"));
        editor->Text2->setPlainText("third");
        editor->Command1_Click();
        QCOMPARE(program->database(),
                 crlf({"gold ring", "first|", "sword", "sharp|", "ring", "third|", "shield", "round|"}));
        VERIFY_TABLE(*program);
    }

    void afterASearchTheHitsOwnRecordIsEdited()
    {
        start();
        search("ring");
        QCOMPARE(program->listed(), (QStringList{"ring", "ring"}));
        Form2 *editor = edit(1);
        QCOMPARE(editor->Text2->toPlainText(), QStringLiteral("second"));
        QCOMPARE(editor->Label3->text(), QStringLiteral("2"));
        editor->Text2->setPlainText("silver");
        editor->Command1_Click();
        QCOMPARE(program->database(),
                 crlf({"ring", "first|", "sword", "sharp|", "ring", "silver|", "shield", "round|"}));
        // The whole database is listed again.
        QCOMPARE(program->listed().size(), 4);
        VERIFY_TABLE(*program);
    }

    void anUnchangedUpdateWritesTheRecordBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("database");
        QTest::newRow("one line") << crlf({"ring", "gold|"});
        QTest::newRow("empty last line") << crlf({"ring", "gold||"});
        QTest::newRow("empty description") << crlf({"", "|"});
        QTest::newRow("no description at all") << crlf({"ring", ""});
        QTest::newRow("no final bar") << crlf({"ring", "gold|old"});
        QTest::newRow("lone LF in the texts") << crlf({"ri\nng", "go\nld|"});
        QTest::newRow("trailing blanks") << crlf({"ring ", "Weight 0 |"});
        QTest::newRow("Windows-1252 bytes") << crlf({"caf\xE9", "\x80 5|\x81|"});
    }
    void anUnchangedUpdateWritesTheRecordBackByteForByte()
    {
        QFETCH(QByteArray, database);
        const QByteArray before = crlf({"axe", "heavy|"});
        start(before + database);
        for (int round = 0; round < 2; ++round) {
            edit(1)->Command1_Click();
            QCOMPARE(program->database(), before + database);
        }
    }

    void aFileChangedMeanwhileIsNotWritten()
    {
        start();
        Form2 *editor = edit(2);
        editor->Text2->setPlainText("third");
        const QByteArray changed = crlf({"sword", "sharp|", "ring", "second|", "shield", "round|"});
        program->folder.write("database.txt", changed);
        dialogs.expectMessage(kRecordChanged);
        editor->Command1_Click();
        QCOMPARE(program->database(), changed);
        QVERIFY(editor->isVisible());

        // The database was switched meanwhile to one without that item.
        program->folder.write("other.txt", crlf({"ring", "first|"}));
        program->state.selectDatabase("other", "other.txt");
        dialogs.expectMessage(kRecordChanged);
        editor->Command1_Click();
        QCOMPARE(program->folder.read("other.txt"), crlf({"ring", "first|"}));
    }

    void failuresAreShownAndTheDatabaseKeepsItsItems()
    {
        start();
        Form2 *editor = edit(1);
        editor->Text1->setText(QString::fromUtf8("\u2603"));
        dialogs.expectMessage(QStringLiteral(
            "Unanticipated error #5  Description: Invalid argument: the text holds the character \"\u2603\" (U+2603), "
            "which cannot be stored in the program's files; nothing was written   Source: Gearledger"));
        editor->Command1_Click();
        QCOMPARE(program->database(), kTwins);

        editor->Text1->setText("long sword");
        QVERIFY(program->failedRewriteMessage(20).startsWith("Unanticipated error #75  Description: "));
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
