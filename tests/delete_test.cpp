// Deleting the selected item: exactly its own record leaves the file, and the
// item table follows in place.
#include "support/started_program.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTest>

namespace {
const QByteArray kTwins = crlf({"ring", "first|", "sword", "sharp|", "ring", "second|", "shield", "round|"});
} // namespace

class DeleteTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    void start(const QByteArray &database) { program = std::make_unique<StartedProgram>(dialogs, database); }

    void deleteEntry(int position)
    {
        program->form->selectIndex(position);
        program->form->mnuDel->trigger();
    }

private slots:
    void init() { dialogs.reset(); start(kTwins); }
    void cleanup() { program.reset(); VERIFY_DIALOGS(dialogs); }

    void deletingTheThirdOfFiveKeepsTheOthersInOrderWithoutAQuestion()
    {
        start(crlf({"one", "1|", "two", "2|", "three", "3|", "four", "4|", "five", "5|"}));
        deleteEntry(2);
        QCOMPARE(program->database(), crlf({"one", "1|", "two", "2|", "four", "4|", "five", "5|"}));
        QCOMPARE(program->listed(), (QStringList{"one", "two", "four", "five"}));
        QVERIFY(program->form->Text1->toPlainText().isEmpty());
        VERIFY_TABLE(*program);
        // Nothing stays selected, so a second Delete takes nothing.
        dialogs.expectMessage(QStringLiteral("No item is selected!"));
        program->form->mnuDel->trigger();
        QCOMPARE(program->listed().size(), 4);
        program->form->selectIndex(2);
        QCOMPARE(program->form->Text1->toPlainText(), QStringLiteral("4\n"));
    }

    void ofRecordsNamedAlikeOnlyTheSelectedOneGoesDownToAnEmptyFile()
    {
        deleteEntry(2);
        QCOMPARE(program->database(), crlf({"ring", "first|", "sword", "sharp|", "shield", "round|"}));
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"sword", "sharp|", "shield", "round|"}));
        VERIFY_TABLE(*program);
        deleteEntry(0);
        deleteEntry(0);
        QCOMPARE(program->database(), QByteArray());
        QCOMPARE(program->form->Label1->text(), QStringLiteral("0 items in database"));
        VERIFY_TABLE(*program);
    }

    void afterASearchTheHitsOwnRecordGoesAndTheHitsStay()
    {
        program->search("s");
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"ring", "first|", "ring", "second|", "shield", "round|"}));
        QCOMPARE(program->listed(), QStringList{"shield"});
        VERIFY_TABLE(*program);
        // The remaining hit now names record 2 and can be deleted in turn.
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"ring", "first|", "ring", "second|"}));
        VERIFY_TABLE(*program);
    }

    void aChangedOrUnwritableFileKeepsItsItemsAndTheList()
    {
        dialogs.expectMessage(program->failedRewriteMessage(10));
        {
            const WriteLimit full(10);
            deleteEntry(1);
        }
        QCOMPARE(program->database(), kTwins);
        VERIFY_TABLE(*program);

        const QByteArray changed = crlf({"sword", "sharp|", "ring", "first|"});
        program->folder.write("database.txt", changed);
        dialogs.expectMessage(QStringLiteral(
            "The selected item is no longer at its place in the database file: the file has been changed since the "
            "list was filled.  Nothing was deleted.  Press Show All and select the item again."));
        deleteEntry(0);
        QCOMPARE(program->database(), changed);
        QCOMPARE(program->listed().size(), 4);

        program->folder.write("database.txt", crlf({"ring", "first|", "sword"}));
        dialogs.expectMessage(QStringLiteral("Unanticipated error #62  Description: Input past end of file "
                                             "(database.txt, after line 3)   Source: Gearledger"));
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"ring", "first|", "sword"}));
    }
};

QTEST_MAIN(DeleteTest)
#include "delete_test.moc"
