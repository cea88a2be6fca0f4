// The Current Database window: choosing, creating and removing databases.
#include "catalogue/form3.h"
#include "catalogue/picture_button.h"
#include "support/started_program.h"

#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {
const QString kNamePrompt =
    QStringLiteral("Please enter a name for your new database. (Do not use symbols, only letters and numbers)");
const QString kMustSelect = QStringLiteral("You must select a proper database");
const QString kNoEntry = QStringLiteral("A proper database must be selected");
const QString kAgain = QStringLiteral(" Please choose another name.");
const QByteArray kSeed = "1\r\ndatabase\r\ndatabase.txt\r\n";
} // namespace

class Form3Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;
    QPointer<Form3> form;

    // Closes the window if it is open, writes the catalogue (unless null) and
    // opens the window from the main menu.
    void open(const QByteArray &catalogue)
    {
        if (form)
            form->close();
        QTRY_VERIFY(!form);
        if (!catalogue.isNull())
            program->folder.write("datalist.txt", catalogue);
        program->form->mnuCurrDatabase_Click();
        form = program->form->windows().find<Form3>();
    }
    QByteArray file(const QString &name) const { return program->folder.read(name); }
    QStringList files() const { return QDir(program->folder.path()).entryList(QDir::Files | QDir::Hidden); }
    void type(const QString &text) { form->Combo1->setEditText(text); }
    void remove(const QString &name, bool yes)
    {
        type(name);
        dialogs.expectQuestion("Do you want to remove the database " + name + " and erase all its contents?", yes,
                               "Remove Database");
        if (yes)
            dialogs.expectMessage("The database was removed");
        QTest::mouseClick(form->imgRemove, Qt::LeftButton);
    }

private slots:
    void init()
    {
        dialogs.reset();
        program = std::make_unique<StartedProgram>(dialogs, crlf({"alpha", "a|", "beta", "b|"}));
        program->folder.write("weapons.txt", crlf({"sword", "sharp|"}));
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        program.reset();
    }

    void aMissingCatalogueIsSeededTheCurrentFileIsPreselectedAndAPartlyReadOneIsKept()
    {
        dialogs.expectMessage("Could not open the datalist.txt file, this file will be created.");
        open(QByteArray());
        QCOMPARE(form->Combo1->currentIndex(), 0);
        // The pictures were found, and the keyboard presses them.
        QVERIFY(!form->imgCreate->sizeHint().isEmpty() && !form->imgRemove->sizeHint().isEmpty());
        dialogs.expectInput(kNamePrompt, ""); // Cancel
        QTest::keyClick(form->imgCreate, Qt::Key_Return);
        dialogs.expectMessage("You cannot delete the primary database");
        QTest::keyClick(form->imgRemove, Qt::Key_Space);
        QCOMPARE(file("datalist.txt"), kSeed);
        QTest::keyClick(form, Qt::Key_Escape);
        QTRY_VERIFY(!form);

        open(crlf({"3", "main", "database.txt", "weapons", "weapons.txt", "again", "database.txt"}));
        QCOMPARE(form->Combo1->currentIndex(), 2);
        open(crlf({" 1 ", "weapons", "weapons.txt"}));
        QCOMPARE(form->Combo1->currentIndex(), -1);
        form->Combo1->setCurrentIndex(0); // picked
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        QCOMPARE(program->listed(), QStringList{"sword"});

        // Count lines beyond the limits: the count line must always equal the
        // entries written after it, so a catalogue not read in full is never rewritten.
        const QString partly = QStringLiteral("The catalogue file datalist.txt could not be read in full, so no "
                                              "database can %1 it. Please correct the file and open this window again.");
        QByteArray entries = "database\r\ndatabase.txt\r\n";
        for (int i = 2; i <= 51; ++i)
            entries += "db" + QByteArray::number(i) + "\r\ndb" + QByteArray::number(i) + ".txt\r\n";
        for (const int count : {51, 70000, -40000}) {
            const QByteArray bytes = " " + QByteArray::number(count) + " \r\n" + entries;
            dialogs.expectMessage(count == 51 ? "Unanticipated error #9" : "Unanticipated error #6");
            open(bytes);
            QCOMPARE(form->Combo1->count(), count == 51 ? 50 : 0);
            dialogs.expectInput(kNamePrompt, "fresh");
            dialogs.expectMessage(partly.arg("be added to"));
            form->imgCreate_Click();
            type("db2");
            dialogs.expectMessage(count == 51 ? partly.arg("be removed from") : kNoEntry);
            form->imgRemove_Click();
            QCOMPARE(file("datalist.txt"), bytes);
        }
    }

    void aNewDatabaseStartsWithTheSampleAndOkTakesOnlyAnExactlyCataloguedName()
    {
        open(kSeed);
        dialogs.expectInput(kNamePrompt, "mydatabase");
        form->imgCreate->click();
        QCOMPARE(dialogs.lastDefaultText, QStringLiteral("mydatabase"));
        QCOMPARE(dialogs.lastTitle, QStringLiteral("New database"));
        QCOMPARE(file("datalist.txt"), crlf({" 2 ", "database", "database.txt", "mydatabase", "mydatabase.txt"}));
        QCOMPARE(file("mydatabase.txt"), sampleItemBytes());
        QCOMPARE(form->Combo1->itemText(1), QStringLiteral("mydatabase"));
        QCOMPARE(form->Combo1->currentText(), QStringLiteral("database"));

        type("");
        dialogs.expectMessage(kMustSelect);
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        type("Mydatabase");
        dialogs.expectMessage(kNoEntry);
        form->Command2_Click();
        QCOMPARE(program->state.current_db_file, QStringLiteral("database.txt"));

        // The new name, typed: this window's own copy knows it already.
        program->form->selectIndex(1);
        type("mydatabase");
        QTest::keyClick(form->Combo1->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY(!form);
        QCOMPARE(program->listed(), QStringList{"small metallic ring"});
        QCOMPARE(program->form->Text1->toPlainText(), QString());
        VERIFY_TABLE(*program);
    }

    void refusedNamesWriteNothingAndOnlyACataloguedEntryIsRemovedAfterYes()
    {
        const auto own = [](const char *name) {
            return QStringLiteral("The name \"%1\" would overwrite the program's own file %1.txt.").arg(name) + kAgain;
        };
        const QString separator = "A database name cannot contain \"/\" or \"\\\"." + kAgain;
        const std::pair<QString, QString> badNames[] = {
            {"lost", "There is already a database named \"lost\"." + kAgain},
            {"loose", "A file named loose.txt already exists in the program folder." + kAgain},
            {"gone", "A file named gone.txt already exists in the program folder." + kAgain}, // catalogued, no file
            {"../escape", separator},
            {"a\\b", separator},
            {"..", "A database name cannot contain \"..\"." + kAgain},
            {"a\tb", "A database name cannot contain control characters such as tabs or line breaks." + kAgain},
            {"datalist", own("datalist")},
            {"Pref", own("Pref")},
            {"42198739", own("42198739")},
            {"snow\u2603",
             "A database name cannot contain the character \"\u2603\", which the program's files cannot hold." + kAgain}};
        const std::pair<QString, QString> badRemovals[] = {
            {"", kMustSelect}, {"pref", kNoEntry}, {"Database", kNoEntry}};
        const QByteArray catalogue =
            crlf({" 3 ", "database", "database.txt", "armour", "armour.txt", "lost", "gone.txt"});
        program->folder.write("loose.txt", "x\r\ny\r\n");
        program->folder.write(".txt", "x\r\ny\r\n");
        program->folder.write("armour.txt", "x\r\ny\r\n");
        program->state.selectDatabase("armour", "armour.txt");
        open(catalogue);
        const QStringList before = files();
        for (const auto &[name, message] : badNames) {
            dialogs.expectInput(kNamePrompt, name);
            dialogs.expectMessage(message);
            form->imgCreate_Click();
        }
        for (const auto &[text, message] : badRemovals) {
            type(text);
            dialogs.expectMessage(message);
            form->imgRemove_Click();
        }
        // No, the default of a stop question, changes nothing either.
        remove("armour", false);
        QCOMPARE(dialogs.lastIcon, Dialogs::Icon::Stop);
        QCOMPARE(dialogs.lastDefault, Dialogs::Button::No);
        QCOMPARE(files(), before);
        QCOMPARE(file("datalist.txt"), catalogue);

        remove("armour", true);
        QCOMPARE(files(), before.filter(QRegularExpression("^(?!armour)")));
        QCOMPARE(file("datalist.txt"), crlf({" 2 ", "database", "database.txt", "lost", "gone.txt"}));
        QCOMPARE(program->state.current_db_file, QStringLiteral("database.txt"));
        VERIFY_TABLE(*program);
        QTRY_VERIFY(!form);
        // A database whose file is already gone can still leave the catalogue.
        open(QByteArray());
        remove("lost", true);
        QCOMPARE(file("datalist.txt"), crlf({" 1 ", "database", "database.txt"}));
    }
};

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
