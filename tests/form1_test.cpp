// The main window: start-up, listing, selection, search and the menu bar.
#include "app/module1.h"
#include "app/twips.h"
#include "main_window/form1.h"
#include "main_window/item_list_model.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QFile>
#include <QTest>

#include <memory>

namespace {
const QString kPrefMissing = QStringLiteral("Could not find the Preference file: pref.txt  This file will be created.");
const QString kDbMissing = QStringLiteral(
    "Could not find the database.txt file, please be sure that the database.txt is in the same folder as the "
    "program.  A database will now be created.");
const QByteArray kDefaultPrefs = " 0 \r\n 65280 \r\n 65280 \r\n";
} // namespace

// Stands for any secondary window of the program.
class OtherWindow : public QWidget
{
    Q_OBJECT
};

class Form1Test : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Module1> state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;

    // A started main window on the test folder.
    Form1 *start()
    {
        state = std::make_unique<Module1>(folder->path());
        form = std::make_unique<Form1>(*state, dialogs);
        new QAbstractItemModelTester(form->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     form.get());
        form->startUp();
        return form.get();
    }

    QStringList listed() const { return form->listModel()->names(); }
    QString described() const { return form->Text1->toPlainText(); }
    QColor colourOf(QWidget *w, QPalette::ColorRole role) const { return w->palette().color(role); }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        dialogs.reset();
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        form.reset();
        state.reset();
    }

    void firstStartCreatesBothFilesAfterTheirMessagesInOrder()
    {
        dialogs.expectMessage(kPrefMissing);
        dialogs.expectMessage(kDbMissing);
        start();
        QCOMPARE(folder->read("pref.txt"), kDefaultPrefs);
        QCOMPARE(folder->read("database.txt"), sampleItemBytes());
        QVERIFY(listed().isEmpty());
        QCOMPARE(form->Label1->text(), QStringLiteral("Items"));
        QCOMPARE(colourOf(form->List1, QPalette::Base), QColor(Qt::black));
        QCOMPARE(colourOf(form->List1, QPalette::Text), QColor(0, 255, 0));
        QCOMPARE(colourOf(form->Text1, QPalette::Text), QColor(0, 255, 0));

        form->Command3_Click();
        QCOMPARE(listed(), QStringList{"small metallic ring"});
        QCOMPARE(form->Label1->text(), QStringLiteral("1 items in database"));
    }

    void selectingAnItemShowsItsDescriptionLineByLine()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes() + crlf({"plain", "no bars"}));
        start();
        QCOMPARE(form->Label1->text(), QStringLiteral("2 items in database"));
        QCOMPARE(form->item_count, 2);
        form->selectIndex(0);
        QCOMPARE(described(), QStringLiteral("Weight 0, Item type: WORN \nItem is: MAGIC \nThis item will also affect "
                                             "your ARMOR -3 and  INT +4. \nEstimated Value: 7 gold, 8 silver, and 4 "
                                             "copper\n"));
        form->selectIndex(1);
        QCOMPARE(described(), QStringLiteral("no bars"));

        // A reload leaves nothing selected and the description view as it was.
        form->list_all();
        QCOMPARE(form->selectedIndex(), -1);
        QCOMPARE(described(), QStringLiteral("no bars"));
    }

    void anEmptyDatabaseListsNothing()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", "");
        start();
        QVERIFY(listed().isEmpty());
        QCOMPARE(form->Label1->text(), QStringLiteral("0 items in database"));
        QTest::mouseClick(form->List1->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(form->selectedIndex(), -1);
        QVERIFY(described().isEmpty());
    }

    void prefColoursPaintTheWindow()
    {
        folder->write("pref.txt", "255\r\n16777215\r\n0\r\n");
        folder->write("database.txt", sampleItemBytes());
        start();
        const QColor red(255, 0, 0);
        for (QWidget *w : {static_cast<QWidget *>(form->List1), static_cast<QWidget *>(form->Text1),
                           static_cast<QWidget *>(form->Label1), static_cast<QWidget *>(form->Label2),
                           static_cast<QWidget *>(form->chkItems), static_cast<QWidget *>(form->chkDesc)})
            QCOMPARE(colourOf(w, QPalette::Window), red);
        QCOMPARE(colourOf(form->centralWidget(), QPalette::Window), red);
        QCOMPARE(colourOf(form->List1, QPalette::Text), QColor(Qt::white));
        QCOMPARE(colourOf(form->Text1, QPalette::Text), QColor(Qt::black));
        QCOMPARE(listed(), QStringList{"small metallic ring"});
    }

    void aBadPrefLineStopsStartUpWithTheColoursSoFar()
    {
        folder->write("pref.txt", "255\r\nblue\r\n0\r\n");
        folder->write("database.txt", sampleItemBytes());
        const QColor designText = Form1(*std::make_unique<Module1>(folder->path()), dialogs).List1->palette().color(QPalette::Text);
        dialogs.expectMessage(QStringLiteral("Unanticipated error #13  Description: Type mismatch (pref.txt line 2 is "
                                             "not a number)   Source: Gearledger"));
        start();
        QCOMPARE(colourOf(form->List1, QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(colourOf(form->List1, QPalette::Text), designText);
        QVERIFY(listed().isEmpty());
        QCOMPARE(form->Label1->text(), QStringLiteral("Items"));
    }

    void anIncompleteDatabaseAtStartUpKeepsTheNamesRead()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", crlf({"first", "one|", "second"}));
        dialogs.expectMessage(QStringLiteral("Unanticipated error #62  Description: Input past end of file "
                                             "(database.txt, after line 3)   Source: Gearledger"));
        start();
        QCOMPARE(listed(), (QStringList{"first", "second"}));
        QCOMPARE(form->Label1->text(), QStringLiteral("Items"));
    }

    void searchFindsHitsIgnoringCaseAndShowsTheFirst()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes() + crlf({"Ring of Fire", "hot|", "Dagger", "sharp|"}));
        start();
        form->Text2->setText("RING");
        form->Command2_Click();
        QCOMPARE(listed(), (QStringList{"small metallic ring", "Ring of Fire"}));
        QCOMPARE(form->Label1->text(), QStringLiteral("2 items in database"));
        QCOMPARE(form->selectedIndex(), -1);
        QVERIFY(described().startsWith("Weight 0"));
        form->selectIndex(1);
        QCOMPARE(described(), QStringLiteral("hot\n"));
        QCOMPARE(form->listModel()->record(1), 1);

        // Descriptions only, then both.
        form->chkItems->setChecked(false);
        form->chkDesc->setChecked(true);
        form->Text2->setText("magic");
        form->Command2_Click();
        QCOMPARE(listed(), QStringList{"small metallic ring"});
        form->chkItems->setChecked(true);
        form->Text2->setText("a");
        form->Command2_Click();
        QCOMPARE(listed(), (QStringList{"small metallic ring", "Dagger"}));

        // Enter in the search box searches too.
        form->Text2->setText("dagger");
        QTest::keyClick(form->Text2, Qt::Key_Return);
        QCOMPARE(listed(), QStringList{"Dagger"});
        QCOMPARE(form->listModel()->record(0), 2);
    }

    void aSearchWithoutHitsEmptiesTheListAndTheView()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        form->selectIndex(0);
        form->Text2->setText("no such thing");
        form->Command2_Click();
        QVERIFY(listed().isEmpty());
        QCOMPARE(form->Label1->text(), QStringLiteral("0 items in database"));
        QVERIFY(described().isEmpty());
    }

    void showAllAfterASearchRestoresTheListButNotTheView()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes() + crlf({"Dagger", "sharp|"}));
        start();
        form->Text2->setText("dagger");
        form->Command2_Click();
        QCOMPARE(described(), QStringLiteral("sharp\n"));
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        QCOMPARE(listed(), (QStringList{"small metallic ring", "Dagger"}));
        QCOMPARE(form->Label1->text(), QStringLiteral("2 items in database"));
        QCOMPARE(described(), QStringLiteral("sharp\n"));
    }

    void searchingNowhereIsRefusedAndChangesNothing()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        form->chkItems->setChecked(false);
        dialogs.expectMessage(QStringLiteral("You must search in at least one of the Items or Descriptions' text.  "
                                             "Please check an area to search in."));
        form->Command2_Click();
        QCOMPARE(listed(), QStringList{"small metallic ring"});
    }

    void aFailingShowAllIsReportedAndTheProgramGoesOn()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        QFile::remove(folder->file("database.txt"));
        dialogs.expectMessage(QStringLiteral("Unanticipated error #53  Description: File not found (database.txt)   "
                                             "Source: Gearledger"));
        form->Command3_Click();
        QVERIFY(listed().isEmpty());
        QCOMPARE(form->Label1->text(), QStringLiteral("0 items in database"));

        folder->write("database.txt", sampleItemBytes() + "half an item\r\n");
        dialogs.expectMessage(QStringLiteral("Unanticipated error #62  Description: Input past end of file "
                                             "(database.txt, after line 3)   Source: Gearledger"));
        form->Command2_Click();
        QCOMPARE(listed(), QStringList{"small metallic ring"});
        QVERIFY(form->isEnabled());
    }

    void theTimerShowsTheSelectedNameAsTheListsToolTip()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        form->selectIndex(0);
        form->Timer1_Timer();
        QCOMPARE(form->List1->toolTip(), QStringLiteral("small metallic ring"));
        form->List1->selectionModel()->clearSelection();
        form->Timer1_Timer();
        QCOMPARE(form->List1->toolTip(), QStringLiteral("small metallic ring"));
    }

    void theMenuBarHoldsEveryEntryWithItsKeys()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        const QList<QPair<QString, QString>> entries = {
            {"mnuAbout", "About Gearledger"},  {"mnuAdd", "&Add From File"},
            {"mnuPref", "&Preferences"},        {"mnuExit", "E&xit"},
            {"mnuAddItem", "&Add New Item"},    {"mnuDel", "&Delete Current Item"},
            {"mnuEdit", "&Edit Current Item"},  {"mnuCurrDatabase", "&Current Database"},
            {"mnuDownload", "Download Database &Update"}};
        for (const auto &[name, caption] : entries) {
            auto *action = form->findChild<QAction *>(name);
            QVERIFY2(action, qPrintable(name));
            QCOMPARE(action->text(), caption);
        }
        QCOMPARE(form->mnuAddItem->shortcut(), QKeySequence("Ctrl+A"));
        QCOMPARE(form->mnuDel->shortcut(), QKeySequence("Ctrl+D"));
        QCOMPARE(form->mnuEdit->shortcut(), QKeySequence("Ctrl+E"));
        QCOMPARE(form->mnuCurrDatabase->shortcut(), QKeySequence("Ctrl+Z"));
        QStringList menus;
        for (QAction *a : form->menuBar()->actions())
            menus.append(a->text());
        QCOMPARE(menus, (QStringList{"&File", "&Item Editing", "&Database"}));
    }

    void menuShortcutsReachTheMenuFromTheSearchBox()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->Text2->setFocus();
        form->Text2->setText("abc");
        for (QAction *action : {form->mnuAddItem, form->mnuDel, form->mnuEdit, form->mnuCurrDatabase}) {
            // Only the routing is under test here, not what the entries open.
            QObject::disconnect(action, &QAction::triggered, form.get(), nullptr);
            QSignalSpy triggered(action, &QAction::triggered);
            QTest::keyClick(form->Text2, action->shortcut()[0].key(), Qt::ControlModifier);
            QCOMPARE(triggered.count(), 1);
        }
        // The search box did not take the keys for itself (select all, undo).
        QCOMPARE(form->Text2->text(), QStringLiteral("abc"));
        QVERIFY(!form->Text2->hasSelectedText());
    }

    void aboutNamesTheProgramAndItsWebSite()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        dialogs.expectMessage(QStringLiteral("Gearledger 3.0 by the Gearledger developers.  View the web site at "
                                             "https://gearledger.org for recent database updates and versions."));
        form->mnuAbout->trigger();
    }

    void theControlsHaveTheirDesignedGeometryAndTabOrder()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        QCOMPARE(form->windowTitle(), QStringLiteral("Gearledger 3.0"));
        QCOMPARE(twipsOf(form->List1), (TwipRect{120, 360, 3015, 3735}));
        QCOMPARE(twipsOf(form->Text2), (TwipRect{120, 4320, 3015, 285}));
        QCOMPARE(twipsOf(form->Command2), (TwipRect{2160, 4680, 975, 375}));
        QCOMPARE(twipsOf(form->Command3), (TwipRect{120, 4680, 975, 375}));
        QCOMPARE(twipsOf(form->Text1), (TwipRect{3360, 360, 4695, 4695}));
        QCOMPARE(twipsOf(form->chkItems), (TwipRect{1200, 4640, 855, 195}));
        QCOMPARE(form->clientTwips(), QSize(8175, 5175));
        QVERIFY(form->chkItems->isChecked());
        QVERIFY(!form->chkDesc->isChecked());
        QCOMPARE(form->Text2->nextInFocusChain(), form->Command2);
        QCOMPARE(form->Command2->nextInFocusChain(), form->Command3);
        QVERIFY(form->Text1->isReadOnly());
        for (QWidget *w : form->centralWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            const auto *label = qobject_cast<QLabel *>(w);
            QVERIFY2(!w->accessibleName().isEmpty() || (label && !label->text().isEmpty()), qPrintable(w->objectName()));
        }
    }

    void exitClosesEveryWindow()
    {
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", sampleItemBytes());
        start();
        form->show();
        QPointer<OtherWindow> other = form->windows().show<OtherWindow>([] { return new OtherWindow; });
        form->mnuExit->trigger();
        QTRY_VERIFY(other.isNull());
        QVERIFY(!form->isVisible());
        QCOMPARE(folder->read("database.txt"), sampleItemBytes());
    }

    void tenThousandItemsListAtOnce()
    {
        QByteArray bytes;
        for (int i = 0; i < 10000; ++i)
            bytes += "item " + QByteArray::number(i) + "\r\nd|\r\n";
        folder->write("pref.txt", kDefaultPrefs);
        folder->write("database.txt", bytes);
        start();
        QCOMPARE(form->listModel()->rowCount(), 10000);
        QCOMPARE(form->Label1->text(), QStringLiteral("10000 items in database"));
        QVERIFY(form->List1->uniformItemSizes());
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
