// The Current Database window: choosing, creating and removing databases.
#include "app/module1.h"
#include "catalogue/form3.h"
#include "catalogue/picture_button.h"
#include "main_window/form1.h"
#include "main_window/item_list_model.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QString kCreated = QStringLiteral("Could not open the datalist.txt file, this file will be created.");
const QString kNamePrompt =
    QStringLiteral("Please enter a name for your new database. (Do not use symbols, only letters and numbers)");
const QByteArray kSeed = "1\r\ndatabase\r\ndatabase.txt\r\n";
const QByteArray kThree = crlf({" 3 ", "database", "database.txt", "weapons", "weapons.txt", "armour", "armour.txt"});

QString removeQuestion(const QString &name)
{
    return QStringLiteral("Do you want to remove the database ") + name + QStringLiteral(" and erase all its contents?");
}
} // namespace

class Form3Test : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Module1> state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> main;
    QPointer<Form3> form;

    // The main window started on a folder whose primary database holds two items.
    void startMain()
    {
        folder->write("pref.txt", crlf({"0", "65280", "65280"}));
        folder->write("database.txt", crlf({"alpha", "a|", "beta", "b|"}));
        folder->write("weapons.txt", crlf({"sword", "sharp|"}));
        folder->write("armour.txt", crlf({"helm", "hard|", "boots", "soft|", "ring", "round|"}));
        state = std::make_unique<Module1>(folder->path());
        main = std::make_unique<Form1>(*state, dialogs);
        main->startUp();
    }

    // Opens the window from the main menu (Ctrl+Z).
    Form3 *open()
    {
        main->mnuCurrDatabase_Click();
        form = main->windows().find<Form3>();
        return form;
    }

    QStringList offered() const
    {
        QStringList names;
        for (int i = 0; i < form->Combo1->count(); ++i)
            names.append(form->Combo1->itemText(i));
        return names;
    }

    void type(const QString &text) { form->Combo1->setEditText(text); }
    QStringList listed() const { return main->listModel()->names(); }
    bool closed() const { return !form || !form->isVisible(); }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        dialogs.reset();
        startMain();
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        main.reset();
        state.reset();
    }

    void theWindowIsBuiltAsDesigned()
    {
        folder->write("datalist.txt", kThree);
        open();
        QCOMPARE(form->windowTitle(), QStringLiteral("Current Database"));
        QCOMPARE(form->Label1->text(), QStringLiteral("Current Database:"));
        QCOMPARE(form->Command2->text(), QStringLiteral("OK"));
        QVERIFY(form->Command2->isDefault());
        QVERIFY(form->Combo1->isEditable());
        QCOMPARE(form->imgCreate->toolTip(), QStringLiteral("Add new database"));
        QCOMPARE(form->imgRemove->toolTip(), QStringLiteral("Delete current database"));
        for (PictureButton *picture : {form->imgCreate, form->imgRemove}) {
            QCOMPARE(picture->accessibleName(), picture->toolTip());
            QCOMPARE(picture->cursor().shape(), Qt::UpArrowCursor);
            QCOMPARE(picture->size(), QSize(32, 32));
            QCOMPARE(picture->sizeHint(), QSize(32, 32)); // the picture itself was found
            QVERIFY(picture->focusPolicy() & Qt::TabFocus);
        }
        QVERIFY(!form->Combo1->accessibleName().isEmpty());
        // The pictures follow the OK button in the tab order.
        QCOMPARE(form->Command2->nextInFocusChain(), static_cast<QWidget *>(form->imgCreate));
        QCOMPARE(form->imgCreate->nextInFocusChain(), static_cast<QWidget *>(form->imgRemove));
        // Opening it again brings the same window forward.
        main->mnuCurrDatabase_Click();
        QCOMPARE(main->windows().find<Form3>(), form.data());
    }

    void aMissingCatalogueIsSeededAndOffersTheSelectedPrimary()
    {
        dialogs.expectMessage(kCreated);
        open();
        QCOMPARE(folder->read("datalist.txt"), kSeed);
        QCOMPARE(offered(), QStringList{"database"});
        QCOMPARE(form->Combo1->currentIndex(), 0);
        QCOMPARE(form->Combo1->currentText(), QStringLiteral("database"));
    }

    void theLaterOfTwoEntriesForTheCurrentFileIsPreselected()
    {
        folder->write("datalist.txt", crlf({"3", "main", "database.txt", "weapons", "weapons.txt", "again", "database.txt"}));
        open();
        QCOMPARE(offered(), (QStringList{"main", "weapons", "again"}));
        QCOMPARE(form->Combo1->currentIndex(), 2);
        QCOMPARE(form->Combo1->currentText(), QStringLiteral("again"));
    }

    void aCatalogueWithoutTheCurrentFilePreselectsNothing()
    {
        folder->write("datalist.txt", crlf({" 1 ", "weapons", "weapons.txt"}));
        open();
        QCOMPARE(offered(), QStringList{"weapons"});
        QCOMPARE(form->Combo1->currentIndex(), -1);
        QCOMPARE(form->Combo1->currentText(), QString());
    }

    void okRefusesAnEmptyOrUnknownName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "" << "You must select a proper database";
        QTest::newRow("wrong case") << "Weapons" << "A proper database must be selected";
        QTest::newRow("unknown") << "shields" << "A proper database must be selected";
    }

    void okRefusesAnEmptyOrUnknownName()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        folder->write("datalist.txt", kThree);
        open();
        type(text);
        dialogs.expectMessage(message);
        QTest::mouseClick(form->Command2, Qt::LeftButton);
        QVERIFY(!closed());
        QCOMPARE(state->current_db_file, QStringLiteral("database.txt"));
        QCOMPARE(listed(), (QStringList{"alpha", "beta"}));
    }

    void okWithATypedOrPickedNameMakesItCurrent_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("typed, Enter") << true;
        QTest::newRow("picked") << false;
    }

    void okWithATypedOrPickedNameMakesItCurrent()
    {
        QFETCH(bool, typed);
        folder->write("datalist.txt", kThree);
        open();
        main->selectIndex(1);
        QCOMPARE(main->Text1->toPlainText(), QStringLiteral("b\n"));
        if (typed) {
            form->Combo1->lineEdit()->selectAll();
            QTest::keyClicks(form->Combo1->lineEdit(), "armour");
            QTest::keyClick(form->Combo1->lineEdit(), Qt::Key_Return);
        } else {
            form->Combo1->setCurrentIndex(2);
            QTest::mouseClick(form->Command2, Qt::LeftButton);
        }
        QTRY_VERIFY(!form);
        QCOMPARE(state->current_db_name, QStringLiteral("armour"));
        QCOMPARE(state->current_db_file, QStringLiteral("armour.txt"));
        QCOMPARE(listed(), (QStringList{"helm", "boots", "ring"}));
        QCOMPARE(main->Label1->text(), QStringLiteral("3 items in armour"));
        QCOMPARE(main->Text1->toPlainText(), QString());
        QCOMPARE(folder->read("datalist.txt"), kThree);
    }

    void creatingMydatabaseCataloguesItWithTheSampleItem()
    {
        folder->write("datalist.txt", kSeed);
        open();
        dialogs.expectInput(kNamePrompt, "mydatabase");
        form->imgCreate->click();
        QCOMPARE(dialogs.lastTitle, QStringLiteral("New database"));
        QCOMPARE(dialogs.lastDefaultText, QStringLiteral("mydatabase"));
        QCOMPARE(folder->read("datalist.txt"),
                 crlf({" 2 ", "database", "database.txt", "mydatabase", "mydatabase.txt"}));
        QCOMPARE(folder->read("mydatabase.txt"), sampleItemBytes());
        QCOMPARE(offered(), (QStringList{"database", "mydatabase"}));
        QCOMPARE(form->Combo1->currentText(), QStringLiteral("database"));
        QVERIFY(!closed());
        QCOMPARE(state->current_db_file, QStringLiteral("database.txt"));
        QCOMPARE(listed(), (QStringList{"alpha", "beta"}));

        // The new entry can be chosen at once from this window's own copy.
        type("mydatabase");
        form->Command2_Click();
        QCOMPARE(listed(), QStringList{"small metallic ring"});
        QCOMPARE(main->Label1->text(), QStringLiteral("1 items in mydatabase"));
    }

    void cancelOrAnEmptyNameCreatesNothing()
    {
        folder->write("datalist.txt", kSeed);
        open();
        dialogs.expectInput(kNamePrompt, "");
        form->imgCreate_Click();
        QCOMPARE(folder->read("datalist.txt"), kSeed);
        QCOMPARE(offered(), QStringList{"database"});
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files).size(), 5);
    }

    void refusedNamesWriteNothing_data()
    {
        const QString again = QStringLiteral(" Please choose another name.");
        const auto own = [&](const char *name) {
            return QStringLiteral("The name \"%1\" would overwrite the program's own file %1.txt.").arg(name) + again;
        };
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("display name") << "weapons" << "There is already a database named \"weapons\"." + again;
        QTest::newRow("existing file") << "loose" << "A file named loose.txt already exists in the program folder." + again;
        const QString separator = "A database name cannot contain \"/\" or \"\\\"." + again;
        QTest::newRow("slash") << "../escape" << separator;
        QTest::newRow("backslash") << "a\\b" << separator;
        QTest::newRow("dots") << ".." << "A database name cannot contain \"..\"." + again;
        QTest::newRow("control") << "a\tb"
                                 << "A database name cannot contain control characters such as tabs or line breaks."
                                        + again;
        QTest::newRow("catalogue") << "datalist" << own("datalist");
        QTest::newRow("catalogue, other case") << "DATALIST" << own("DATALIST");
        QTest::newRow("colours") << "Pref" << own("Pref");
        QTest::newRow("scratch") << "42198739" << own("42198739");
        QTest::newRow("not Windows-1252") << QString("snow\u2603")
                                          << QString("A database name cannot contain the character \"\u2603\", which "
                                                     "the program's files cannot hold.") + again;
    }

    void refusedNamesWriteNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        folder->write("datalist.txt", kThree);
        folder->write("loose.txt", "mine\r\nmine\r\n");
        const QStringList before = QDir(folder->path()).entryList(QDir::Files);
        open();
        dialogs.expectInput(kNamePrompt, name);
        dialogs.expectMessage(message);
        form->imgCreate_Click();
        QCOMPARE(folder->read("datalist.txt"), kThree);
        QCOMPARE(folder->read("loose.txt"), QByteArray("mine\r\nmine\r\n"));
        QCOMPARE(folder->read("weapons.txt"), crlf({"sword", "sharp|"}));
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files), before);
        QCOMPARE(QDir(folder->path() + "/..").entryList({"escape.txt"}), QStringList());
        QCOMPARE(offered(), (QStringList{"database", "weapons", "armour"}));
    }

    void aFiftyFirstDatabaseIsRefused()
    {
        QByteArray fifty = " 50 \r\ndatabase\r\ndatabase.txt\r\n";
        for (int i = 2; i <= 50; ++i)
            fifty += "db" + QByteArray::number(i) + "\r\ndb" + QByteArray::number(i) + ".txt\r\n";
        folder->write("datalist.txt", fifty);
        open();
        QCOMPARE(offered().size(), 50);
        dialogs.expectInput(kNamePrompt, "one more");
        dialogs.expectMessage("The catalogue already holds 50 databases, the most it can keep. "
                              "Please remove a database before creating a new one.");
        form->imgCreate_Click();
        QCOMPARE(folder->read("datalist.txt"), fifty);
        QVERIFY(!folder->exists("one more.txt"));
    }

    void countLinesOf51And70000ReportAndKeepTheFile_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("offeredCount");
        QTest::newRow("51") << 51 << "Unanticipated error #9" << 50;
        QTest::newRow("70000") << 70000 << "Unanticipated error #6" << 0;
    }

    void countLinesOf51And70000ReportAndKeepTheFile()
    {
        QFETCH(int, count);
        QFETCH(QString, message);
        QFETCH(int, offeredCount);
        QByteArray bytes = " " + QByteArray::number(count) + " \r\ndatabase\r\ndatabase.txt\r\n";
        for (int i = 2; i <= 51; ++i)
            bytes += "db" + QByteArray::number(i) + "\r\ndb" + QByteArray::number(i) + ".txt\r\n";
        folder->write("datalist.txt", bytes);
        folder->write("db2.txt", sampleItemBytes());
        dialogs.expectMessage(message);
        open();
        QCOMPARE(offered().size(), offeredCount);

        // The entries not read must not be lost by a rewrite from this copy.
        dialogs.expectInput(kNamePrompt, "fresh");
        dialogs.expectMessage("The catalogue file datalist.txt could not be read in full, so no database can be added "
                              "to it. Please correct the file and open this window again.");
        form->imgCreate_Click();
        type("db2");
        dialogs.expectMessage(count == 51 ? QStringLiteral("The catalogue file datalist.txt could not be read in full, "
                                                           "so no database can be removed from it. Please correct "
                                                           "the file and open this window again.")
                                          : QStringLiteral("A proper database must be selected"));
        form->imgRemove_Click();
        QCOMPARE(folder->read("datalist.txt"), bytes);
        QVERIFY(folder->exists("db2.txt"));
        QVERIFY(!folder->exists("fresh.txt"));
    }

    void thePrimaryDatabaseCannotBeRemoved()
    {
        folder->write("datalist.txt", kThree);
        open();
        dialogs.expectMessage("You cannot delete the primary database");
        form->imgRemove_Click();
        QVERIFY(!closed());
        QCOMPARE(folder->read("datalist.txt"), kThree);
        QVERIFY(folder->exists("database.txt"));
    }

    void removingAfterYesDeletesTheFileAndMakesThePrimaryCurrent()
    {
        folder->write("datalist.txt", kThree);
        open();
        type("armour");
        form->Command2_Click();
        QCOMPARE(main->Label1->text(), QStringLiteral("3 items in armour"));
        QTRY_VERIFY(!form);

        open();
        QCOMPARE(form->Combo1->currentText(), QStringLiteral("armour"));
        dialogs.expectQuestion(removeQuestion("armour"), true, "Remove Database");
        dialogs.expectMessage("The database was removed");
        QTest::mouseClick(form->imgRemove, Qt::LeftButton);
        QCOMPARE(dialogs.lastIcon, Dialogs::Icon::None);
        QVERIFY(!folder->exists("armour.txt"));
        QVERIFY(folder->exists("weapons.txt"));
        QCOMPARE(folder->read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "weapons", "weapons.txt"}));
        QCOMPARE(state->current_db_name, QStringLiteral("database"));
        QCOMPARE(state->current_db_file, QStringLiteral("database.txt"));
        QCOMPARE(listed(), (QStringList{"alpha", "beta"}));
        QVERIFY(main->Label1->text().endsWith(" items in database"));
        QTRY_VERIFY(!form);
    }

    void theQuestionIsAStopQuestionWithNoAsDefaultAndNoChangesNothing()
    {
        folder->write("datalist.txt", kThree);
        open();
        type("weapons");
        dialogs.expectQuestion(removeQuestion("weapons"), false, "Remove Database");
        form->imgRemove_Click();
        QCOMPARE(dialogs.lastIcon, Dialogs::Icon::Stop);
        QCOMPARE(dialogs.lastDefault, Dialogs::Button::No);
        QVERIFY(!closed());
        QVERIFY(folder->exists("weapons.txt"));
        QCOMPARE(folder->read("datalist.txt"), kThree);
    }

    void removingATextThatNamesNoEntryDeletesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("program file") << "pref" << "A proper database must be selected";
        QTest::newRow("primary in other case") << "Database" << "A proper database must be selected";
        QTest::newRow("loose file") << "loose" << "A proper database must be selected";
        QTest::newRow("empty") << "" << "You must select a proper database";
    }

    void removingATextThatNamesNoEntryDeletesNothing()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        folder->write("datalist.txt", kThree);
        folder->write("loose.txt", "x\r\ny\r\n");
        folder->write(".txt", "x\r\ny\r\n");
        const QStringList before = QDir(folder->path()).entryList(QDir::Files | QDir::Hidden);
        open();
        type(text);
        dialogs.expectMessage(message);
        form->imgRemove_Click();
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files | QDir::Hidden), before);
        QCOMPARE(folder->read("datalist.txt"), kThree);
        QVERIFY(!closed());
    }

    void aDatabaseWhoseFileIsGoneCanStillBeRemoved()
    {
        folder->write("datalist.txt", kThree);
        QVERIFY(QFile::remove(folder->file("weapons.txt")));
        open();
        type("weapons");
        dialogs.expectQuestion(removeQuestion("weapons"), true, "Remove Database");
        dialogs.expectMessage("The database was removed");
        form->imgRemove_Click();
        QCOMPARE(folder->read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        QVERIFY(folder->exists("armour.txt"));
    }

    void thePicturesAnswerTheKeyboard()
    {
        folder->write("datalist.txt", kSeed);
        open();
        dialogs.expectInput(kNamePrompt, "");
        QTest::keyClick(form->imgCreate, Qt::Key_Return);
        dialogs.expectMessage("You cannot delete the primary database");
        QTest::keyClick(form->imgRemove, Qt::Key_Space);
        // Escape closes the window, and the menu then opens a new one.
        QTest::keyClick(form, Qt::Key_Escape);
        QTRY_VERIFY(!form);
        QVERIFY(!main->windows().find<Form3>());
    }
};

QTEST_MAIN(Form3Test)
#include "form3_test.moc"
