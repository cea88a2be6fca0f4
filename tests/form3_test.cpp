// The Current Database window: choosing, creating and removing databases.
#include "catalogue/form3.h"
#include "catalogue/picture_button.h"
#include "support/started_program.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {
const QString kNamePrompt =
    QStringLiteral("Please enter a name for your new database. (Do not use symbols, only letters and numbers)");
const QString kMustSelect = QStringLiteral("You must select a proper database");
const QString kNoEntry = QStringLiteral("A proper database must be selected");
const QString kPrimary = QStringLiteral("You cannot delete the primary database");
const QByteArray kSeed = "1\r\ndatabase\r\ndatabase.txt\r\n";
const QByteArray kThree = crlf({" 3 ", "database", "database.txt", "weapons", "weapons.txt", "armour", "armour.txt"});

QString removeQuestion(const QString &name)
{
    return QStringLiteral("Do you want to remove the database ") + name + QStringLiteral(" and erase all its contents?");
}

// A catalogue whose count line says `count`, holding "database" and db2..db51.
QByteArray catalogueOf(int count)
{
    QByteArray bytes = " " + QByteArray::number(count) + " \r\ndatabase\r\ndatabase.txt\r\n";
    for (int i = 2; i <= 51; ++i)
        bytes += "db" + QByteArray::number(i) + "\r\ndb" + QByteArray::number(i) + ".txt\r\n";
    return bytes;
}
} // namespace

class Form3Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;
    QPointer<Form3> form;

    // Writes the catalogue (unless null) and opens the window from the main menu.
    void open(const QByteArray &catalogue)
    {
        if (!catalogue.isNull())
            program->folder.write("datalist.txt", catalogue);
        program->form->mnuCurrDatabase_Click();
        form = program->form->windows().find<Form3>();
    }
    QByteArray file(const QString &name) const { return program->folder.read(name); }
    QStringList files() const { return QDir(program->folder.path()).entryList(QDir::Files | QDir::Hidden); }
    QString currentFile() const { return program->state.current_db_file; }
    void type(const QString &text) { form->Combo1->setEditText(text); }
    bool stillOpen() const { return form && form->isVisible(); }

private slots:
    void init()
    {
        dialogs.reset();
        program = std::make_unique<StartedProgram>(dialogs, crlf({"alpha", "a|", "beta", "b|"}));
        program->folder.write("weapons.txt", crlf({"sword", "sharp|"}));
        program->folder.write("armour.txt", crlf({"helm", "hard|", "boots", "soft|", "ring", "round|"}));
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        program.reset();
    }

    void aMissingCatalogueIsSeededAndThePicturesAnswerTheKeyboard()
    {
        dialogs.expectMessage("Could not open the datalist.txt file, this file will be created.");
        open(QByteArray());
        QCOMPARE(file("datalist.txt"), kSeed);
        QCOMPARE(form->Combo1->count(), 1);
        QCOMPARE(form->Combo1->currentText(), QStringLiteral("database"));

        QCOMPARE(form->imgCreate->toolTip(), QStringLiteral("Add new database"));
        QCOMPARE(form->imgRemove->toolTip(), QStringLiteral("Delete current database"));
        for (PictureButton *picture : {form->imgCreate, form->imgRemove}) {
            QCOMPARE(picture->accessibleName(), picture->toolTip());
            QCOMPARE(picture->cursor().shape(), Qt::UpArrowCursor);
            QCOMPARE(picture->sizeHint(), QSize(32, 32)); // the picture itself was found
        }
        QCOMPARE(form->Command2->nextInFocusChain(), static_cast<QWidget *>(form->imgCreate));
        QCOMPARE(form->imgCreate->nextInFocusChain(), static_cast<QWidget *>(form->imgRemove));
        dialogs.expectInput(kNamePrompt, "");
        QTest::keyClick(form->imgCreate, Qt::Key_Return);
        dialogs.expectMessage(kPrimary);
        QTest::keyClick(form->imgRemove, Qt::Key_Space);
        QTest::keyClick(form, Qt::Key_Escape);
        QTRY_VERIFY(!form);
    }

    void theLastEntryOfTheCurrentFileIsPreselectedOrNone()
    {
        open(crlf({"3", "main", "database.txt", "weapons", "weapons.txt", "again", "database.txt"}));
        QCOMPARE(form->Combo1->currentIndex(), 2);
        QCOMPARE(form->Combo1->currentText(), QStringLiteral("again"));
        form->close();
        QTRY_VERIFY(!form);
        open(crlf({" 1 ", "weapons", "weapons.txt"}));
        QCOMPARE(form->Combo1->currentIndex(), -1);
        QCOMPARE(form->Combo1->currentText(), QString());
    }

    void okMakesOnlyAnExactlyCataloguedNameCurrent()
    {
        open(kThree);
        type("");
        dialogs.expectMessage(kMustSelect);
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        type("Weapons");
        dialogs.expectMessage(kNoEntry);
        form->Command2_Click();
        QVERIFY(stillOpen());
        QCOMPARE(currentFile(), QStringLiteral("database.txt"));

        program->form->selectIndex(1);
        QCOMPARE(program->form->Text1->toPlainText(), QStringLiteral("b\n"));
        form->Combo1->lineEdit()->selectAll();
        QTest::keyClicks(form->Combo1->lineEdit(), "armour");
        QTest::keyClick(form->Combo1->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY(!form);
        QCOMPARE(program->state.current_db_name, QStringLiteral("armour"));
        QCOMPARE(currentFile(), QStringLiteral("armour.txt"));
        VERIFY_TABLE(*program);
        QCOMPARE(program->form->Text1->toPlainText(), QString());
    }

    void creatingMydatabaseCataloguesItWithTheSampleItem()
    {
        open(kSeed);
        dialogs.expectInput(kNamePrompt, "mydatabase");
        form->imgCreate->click();
        QCOMPARE(dialogs.lastTitle, QStringLiteral("New database"));
        QCOMPARE(dialogs.lastDefaultText, QStringLiteral("mydatabase"));
        QCOMPARE(file("datalist.txt"), crlf({" 2 ", "database", "database.txt", "mydatabase", "mydatabase.txt"}));
        QCOMPARE(file("mydatabase.txt"), sampleItemBytes());
        QCOMPARE(form->Combo1->itemText(1), QStringLiteral("mydatabase"));
        QCOMPARE(form->Combo1->currentText(), QStringLiteral("database"));
        QVERIFY(stillOpen());
        QCOMPARE(currentFile(), QStringLiteral("database.txt"));

        // The new entry can be picked at once from this window's own copy.
        form->Combo1->setCurrentIndex(1);
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        QCOMPARE(program->listed(), QStringList{"small metallic ring"});
        VERIFY_TABLE(*program);
    }

    void cancelledAndRefusedNamesWriteNothing()
    {
        const QString again = QStringLiteral(" Please choose another name.");
        const auto own = [&](const char *name) {
            return QStringLiteral("The name \"%1\" would overwrite the program's own file %1.txt.").arg(name) + again;
        };
        const QString separator = "A database name cannot contain \"/\" or \"\\\"." + again;
        const std::pair<QString, QString> refusals[] = {
            {"", ""}, // Cancel: no message
            {"weapons", "There is already a database named \"weapons\"." + again},
            {"loose", "A file named loose.txt already exists in the program folder." + again},
            {"gone", "A file named gone.txt already exists in the program folder." + again}, // a catalogued file
            {"../escape", separator},
            {"a\\b", separator},
            {"..", "A database name cannot contain \"..\"." + again},
            {"a\tb", "A database name cannot contain control characters such as tabs or line breaks." + again},
            {"datalist", own("datalist")},
            {"Pref", own("Pref")},
            {"42198739", own("42198739")},
            {"snow\u2603", "A database name cannot contain the character \"\u2603\", which the program's files cannot "
                           "hold." + again}};
        const QByteArray catalogue =
            crlf({" 4 ", "database", "database.txt", "weapons", "weapons.txt", "armour", "armour.txt", "lost", "gone.txt"});
        program->folder.write("loose.txt", "mine\r\nmine\r\n");
        open(catalogue);
        const QStringList before = files();
        for (const auto &[name, message] : refusals) {
            dialogs.expectInput(kNamePrompt, name);
            if (!message.isEmpty())
                dialogs.expectMessage(message);
            form->imgCreate_Click();
        }
        QCOMPARE(file("datalist.txt"), catalogue);
        QCOMPARE(file("loose.txt"), QByteArray("mine\r\nmine\r\n"));
        QCOMPARE(file("weapons.txt"), crlf({"sword", "sharp|"}));
        QCOMPARE(files(), before);
        QCOMPARE(QDir(program->folder.path() + "/..").entryList({"escape.txt"}), QStringList());
        QCOMPARE(form->Combo1->count(), 4);
    }

    void countLinesBeyondTheLimitsReportAndKeepTheFile_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("offeredCount");
        QTest::newRow("51") << 51 << "Unanticipated error #9" << 50;
        QTest::newRow("70000") << 70000 << "Unanticipated error #6" << 0;
        QTest::newRow("-40000") << -40000 << "Unanticipated error #6" << 0;
    }

    // The count line must always equal the entries written after it: entries
    // not read must not be lost by a rewrite from this window's copy.
    void countLinesBeyondTheLimitsReportAndKeepTheFile()
    {
        QFETCH(int, count);
        QFETCH(QString, message);
        QFETCH(int, offeredCount);
        const QByteArray bytes = catalogueOf(count);
        const QString partly = QStringLiteral("The catalogue file datalist.txt could not be read in full, so no "
                                              "database can %1 it. Please correct the file and open this window again.");
        program->folder.write("db2.txt", sampleItemBytes());
        dialogs.expectMessage(message);
        open(bytes);
        QCOMPARE(form->Combo1->count(), offeredCount);
        dialogs.expectInput(kNamePrompt, "fresh");
        dialogs.expectMessage(partly.arg("be added to"));
        form->imgCreate_Click();
        type("db2");
        dialogs.expectMessage(count == 51 ? partly.arg("be removed from") : kNoEntry);
        form->imgRemove_Click();
        QCOMPARE(file("datalist.txt"), bytes);
        QVERIFY(program->folder.exists("db2.txt"));
        QVERIFY(!program->folder.exists("fresh.txt"));
    }

    void onlyACataloguedEntryIsRemovedAndOnlyAfterYes()
    {
        program->folder.write("loose.txt", "x\r\ny\r\n");
        program->folder.write(".txt", "x\r\ny\r\n");
        program->state.selectDatabase("armour", "armour.txt");
        open(kThree);
        const QStringList before = files();
        const std::pair<const char *, QString> refusals[] = {
            {"", kMustSelect}, {"database", kPrimary}, {"pref", kNoEntry}, {"Database", kNoEntry}, {"loose", kNoEntry}};
        for (const auto &[text, message] : refusals) {
            type(text);
            dialogs.expectMessage(message);
            form->imgRemove_Click();
        }
        // No, the default of a stop question, changes nothing either.
        type("armour");
        dialogs.expectQuestion(removeQuestion("armour"), false, "Remove Database");
        form->imgRemove_Click();
        QCOMPARE(dialogs.lastIcon, Dialogs::Icon::Stop);
        QCOMPARE(dialogs.lastDefault, Dialogs::Button::No);
        QVERIFY(stillOpen());
        QCOMPARE(files(), before);
        QCOMPARE(file("datalist.txt"), kThree);

        dialogs.expectQuestion(removeQuestion("armour"), true, "Remove Database");
        dialogs.expectMessage("The database was removed");
        QTest::mouseClick(form->imgRemove, Qt::LeftButton);
        QVERIFY(!program->folder.exists("armour.txt"));
        QCOMPARE(files().size(), before.size() - 1);
        QCOMPARE(file("datalist.txt"), crlf({" 2 ", "database", "database.txt", "weapons", "weapons.txt"}));
        QCOMPARE(currentFile(), QStringLiteral("database.txt"));
        VERIFY_TABLE(*program);
        QTRY_VERIFY(!form);

        // A database whose file is already gone can still leave the catalogue.
        QVERIFY(QFile::remove(program->folder.file("weapons.txt")));
        open(QByteArray());
        type("weapons");
        dialogs.expectQuestion(removeQuestion("weapons"), true, "Remove Database");
        dialogs.expectMessage("The database was removed");
        form->imgRemove_Click();
        QCOMPARE(file("datalist.txt"), crlf({" 1 ", "database", "database.txt"}));
    }
};

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
