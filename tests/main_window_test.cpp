// The main window: what it shows of the program object, its search controls,
// its menu bar, and its layout.
#include "main_window/main_window.h"
#include "support/offscreen_screen.h"
#include "support/program_fixture.h"
#include "widgets/twips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

class MainWindowTest : public DialogsFixture
{
    Q_OBJECT

    std::unique_ptr<ProgramOnFolder> p;
    std::unique_ptr<main_window::MainWindow> window;

    void start(const QByteArray &database, const QByteArray &prefs = " 0 \r\n 65280 \r\n 65280 \r\n")
    {
        window.reset();
        p = std::make_unique<ProgramOnFolder>(dialogs, database);
        p->folder.write("pref.txt", prefs);
        window = std::make_unique<main_window::MainWindow>(p->program, dialogs);
        window->startUp();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    template <class T = QWidget>
    T *control(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString text(const char *name) const
    {
        if (auto *label = window->findChild<QLabel *>(QLatin1String(name)))
            return label->text();
        return control<QPlainTextEdit>(name)->toPlainText();
    }
    void select(int row)
    {
        auto *list = control<QListView>("List1");
        list->setCurrentIndex(list->model()->index(row, 0));
    }
    widgets::TwipRect twips(const char *name) const { return widgets::twipsOf(control(name)); }
    static qsizetype longestLine(const QPlainTextEdit *box)
    {
        const QStringList lines = box->toPlainText().split('\n');
        return std::max_element(lines.begin(), lines.end(), [](auto &a, auto &b) { return a.size() < b.size(); })->size();
    }
    const QString kBrokenNote = "The description has lines longer than 2000 characters.  They are shown broken into "
                                "lines of 2000, and the description cannot be changed here: %1";

private slots:
    void cleanup()
    {
        window.reset();
        p.reset();
        DialogsFixture::cleanup();
    }

    void theWindowShowsTheListingTheSelectedDescriptionAndTheColoursOfPrefTxt()
    {
        start(sampleItemBytes() + crlf({"Ring of Fire", "hot|", "Dagger", "sharp|"}), "255\r\n16777215\r\n0\r\n");
        QCOMPARE(text("Label1"), QStringLiteral("3 items in database"));
        for (const char *name : {"client", "List1", "Text1", "Label1", "Label2", "chkItems", "chkDesc"}) {
            QWidget *w = control(name);
            QCOMPARE(w->palette().color(w->backgroundRole()), QColor(255, 0, 0));
        }
        QCOMPARE(control("List1")->palette().color(QPalette::Text), QColor(Qt::white));
        QCOMPARE(control("Text1")->palette().color(QPalette::Text), QColor(Qt::black));
        // An unchecked box shows itself on any background: its box keeps the desktop's base.
        const QImage box = control("chkDesc")->grab().toImage();
        QCOMPARE(box.pixelColor(7, box.height() / 2), QApplication::palette().color(QPalette::Base));
        for (const char *name : {"Text2", "Command2", "Command3"})
            QCOMPARE(control(name)->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
        // The scroll bars keep the desktop's colours too: their arrows took the text colour on a light groove.
        const QPalette bar = control<QPlainTextEdit>("Text1")->verticalScrollBar()->palette();
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Text})
            QCOMPARE(bar.color(role), QApplication::palette().color(role));

        select(0);
        QCOMPARE(text("Text1"), QStringLiteral("Weight 0, Item type: WORN \nItem is: MAGIC \nThis item will also "
                                               "affect your ARMOR -3 and  INT +4. \nEstimated Value: 7 gold, 8 silver, "
                                               "and 4 copper\n"));
        // Enter in the search box searches; the first hit's description shows, nothing is selected.
        control<QLineEdit>("Text2")->setText("RING");
        QTest::keyClick(control("Text2"), Qt::Key_Return);
        QCOMPARE(text("Label1"), QStringLiteral("2 items in database"));
        QVERIFY(!control<QListView>("List1")->selectionModel()->hasSelection());
        select(1);
        QCOMPARE(text("Text1"), QStringLiteral("hot\n"));
        QTRY_COMPARE(control("List1")->toolTip(), QStringLiteral("Ring of Fire")); // the timer shows the selected name
        control<QCheckBox>("chkItems")->setChecked(false);
        dialogs.expectMessage("You must search in at least one of the Items or Descriptions' text.  Please check an "
                              "area to search in.");
        QTest::mouseClick(control("Command2"), Qt::LeftButton);
        QTest::mouseClick(control("Command3"), Qt::LeftButton); // Show All keeps the view
        QCOMPARE(text("Label1"), QStringLiteral("3 items in database"));
        QCOMPARE(text("Text1"), QStringLiteral("hot\n"));

        // A search in the background shows the busy cursor until its hits are listed; its failure is told then.
        p->program.setBackgroundSearchBytes(-1);
        control<QCheckBox>("chkItems")->setChecked(true);
        QTest::keyClick(control("Text2"), Qt::Key_Return);
        QVERIFY(QApplication::overrideCursor() && text("Label1") == QStringLiteral("3 items in database"));
        QTRY_COMPARE(text("Label1"), QStringLiteral("2 items in database"));
        QVERIFY(!QApplication::overrideCursor());
        QFile::remove(p->folder.file("database.txt"));
        QTest::keyClick(control("Text2"), Qt::Key_Return);
        dialogs.expectMessage("Unanticipated error #53  Description: File not found (database.txt)   Source: Gearledger");
        QTRY_VERIFY(!QApplication::overrideCursor());

        // Colours saved by the preferences show at once.
        QVERIFY(p->program.saveColours({12582912, 255, 16777215}).ok());
        QCOMPARE(control("Label2")->palette().color(QPalette::Window), QColor(0, 0, 0xC0));
        QCOMPARE(control("List1")->palette().color(QPalette::Text), QColor(255, 0, 0));
    }

    void aStartThatCannotListKeepsTheDesignedCaption()
    {
        dialogs.expectMessage("Unanticipated error #62  Description: Input past end of file (database.txt, after "
                              "line 3)   Source: Gearledger");
        start(crlf({"first", "one|", "second"}));
        QCOMPARE(text("Label1"), QStringLiteral("Items"));
        QCOMPARE(control<QListView>("List1")->model()->rowCount(), 2);
    }

    void theMenusHoldEveryEntryAndTheirKeysWorkFromTheSearchBox()
    {
        start(crlf({"ring", "gold|", "sword", "sharp|"}));
        p->folder.write("datalist.txt", crlf({"1", "database", "database.txt"}));
        QCOMPARE(control<QAction>("undoEntry")->text(), QStringLiteral("&Undo Last Change"));
        dialogs.expectMessage("Gearledger 3.0 by the Gearledger developers.  View the web site at "
                              "https://gearledger.org for recent database updates and versions.  Your databases are "
                              "kept in " + p->folder.path() + ".");
        control<QAction>("mnuAbout")->trigger();

        QLineEdit *searchBox = control<QLineEdit>("Text2");
        searchBox->setFocus();
        searchBox->setText("abc");
        dialogs.expectMessage(program::kNoItemSelected);
        QTest::keyClick(searchBox, Qt::Key_E, Qt::ControlModifier);
        dialogs.expectMessage(program::kNoItemSelected);
        QTest::keyClick(searchBox, Qt::Key_D, Qt::ControlModifier);
        QTest::keyClick(searchBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(searchBox, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(control("Form4")->isVisible() && control("Form3")->isVisible());
        QCOMPARE(searchBox->text(), QStringLiteral("abc")); // the box did not take the keys for itself
        QVERIFY(!searchBox->hasSelectedText());

        // Edit opens on the selected entry; Delete takes it and leaves nothing selected.
        select(1);
        control<QAction>("mnuEdit")->trigger();
        QCOMPARE(control("Form2")->findChild<QLineEdit *>("Text1")->text(), QStringLiteral("sword"));
        control<QAction>("mnuDel")->trigger();
        QCOMPARE(p->database(), crlf({"ring", "gold|"}));
        QCOMPARE(text("Label1"), QStringLiteral("1 items in database"));
        QVERIFY(text("Text1").isEmpty() && !control<QListView>("List1")->selectionModel()->hasSelection());
        // The delete can be taken back with Alt+Backspace, also from the search box.
        QCOMPARE(control<QAction>("undoEntry")->text(), QStringLiteral("&Undo Delete of sword"));
        QTest::keyClick(searchBox, Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(p->database(), crlf({"ring", "gold|", "sword", "sharp|"}));
        QCOMPARE(text("Label1"), QStringLiteral("2 items in database"));
        QVERIFY(!control<QAction>("undoEntry")->isEnabled());

        QPointer<QWidget> other = control("Form4");
        control<QAction>("mnuExit")->trigger();
        QTRY_VERIFY(other.isNull());
        QVERIFY(!window->isVisible());
    }

    // Every item comes back exactly, and a text box is given no line longer
    // than 2000 characters: Qt lays out a line without blanks in time that
    // grows with the square of its length (164 s for 1 MB).
    void copyItemThenPasteAsNewItemGivesTheSameItemBack()
    {
        const QVector<storage::Item> items = {
            {"my sword", "Object 'sword long' is a weapon.||  Weight 10|"}, // renamed after a harvest
            {"ring", "Name: Ring of Fire|worn|"},
            {"  sword", "   indented|x|"},
            {"axe", "|"},
            {"bars", "|||"},
            {"trail  ", "worn   |  |"},
            {"\x1b[1;31mred orb", "\x1b[31mglows\x1b[0m|^[[0m|"},
            {"Ogre's \"club\"", "Object \"Ogre's club\" is a weapon.|It's 'big'.|"},
            {QString::fromUtf8("\u00E9p\u00E9e \u20AC"),
             QString::fromUtf8("Worth: 5 \u20AC \u2013 caf\u00E9|\u201Cq\u201D|")},
            {"keen", "edged|x"}, // no bar at the end, as a hand-edited file may have it
            {"50 KB", QString(50000, 'x') + "|ab cd|"},
            {"400 KB", QString(400000, 'x') + "|"},
            {"1 MB", "Object 'x' is big.|" + QString(1000000, 'x')},
        };
        start(storage::encodeItems(items));
        dialogs.expectMessage(program::kNoItemSelected);
        control<QAction>("copyItemEntry")->trigger();
        for (int row = 0; row < items.size(); ++row) {
            select(row);
            QTest::keyClick(control("List1"), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
            if (row == 0) // the text for a game channel or a forum
                QCOMPARE(QGuiApplication::clipboard()->text(),
                         QStringLiteral("my sword\nObject 'sword long' is a weapon.\n\n  Weight 10\n"));
            if (items[row].description.size() > 2000)
                dialogs.expectMessage(kBrokenNote.arg("Add adds it as pasted."));
            QTest::keyClick(control("Text2"), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY(!control("Form4")->grab().isNull()); // laid out and painted
            QVERIFY(longestLine(control("Form4")->findChild<QPlainTextEdit *>("Text2")) <= 2000);
            QTest::mouseClick(control("Form4")->findChild<QPushButton *>("Command1"), Qt::LeftButton);
            QCOMPARE(p->database(), storage::encodeItems(items + items.mid(0, row + 1)));
        }

        QGuiApplication::clipboard()->setText("\x1b[0m \n\t\n");
        dialogs.expectMessage("The clipboard holds no text to make an item of.  Copy an item's identify output in the "
                              "game, then choose Paste As New Item again.");
        control<QAction>("pasteAsNewItemEntry")->trigger();
        QGuiApplication::clipboard()->setText(QString(20 << 20, QLatin1Char('\t')) + "end"); // crashed Qt
        dialogs.expectMessage("The clipboard holds more text than Paste As New Item takes (1048576 characters).  "
                              "Nothing was pasted.");
        control<QAction>("pasteAsNewItemEntry")->trigger();
    }

    // A long line is shown broken and written back whole.
    void aLongLineIsShownBrokenAndKeptWhole()
    {
        const QByteArray line = QByteArray("0123456789").repeated(20000);
        const QByteArray items = crlf({"ring", "gold|", "one line"}) + line + "\r\n";
        start(items);
        select(1);
        QCOMPARE(longestLine(control<QPlainTextEdit>("Text1")), 2000);
        QCOMPARE(text("Text1").remove('\n'), QString::fromLatin1(line));
        dialogs.expectMessage(kBrokenNote.arg("Update keeps it as it is."));
        control<QAction>("mnuEdit")->trigger();
        auto *box = control("Form2")->findChild<QPlainTextEdit *>("Text2");
        QVERIFY(box->isReadOnly() && longestLine(box) == 2000);
        control("Form2")->findChild<QLineEdit *>("Text1")->setText("renamed");
        QTest::mouseClick(control("Form2")->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(p->database(), QByteArray(items).replace("one line", "renamed"));
    }

    void theControlsFollowResizesAndTheDividerWhileAButtonPressedOnItIsDown()
    {
        start(sampleItemBytes());
        QCOMPARE(twips("chkDesc").top, 4860); // the first notification moves nothing
        window->resize(window->size() - window->centralWidget()->size() + QSize(600, 400));
        QTRY_COMPARE(window->centralWidget()->size(), QSize(600, 400));
        const int h = 400 * 15 + 690; // outer height in twips: 15 a pixel plus frame and bars
        QCOMPARE(twips("List1").height, h - 2130);
        QCOMPARE(twips("Text1").width, 600 * 15 + 120 - 3360 - 240);
        window->showMinimized();
        widgets::setTwipsHeight(control("List1"), 1000); // disturbed: the restore to the same size puts it back
        window->showNormal();
        QTRY_COMPARE(twips("List1").height, h - 2130);
        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
        QTRY_COMPARE(twips("List1").height, window->centralWidget()->height() * 15 + 690 - 2130);
        window->showNormal();

        // A press on the bar captures the pointer, so the move over the list still reaches the bar.
        QWindow *handle = window->windowHandle();
        QWidget *divider = control("Image1");
        const QPoint overList = window->centralWidget()->mapTo(window.get(), QPoint(100, 150));
        QTest::mousePress(handle, Qt::LeftButton, {}, divider->mapTo(window.get(), divider->rect().center()));
        QTest::mouseMove(handle, overList);
        QTRY_COMPARE(twips("List1").width, 1500);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, overList);
        QTRY_COMPARE(divider->geometry().x(), widgets::twipsToPixels(1620));
    }

    void tenThousandItemsListAtOnceAndLongOperationsShowTheBusyCursor()
    {
        start(QByteArray("item\r\nd|\r\n").repeated(10000));
        QCOMPARE(text("Label1"), QStringLiteral("10000 items in database"));
        QVERIFY(control<QListView>("List1")->uniformItemSizes());
        QCOMPARE(control<QListView>("List1")->layoutMode(), QListView::Batched);
        QStringList cursors;
        connect(&p->program, &program::Program::listingChanged, window.get(),
                [&] { cursors << (QGuiApplication::overrideCursor() ? "busy" : "none"); });
        QTest::mouseClick(control<QPushButton>("Command2"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("Command3"), Qt::LeftButton);
        select(0);
        control<QAction>("mnuDel")->trigger();
        QCOMPARE(cursors, QStringList(3, "busy"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

// A screen of 2560 x 1440 lets a maximised window pass 32767 twips.
int main(int argc, char *argv[])
{
    return runOnScreen<MainWindowTest>(argc, argv, 2560, 1440, "1");
}

#include "main_window_test.moc"
