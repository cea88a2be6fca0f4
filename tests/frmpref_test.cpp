// The Preferences window: its palettes and initial selection, OK writing
// pref.txt and colouring the main window, the close box, and reopening.
#include "app/failure.h"
#include "prefs/colour_swatch.h"
#include "prefs/frmpref.h"
#include "support/started_program.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// pref.txt as the program starts with it: black, green, green in the printed-number form.
static const QByteArray kStartPrefs = " 0 \r\n 65280 \r\n 65280 \r\n";

class FrmPrefTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;
    Form1 *form = nullptr;

    frmPref *openPrefs()
    {
        form->mnuPref_Click();
        return form->windows().find<frmPref>();
    }
    QByteArray prefFile() const { return program->folder.read("pref.txt"); }

    // The background of the window and the six named controls, and the text of the list and the description.
    void verifyMainWindowColours(const QColor &back, const QColor &items, const QColor &descriptions)
    {
        for (QWidget *w : QWidgetList{form->centralWidget(), form->List1, form->Text1, form->Label1, form->Label2,
                                      form->chkItems, form->chkDesc})
            QCOMPARE(w->palette().color(w->backgroundRole()), back);
        QCOMPARE(form->List1->palette().color(QPalette::Text), items);
        QCOMPARE(form->Text1->palette().color(QPalette::Text), descriptions);
    }

    static QList<int> checkedOptions(const frmPref *prefs)
    {
        QList<int> checked;
        for (int n = 1; n <= 24; ++n)
            if (prefs->option(n)->isChecked())
                checked.append(n);
        return checked;
    }

private slots:
    void init()
    {
        dialogs.reset();
        program = std::make_unique<StartedProgram>(dialogs, sampleItemBytes());
        form = program->form.get();
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        program.reset();
    }

    void theWindowOffersThreeExclusivePalettesOfOutlinedSwatchesStartingFromBlackAndGreen()
    {
        frmPref *prefs = openPrefs();
        QVERIFY(prefs && prefs->isVisible() && prefs->windowFlags().testFlag(Qt::Tool));
        QCOMPARE(prefs->windowTitle(), QStringLiteral("Preferences"));
        QCOMPARE(prefs->minimumSize(), prefs->maximumSize());
        const QStringList captions{prefs->Frame1->title(), prefs->Frame2->title(), prefs->Frame3->title(),
                                   prefs->Frame4->title(), prefs->Command1->text()};
        QCOMPARE(captions, (QStringList{"Colors", "Background", "Items", "Descriptions", "OK"}));
        QCOMPARE(checkedOptions(prefs), (QList<int>{1, 16, 24}));

        // Each option chooses the colour of its row.
        const quint32 backgrounds[] = {0, 16777215, 12582912, 8388736, 32896, 192, 12632256, 32768};
        const quint32 texts[] = {0, 16777215, 16777088, 16711935, 65535, 255, 12632256, 65280};
        const int backgroundOptions[] = {1, 2, 3, 4, 5, 6, 7, 15};
        const int itemOptions[] = {8, 9, 10, 11, 12, 13, 14, 16};
        for (int r = 0; r < palette::kRowCount; ++r) {
            for (int n : {backgroundOptions[r], itemOptions[r], 17 + r})
                prefs->option(n)->click();
            QCOMPARE(checkedOptions(prefs), (QList<int>{backgroundOptions[r], itemOptions[r], 17 + r}));
            const Prefs chosen = prefs->chosenColours();
            QCOMPARE(chosen.background, backgrounds[r]);
            QCOMPARE(chosen.itemText, texts[r]);
            QCOMPARE(chosen.descriptionText, texts[r]);
            QVERIFY(!prefs->option(17 + r)->accessibleName().isEmpty());
        }

        // Swatches are filled with their colour and outlined.
        ColourSwatch *swatch = prefs->swatch(palette::Group::Items, 5); // #FF0000
        QImage image(swatch->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        swatch->render(&image);
        const QColor outline = swatch->palette().color(QPalette::WindowText);
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(0, 0), outline);
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), outline);
    }

    void okSavesAndAppliesTheChoiceAndReopeningStartsFromBlackAndGreen()
    {
        // Background row 3, items row 6, descriptions row 2, on the named controls only.
        const QList<QPalette> unchanged{form->Text2->palette(), form->Command2->palette(), form->Command3->palette()};
        const QColor labelText = form->Label1->palette().color(QPalette::WindowText);
        frmPref *prefs = openPrefs();
        for (int n : {3, 13, 18})
            prefs->option(n)->click();
        prefs->Command1_Click();
        QCOMPARE(prefFile(), QByteArray("12582912\r\n255\r\n16777215\r\n"));
        verifyMainWindowColours(QColor(0, 0, 0xC0), QColor(255, 0, 0), QColor(255, 255, 255));
        QCOMPARE((QList<QPalette>{form->Text2->palette(), form->Command2->palette(), form->Command3->palette()}),
                 unchanged);
        QCOMPARE(form->Label1->palette().color(QPalette::WindowText), labelText);
        QTRY_VERIFY(!form->windows().find<frmPref>());

        // Reopened, the window shows the initial selection, not the saved one; OK without a change.
        prefs = openPrefs();
        QCOMPARE(checkedOptions(prefs), (QList<int>{1, 16, 24}));
        QTest::mouseClick(prefs->Command1, Qt::LeftButton);
        QCOMPARE(prefFile(), QByteArray("0\r\n65280\r\n65280\r\n"));
        verifyMainWindowColours(Qt::black, QColor(0, 255, 0), QColor(0, 255, 0));
    }

    void aSecondShowKeepsTheSelectionAndTheCloseBoxOrEscapeDiscardsIt()
    {
        frmPref *prefs = openPrefs();
        prefs->option(5)->click();
        prefs->option(20)->click();
        QCOMPARE(openPrefs(), prefs);
        QCOMPARE(checkedOptions(prefs), (QList<int>{5, 16, 20}));
        QVERIFY(prefs->close());
        QTRY_VERIFY(!form->windows().find<frmPref>());

        prefs = openPrefs();
        prefs->option(2)->click();
        QTest::keyClick(prefs, Qt::Key_Escape);
        QTRY_VERIFY(!form->windows().find<frmPref>());
        QCOMPARE(prefFile(), kStartPrefs);
        verifyMainWindowColours(Qt::black, QColor(0, 255, 0), QColor(0, 255, 0));
    }

    void theKeyboardReachesEveryGroupAndEnterPressesOk()
    {
        frmPref *prefs = openPrefs();
        prefs->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(prefs));
        QTRY_COMPARE(QApplication::focusWidget(), prefs->option(1));
        // Tab stops once in each group, at its selected button, then at OK.
        for (QWidget *next : QWidgetList{prefs->option(16), prefs->option(24), prefs->Command1}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // The arrow keys move the selection within a group.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(prefFile(), QByteArray("0\r\n65280\r\n12632256\r\n"));
    }

    void aPrefFileThatCannotBeWrittenIsReportedAndNothingApplied()
    {
        // A folder in the way of pref.txt makes the write fail.
        const QString path = program->folder.file("pref.txt");
        QVERIFY(QFile::remove(path) && QDir(program->folder.path()).mkdir("pref.txt"));
        QString expected;
        try {
            preffile::write(path, Prefs{12582912, 65280, 65280});
        } catch (const Failure &failure) {
            expected = failure.longMessage();
        }

        frmPref *prefs = openPrefs();
        prefs->option(3)->click();
        dialogs.expectMessage(expected);
        prefs->Command1_Click();
        QCOMPARE(form->List1->palette().color(QPalette::Base), QColor(Qt::black));
        // The window stays open with the choice, so the user may try again.
        QCOMPARE(form->windows().find<frmPref>(), prefs);
    }
};

QTEST_MAIN(FrmPrefTest)
#include "frmpref_test.moc"
