// The main window: start-up, listing, selection, search and the menu bar.
#include "app/module1.h"
#include "main_window/form1.h"
#include "main_window/item_list_model.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>

namespace {
const QByteArray kDefaultPrefs = " 0 \r\n 65280 \r\n 65280 \r\n";
const QString kSource = QStringLiteral("   Source: Gearledger");
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

    // Starts the main window on a fresh folder; a file that is not given is missing.
    void start(std::optional<QByteArray> database, std::optional<QByteArray> prefs = kDefaultPrefs)
    {
        form.reset();
        folder = std::make_unique<TestFolder>();
        if (prefs)
            folder->write("pref.txt", *prefs);
        if (database)
            folder->write("database.txt", *database);
        state = std::make_unique<Module1>(folder->path());
        form = std::make_unique<Form1>(*state, dialogs);
        new QAbstractItemModelTester(form->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     form.get());
        form->startUp();
    }

    QStringList listed() const { return form->listModel()->names(); }
    QString described() const { return form->Text1->toPlainText(); }
    QString label() const { return form->Label1->text(); }
    static QColor colourOf(QWidget *w, QPalette::ColorRole role) { return w->palette().color(role); }

    void search(const QString &text, bool inItems, bool inDescs)
    {
        form->Text2->setText(text);
        form->chkItems->setChecked(inItems);
        form->chkDesc->setChecked(inDescs);
        form->Command2_Click();
    }

private slots:
    void init() { dialogs.reset(); }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        form.reset();
    }

    void firstStartCreatesBothFilesAfterTheirMessagesInOrder()
    {
        dialogs.expectMessage("Could not find the Preference file: pref.txt  This file will be created.");
        dialogs.expectMessage("Could not find the database.txt file, please be sure that the database.txt is in the "
                              "same folder as the program.  A database will now be created.");
        start(std::nullopt, std::nullopt);
        QCOMPARE(folder->read("pref.txt"), kDefaultPrefs);
        QCOMPARE(folder->read("database.txt"), sampleItemBytes());
        QVERIFY(listed().isEmpty());
        QCOMPARE(label(), QStringLiteral("Items"));
        QCOMPARE(colourOf(form->List1, QPalette::Base), QColor(Qt::black));
        QCOMPARE(colourOf(form->List1, QPalette::Text), QColor(0, 255, 0));
        QCOMPARE(colourOf(form->Text1, QPalette::Text), QColor(0, 255, 0));

        form->Command3_Click();
        QCOMPARE(listed(), QStringList{"small metallic ring"});
        QCOMPARE(label(), QStringLiteral("1 items in database"));
    }

    void selectingAnEntryShowsItsDescriptionUntilTheNextSelection()
    {
        start(sampleItemBytes() + crlf({"plain", "no bars"}));
        QCOMPARE(label(), QStringLiteral("2 items in database"));
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

        start(QByteArray());
        QCOMPARE(label(), QStringLiteral("0 items in database"));
        QTest::mouseClick(form->List1->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(form->selectedIndex(), -1);
    }

    void prefColoursPaintTheWindowUntilABadLine()
    {
        start(sampleItemBytes(), QByteArray("255\r\n16777215\r\n0\r\n"));
        const QColor red(255, 0, 0);
        for (QWidget *w : {form->centralWidget(), static_cast<QWidget *>(form->List1),
                           static_cast<QWidget *>(form->Text1), static_cast<QWidget *>(form->Label1),
                           static_cast<QWidget *>(form->Label2), static_cast<QWidget *>(form->chkItems),
                           static_cast<QWidget *>(form->chkDesc)})
            QCOMPARE(colourOf(w, QPalette::Window), red);
        QCOMPARE(colourOf(form->List1, QPalette::Text), QColor(Qt::white));
        QCOMPARE(colourOf(form->Text1, QPalette::Text), QColor(Qt::black));
        QCOMPARE(listed(), QStringList{"small metallic ring"});

        // The second line fails: the background stays applied, the rest keeps its design.
        dialogs.expectMessage("Unanticipated error #13  Description: Type mismatch (pref.txt line 2 is not a number)"
                              + kSource);
        start(sampleItemBytes(), QByteArray("255\r\nblue\r\n0\r\n"));
        QCOMPARE(colourOf(form->List1, QPalette::Window), red);
        QCOMPARE(colourOf(form->List1, QPalette::Text), QColor(0, 255, 0));
        QVERIFY(listed().isEmpty());
        QCOMPARE(label(), QStringLiteral("Items"));
    }

    void anIncompleteDatabaseAtStartUpKeepsTheNamesRead()
    {
        dialogs.expectMessage("Unanticipated error #62  Description: Input past end of file (database.txt, after "
                              "line 3)" + kSource);
        start(crlf({"first", "one|", "second"}));
        QCOMPARE(listed(), (QStringList{"first", "second"}));
        QCOMPARE(label(), QStringLiteral("Items"));
    }

    void searchShowsTheHitsAndTheFirstHitsDescription()
    {
        start(sampleItemBytes() + crlf({"Ring of Fire", "hot|", "Dagger", "sharp|"}));
        search("RING", true, false);
        QCOMPARE(listed(), (QStringList{"small metallic ring", "Ring of Fire"}));
        QCOMPARE(label(), QStringLiteral("2 items in database"));
        QCOMPARE(form->selectedIndex(), -1);
        QVERIFY(described().startsWith("Weight 0"));
        form->selectIndex(1);
        QCOMPARE(described(), QStringLiteral("hot\n"));
        QCOMPARE(form->listModel()->record(1), 1);

        search("magic", false, true);
        QCOMPARE(listed(), QStringList{"small metallic ring"});
        search("a", true, true);
        QCOMPARE(listed(), (QStringList{"small metallic ring", "Dagger"}));

        // Enter in the search box searches too.
        form->Text2->setText("dagger");
        QTest::keyClick(form->Text2, Qt::Key_Return);
        QCOMPARE(listed(), QStringList{"Dagger"});
        QCOMPARE(form->listModel()->record(0), 2);

        // Show All restores the list but keeps the view.
        QTest::mouseClick(form->Command3, Qt::LeftButton);
        QCOMPARE(listed().size(), 3);
        QCOMPARE(label(), QStringLiteral("3 items in database"));
        QCOMPARE(described(), QStringLiteral("sharp\n"));

        search("no such thing", true, true);
        QVERIFY(listed().isEmpty());
        QCOMPARE(label(), QStringLiteral("0 items in database"));
        QVERIFY(described().isEmpty());

        dialogs.expectMessage("You must search in at least one of the Items or Descriptions' text.  Please check an "
                              "area to search in.");
        form->Command3_Click();
        search("ring", false, false);
        QCOMPARE(listed().size(), 3);
    }

    void aFailingReadIsReportedAndTheProgramGoesOn()
    {
        start(sampleItemBytes());
        QFile::remove(folder->file("database.txt"));
        dialogs.expectMessage("Unanticipated error #53  Description: File not found (database.txt)" + kSource);
        form->Command3_Click();
        QVERIFY(listed().isEmpty());
        QCOMPARE(label(), QStringLiteral("0 items in database"));

        folder->write("database.txt", sampleItemBytes() + "half an item\r\n");
        dialogs.expectMessage("Unanticipated error #62  Description: Input past end of file (database.txt, after "
                              "line 3)" + kSource);
        search("", true, false);
        QCOMPARE(listed(), QStringList{"small metallic ring"});
    }

    void theMenuBarHoldsEveryEntryWithItsKeys()
    {
        start(sampleItemBytes());
        QStringList menus;
        for (QAction *a : form->menuBar()->actions())
            menus.append(a->text());
        QCOMPARE(menus, (QStringList{"&File", "&Item Editing", "&Database"}));
        const QList<QPair<QString, QString>> entries = {
            {"mnuAbout", "About Gearledger"}, {"mnuAdd", "&Add From File"},          {"mnuPref", "&Preferences"},
            {"mnuExit", "E&xit"},             {"mnuAddItem", "&Add New Item"},       {"mnuDel", "&Delete Current Item"},
            {"mnuEdit", "&Edit Current Item"}, {"mnuCurrDatabase", "&Current Database"},
            {"mnuDownload", "Download Database &Update"}};
        for (const auto &[name, caption] : entries) {
            auto *action = form->findChild<QAction *>(name);
            QVERIFY2(action && action->text() == caption, qPrintable(name));
        }
        dialogs.expectMessage("Gearledger 3.0 by the Gearledger developers.  View the web site at "
                              "https://gearledger.org for recent database updates and versions.");
        form->mnuAbout->trigger();
    }

    void menuShortcutsReachTheMenuFromTheSearchBox()
    {
        start(sampleItemBytes());
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->Text2->setFocus();
        form->Text2->setText("abc");
        const QList<QPair<QAction *, Qt::Key>> keys = {
            {form->mnuAddItem, Qt::Key_A}, {form->mnuDel, Qt::Key_D}, {form->mnuEdit, Qt::Key_E},
            {form->mnuCurrDatabase, Qt::Key_Z}};
        for (const auto &[action, key] : keys) {
            // Only the routing is under test here, not what the entries open.
            QObject::disconnect(action, &QAction::triggered, form.get(), nullptr);
            QSignalSpy triggered(action, &QAction::triggered);
            QTest::keyClick(form->Text2, key, Qt::ControlModifier);
            QCOMPARE(triggered.count(), 1);
        }
        // The search box did not take the keys for itself (select all, undo).
        QCOMPARE(form->Text2->text(), QStringLiteral("abc"));
        QVERIFY(!form->Text2->hasSelectedText());
    }

    void exitClosesEveryWindowAndWritesNothing()
    {
        start(sampleItemBytes());
        form->show();
        QPointer<OtherWindow> other = form->windows().show<OtherWindow>([] { return new OtherWindow; });
        form->mnuExit->trigger();
        QTRY_VERIFY(other.isNull());
        QVERIFY(!form->isVisible());
        QCOMPARE(folder->read("database.txt"), sampleItemBytes());
    }

    void everyControlHasAnAccessibleName()
    {
        start(sampleItemBytes());
        for (QWidget *w : form->centralWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            const auto *caption = qobject_cast<QLabel *>(w);
            QVERIFY2(!w->accessibleName().isEmpty() || (caption && !caption->text().isEmpty()),
                     qPrintable(w->objectName()));
        }
    }

    void tenThousandItemsListAtOnce()
    {
        QByteArray bytes;
        for (int i = 0; i < 10000; ++i)
            bytes += "item " + QByteArray::number(i) + "\r\nd|\r\n";
        start(bytes);
        QCOMPARE(form->listModel()->rowCount(), 10000);
        QCOMPARE(label(), QStringLiteral("10000 items in database"));
        QVERIFY(form->List1->uniformItemSizes());
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
