// The Preferences window: its palettes and initial selection, OK writing
// pref.txt and colouring the main window, the close box, and reopening.
#include "app/failure.h"
#include "app/module1.h"
#include "app/pref_file.h"
#include "app/twips.h"
#include "main_window/form1.h"
#include "prefs/colour_palette.h"
#include "prefs/colour_swatch.h"
#include "prefs/frmpref.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using palette::Group;

namespace {
// pref.txt as a test starts with it: red, white, black (not the window's initial choice).
const QByteArray kStartPrefs = "255\r\n16777215\r\n0\r\n";
} // namespace

class FrmPrefTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Module1> state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;

    frmPref *openPrefs()
    {
        form->mnuPref_Click();
        return form->windows().find<frmPref>();
    }

    static QColor background(QWidget *w) { return w->palette().color(w->backgroundRole()); }
    static QColor textColour(QWidget *w) { return w->palette().color(QPalette::Text); }

    QList<QWidget *> colouredControls() const
    {
        return {form->List1, form->Text1, form->Label1, form->Label2, form->chkItems, form->chkDesc};
    }

    void verifyMainWindowColours(const QColor &back, const QColor &items, const QColor &descriptions)
    {
        QCOMPARE(background(form->centralWidget()), back);
        for (QWidget *w : colouredControls()) {
            QCOMPARE(w->palette().color(QPalette::Window), back);
            QCOMPARE(background(w), back);
        }
        QCOMPARE(form->List1->palette().color(QPalette::Base), back);
        QCOMPARE(form->Text1->palette().color(QPalette::Base), back);
        QCOMPARE(textColour(form->List1), items);
        QCOMPARE(textColour(form->Text1), descriptions);
    }

    static QList<int> checkedOptions(const frmPref *prefs)
    {
        QList<int> checked;
        for (int n = 1; n <= 24; ++n) {
            if (prefs->option(n)->isChecked())
                checked.append(n);
        }
        return checked;
    }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        folder->write("pref.txt", kStartPrefs);
        folder->write("database.txt", sampleItemBytes());
        dialogs.reset();
        state = std::make_unique<Module1>(folder->path());
        form = std::make_unique<Form1>(*state, dialogs);
        form->startUp();
        form->show();
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        form.reset();
        state.reset();
    }

    void theWindowIsASmallFixedToolWindowWithFourFrames()
    {
        frmPref *prefs = openPrefs();
        QVERIFY(prefs && prefs->isVisible());
        QCOMPARE(prefs->windowTitle(), QStringLiteral("Preferences"));
        QVERIFY(prefs->windowFlags().testFlag(Qt::Tool));
        QVERIFY(!prefs->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!prefs->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(prefs->minimumSize(), clientPixels(4845, 3390));
        QCOMPARE(prefs->maximumSize(), clientPixels(4845, 3390));
        QVERIFY(!prefs->isModal());

        QCOMPARE(prefs->Frame1->title(), QStringLiteral("Colors"));
        QCOMPARE(prefs->Frame2->title(), QStringLiteral("Background"));
        QCOMPARE(prefs->Frame3->title(), QStringLiteral("Items"));
        QCOMPARE(prefs->Frame4->title(), QStringLiteral("Descriptions"));
        QCOMPARE(prefs->Frame2->parentWidget(), prefs->Frame1);
        QCOMPARE(prefs->Command1->text(), QStringLiteral("OK"));
        QVERIFY(prefs->Command1->isDefault());
    }

    void eachFrameHoldsEightRowsOfSwatchAndOptionButton()
    {
        frmPref *prefs = openPrefs();
        int shape2Count = 0;
        for (Group g : {Group::Background, Group::Items, Group::Descriptions}) {
            QGroupBox *frame = g == Group::Background ? prefs->Frame2 : g == Group::Items ? prefs->Frame3 : prefs->Frame4;
            const int swatchLeft = g == Group::Background ? 120 : 240;
            const int optionLeft = g == Group::Background ? 600 : 720;
            QVERIFY(prefs->group(g)->exclusive());
            for (int r = 0; r < palette::kRowCount; ++r) {
                const palette::Row &row = palette::rows(g)[r];
                ColourSwatch *swatch = prefs->swatch(g, r);
                QRadioButton *option = prefs->option(row.option);
                QCOMPARE(swatch->parentWidget(), frame);
                QCOMPARE(option->parentWidget(), frame);
                QCOMPARE(swatch->fillColour(), row.colour);
                QCOMPARE(twipsOf(swatch), (TwipRect{swatchLeft, 240 * (r + 1), 375, 135}));
                QCOMPARE(twipsOf(option), (TwipRect{optionLeft, 240 * (r + 1), 255, 255}));
                QCOMPARE(option->text(), row.option >= 17 ? option->objectName() : QString());
                QVERIFY(!option->accessibleName().isEmpty());
                QCOMPARE(prefs->group(g)->id(option), r);
                if (swatch->objectName() == QLatin1String("Shape2")) {
                    QCOMPARE(swatch->property("index").toInt(), row.swatchIndex);
                    ++shape2Count;
                }
            }
        }
        QCOMPARE(shape2Count, 6);
        QCOMPARE(prefs->findChildren<ColourSwatch *>().size(), 24);
        QCOMPARE(prefs->findChildren<QRadioButton *>().size(), 24);
    }

    void swatchesAreFilledWithTheirColourAndOutlined()
    {
        frmPref *prefs = openPrefs();
        ColourSwatch *swatch = prefs->swatch(Group::Items, 5); // #FF0000
        QImage image(swatch->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        swatch->render(&image);
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(0, 0), swatch->palette().color(QPalette::WindowText));
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1),
                 swatch->palette().color(QPalette::WindowText));
    }

    void theDefaultColoursComeFromShape1AndShape13()
    {
        frmPref *prefs = openPrefs();
        const Prefs defaults = Form1::defaultColours();
        QCOMPARE(defaults.background, prefs->findChild<ColourSwatch *>("Shape1")->fillColour());
        QCOMPARE(defaults.itemText, prefs->findChild<ColourSwatch *>("Shape13")->fillColour());
        QCOMPARE(defaults.descriptionText, prefs->findChild<ColourSwatch *>("Shape13")->fillColour());
        QCOMPARE(defaults.background, 0u);
        QCOMPARE(defaults.itemText, 65280u);
    }

    void okWithoutAChangeSavesBlackAndGreenAndCloses()
    {
        frmPref *prefs = openPrefs();
        QCOMPARE(checkedOptions(prefs), (QList<int>{1, 16, 24}));
        QTest::mouseClick(prefs->Command1, Qt::LeftButton);
        QCOMPARE(folder->read("pref.txt"), QByteArray("0\r\n65280\r\n65280\r\n"));
        verifyMainWindowColours(Qt::black, QColor(0, 255, 0), QColor(0, 255, 0));
        QTRY_VERIFY(!form->windows().find<frmPref>());
        // The file reads back as the colours shown.
        const Prefs read = preffile::read(folder->file("pref.txt"));
        QCOMPARE(read.background, 0u);
        QCOMPARE(read.descriptionText, 65280u);
    }

    void okSavesAndAppliesTheChosenColoursOnlyToTheNamedControls()
    {
        const QPalette searchBox = form->Text2->palette();
        const QPalette search = form->Command2->palette();
        const QPalette showAll = form->Command3->palette();
        const QColor labelText = form->Label1->palette().color(QPalette::WindowText);
        const QColor checkText = form->chkItems->palette().color(QPalette::WindowText);

        frmPref *prefs = openPrefs();
        prefs->option(3)->click();  // background row 3, #0000C0
        prefs->option(13)->click(); // items row 6, #FF0000
        prefs->option(18)->click(); // descriptions row 2, #FFFFFF
        QCOMPARE(checkedOptions(prefs), (QList<int>{3, 13, 18}));
        prefs->Command1_Click();

        QCOMPARE(folder->read("pref.txt"), QByteArray("12582912\r\n255\r\n16777215\r\n"));
        verifyMainWindowColours(QColor(0, 0, 0xC0), QColor(255, 0, 0), QColor(255, 255, 255));
        QCOMPARE(form->Text2->palette(), searchBox);
        QCOMPARE(form->Command2->palette(), search);
        QCOMPARE(form->Command3->palette(), showAll);
        QCOMPARE(form->Label1->palette().color(QPalette::WindowText), labelText);
        QCOMPARE(form->chkItems->palette().color(QPalette::WindowText), checkText);
        QTRY_VERIFY(!form->windows().find<frmPref>());
    }

    void reopeningStartsFromTheInitialSelectionNotTheSavedOne()
    {
        frmPref *prefs = openPrefs();
        prefs->option(7)->click();
        prefs->option(9)->click();
        prefs->option(21)->click();
        prefs->Command1_Click();
        QTRY_VERIFY(!form->windows().find<frmPref>());

        prefs = openPrefs();
        QCOMPARE(checkedOptions(prefs), (QList<int>{1, 16, 24}));
        prefs->Command1_Click();
        QCOMPARE(folder->read("pref.txt"), QByteArray("0\r\n65280\r\n65280\r\n"));
        verifyMainWindowColours(Qt::black, QColor(0, 255, 0), QColor(0, 255, 0));
    }

    void theCloseBoxAndEscapeDiscardTheChoice()
    {
        const QColor before = background(form->List1);
        for (bool escape : {false, true}) {
            frmPref *prefs = openPrefs();
            prefs->option(2)->click();
            prefs->option(8)->click();
            if (escape)
                QTest::keyClick(prefs, Qt::Key_Escape);
            else
                QVERIFY(prefs->close());
            QTRY_VERIFY(!form->windows().find<frmPref>());
            QCOMPARE(folder->read("pref.txt"), kStartPrefs);
            QCOMPARE(background(form->List1), before);
            QCOMPARE(textColour(form->List1), QColor(Qt::white));
        }
        QCOMPARE(checkedOptions(openPrefs()), (QList<int>{1, 16, 24}));
    }

    void aSecondShowKeepsTheWindowAndItsSelection()
    {
        frmPref *prefs = openPrefs();
        prefs->option(5)->click();
        prefs->option(20)->click();
        QCOMPARE(openPrefs(), prefs);
        QCOMPARE(form->findChildren<frmPref *>().size(), 1);
        QCOMPARE(checkedOptions(prefs), (QList<int>{5, 16, 20}));
        QCOMPARE(folder->read("pref.txt"), kStartPrefs);
    }

    void theKeyboardReachesEveryGroupAndEnterPressesOk()
    {
        frmPref *prefs = openPrefs();
        prefs->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(prefs));
        QTRY_COMPARE(QApplication::focusWidget(), prefs->option(1));

        // Tab stops once in each group, at its selected button, then at OK.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), prefs->option(16));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), prefs->option(24));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(prefs->Command1));

        // The arrow keys move the selection within a group.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), prefs->option(23));
        QVERIFY(prefs->option(23)->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), prefs->option(16));

        // Enter presses the default button OK.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(folder->read("pref.txt"), QByteArray("0\r\n65280\r\n12632256\r\n"));
        QTRY_VERIFY(!form->windows().find<frmPref>());
    }

    void aPrefFileThatCannotBeWrittenIsReportedAndNothingApplied()
    {
        // A folder in the way of pref.txt makes the write fail.
        QVERIFY(QFile::remove(folder->file("pref.txt")));
        QVERIFY(QDir(folder->path()).mkdir("pref.txt"));
        QString expected;
        try {
            preffile::write(folder->file("pref.txt"), Prefs{12582912, 255, 16777215});
        } catch (const Failure &failure) {
            expected = failure.longMessage();
        }
        QVERIFY(!expected.isEmpty());

        const QColor before = background(form->List1);
        frmPref *prefs = openPrefs();
        prefs->option(3)->click();
        dialogs.expectMessage(expected);
        prefs->Command1_Click();
        QCOMPARE(background(form->List1), before);
        // The window stays open with the choice, so the user may try again.
        QCOMPARE(form->windows().find<frmPref>(), prefs);
        QVERIFY(prefs->option(3)->isChecked());
    }
};

QTEST_MAIN(FrmPrefTest)
#include "frmpref_test.moc"
