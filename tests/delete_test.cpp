// Deleting the selected item: exactly its own record leaves the file, and the
// item table follows in place.
#include "support/started_program.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTest>

namespace {
const QByteArray kTwins = crlf({"ring", "first|", "ring", "second|", "sword", "sharp|", "shield", "round|"});
} // namespace

class DeleteTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    void deleteEntry(int position)
    {
        program->form->selectIndex(position);
        program->form->mnuDel->trigger();
    }

private slots:
    void init() { dialogs.reset(); program = std::make_unique<StartedProgram>(dialogs, kTwins); }
    void cleanup() { program.reset(); VERIFY_DIALOGS(dialogs); }

    void onlyTheSelectedEntrysOwnRecordGoesAlsoAfterASearch()
    {
        deleteEntry(1); // the later of two rings, without a question
        QCOMPARE(program->database(), crlf({"ring", "first|", "sword", "sharp|", "shield", "round|"}));
        QVERIFY(program->form->Text1->toPlainText().isEmpty());
        VERIFY_TABLE(*program);
        // Nothing stays selected, so a second Delete takes nothing.
        dialogs.expectMessage(QStringLiteral("No item is selected!"));
        program->form->mnuDel->trigger();

        program->search("s");
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"ring", "first|", "shield", "round|"}));
        QCOMPARE(program->listed(), QStringList{"shield"});
        deleteEntry(0); // the remaining hit now names record 1
        program->form->list_all();
        deleteEntry(0);
        QCOMPARE(program->database(), QByteArray());
    }

    void aChangedOrUnwritableFileKeepsItsItems()
    {
        dialogs.expectMessage(program->failedRewriteMessage(10));
        withWritesLimitedTo(10, [&] { deleteEntry(1); });
        QCOMPARE(program->database(), kTwins);

        const QByteArray changed = crlf({"sword", "sharp|", "ring", "first|"});
        program->folder.write("database.txt", changed);
        dialogs.expectMessage(QStringLiteral(
            "The selected item is no longer at its place in the database file: the file has been changed since the "
            "list was filled.  Nothing was deleted.  Press Show All and select the item again."));
        deleteEntry(0);
        QCOMPARE(program->database(), changed);

        program->folder.write("database.txt", crlf({"ring", "first|", "sword"}));
        dialogs.expectMessage(QStringLiteral("Unanticipated error #62  Description: Input past end of file "
                                             "(database.txt, after line 3)   Source: Gearledger"));
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"ring", "first|", "sword"}));
    }
};

QTEST_MAIN(DeleteTest)
#include "delete_test.moc"
