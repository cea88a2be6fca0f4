// Deleting the selected item: exactly its own record leaves the file, and the
// item table follows in place.
#include "support/started_program.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTest>

namespace {
const QByteArray kFive = crlf({"one", "1|", "two", "2|", "three", "3|", "four", "4|", "five", "5|"});
const QByteArray kTwins = crlf({"ring", "first|", "sword", "sharp|", "ring", "second|", "shield", "round|"});
const QString kNoSelection = QStringLiteral("No item is selected!");
const QString kRecordChanged = QStringLiteral(
    "The selected item is no longer at its place in the database file: the file has been changed since the list "
    "was filled.  Nothing was deleted.  Press Show All and select the item again.");
} // namespace

class DeleteTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;

    void start(const QByteArray &database)
    {
        program = std::make_unique<StartedProgram>(dialogs, database);
    }

    void deleteEntry(int position)
    {
        program->form->selectIndex(position);
        program->form->mnuDel->trigger();
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

    void deletingTheThirdOfFiveKeepsTheOthersInOrderWithoutAQuestion()
    {
        start(kFive);
        deleteEntry(2);
        QCOMPARE(program->database(), crlf({"one", "1|", "two", "2|", "four", "4|", "five", "5|"}));
        QCOMPARE(program->listed(), (QStringList{"one", "two", "four", "five"}));
        QCOMPARE(program->form->Label1->text(), QStringLiteral("4 items in database"));
        QVERIFY(program->form->Text1->toPlainText().isEmpty());
        VERIFY_TABLE(*program);

        // Nothing stays selected, so a second Delete takes nothing.
        QCOMPARE(program->form->selectedIndex(), -1);
        dialogs.expectMessage(kNoSelection);
        program->form->mnuDel->trigger();
        QCOMPARE(program->listed().size(), 4);
        // Selecting shows the right description after the shift.
        program->form->selectIndex(2);
        QCOMPARE(program->form->Text1->toPlainText(), QStringLiteral("4\n"));
    }

    void ofTwoRecordsNamedAlikeOnlyTheSelectedOneGoes()
    {
        start(kTwins);
        deleteEntry(2);
        QCOMPARE(program->database(), crlf({"ring", "first|", "sword", "sharp|", "shield", "round|"}));
        VERIFY_TABLE(*program);
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"sword", "sharp|", "shield", "round|"}));
        QCOMPARE(program->listed(), (QStringList{"sword", "shield"}));
        VERIFY_TABLE(*program);
    }

    void afterASearchTheHitsOwnRecordGoesAndTheHitsStay()
    {
        start(kTwins);
        search("s");
        QCOMPARE(program->listed(), (QStringList{"sword", "shield"}));
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"ring", "first|", "ring", "second|", "shield", "round|"}));
        QCOMPARE(program->listed(), QStringList{"shield"});
        QCOMPARE(program->form->Label1->text(), QStringLiteral("1 items in database"));
        VERIFY_TABLE(*program);
        // The remaining hit now names record 2 and can be deleted in turn.
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"ring", "first|", "ring", "second|"}));
        QVERIFY(program->listed().isEmpty());
        VERIFY_TABLE(*program);
    }

    void deletingTheOnlyItemLeavesAnEmptyFile()
    {
        start(crlf({"ring", "gold|"}));
        deleteEntry(0);
        QCOMPARE(program->database(), QByteArray());
        QVERIFY(program->listed().isEmpty());
        QCOMPARE(program->form->Label1->text(), QStringLiteral("0 items in database"));
        VERIFY_TABLE(*program);
    }

    void withoutASelectionNothingIsTouched()
    {
        start(kFive);
        dialogs.expectMessage(kNoSelection);
        program->form->mnuDel->trigger();
        QCOMPARE(program->database(), kFive);
        QCOMPARE(program->listed().size(), 5);
    }

    void aFileChangedSinceTheListingIsNotWritten()
    {
        start(kTwins);
        const QByteArray changed = crlf({"sword", "sharp|", "ring", "first|"});
        program->folder.write("database.txt", changed);
        dialogs.expectMessage(kRecordChanged);
        deleteEntry(0);
        QCOMPARE(program->database(), changed);
        QCOMPARE(program->listed().size(), 4);
    }

    void aDatabaseThatCannotBeWrittenKeepsItsItemsAndTheList()
    {
        start(kFive);
        dialogs.expectMessage(program->failedRewriteMessage(10));
        {
            const WriteLimit full(10);
            deleteEntry(1);
        }
        QCOMPARE(program->database(), kFive);
        QCOMPARE(program->listed().size(), 5);
        VERIFY_TABLE(*program);

        program->folder.write("database.txt", crlf({"one", "1|", "two"}));
        dialogs.expectMessage(QStringLiteral("Unanticipated error #62  Description: Input past end of file "
                                             "(database.txt, after line 3)   Source: Gearledger"));
        deleteEntry(0);
        QCOMPARE(program->database(), crlf({"one", "1|", "two"}));
    }
};

QTEST_MAIN(DeleteTest)
#include "delete_test.moc"
