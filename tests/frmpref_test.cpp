// The Preferences window: its palettes and initial selection, OK writing
// pref.txt and colouring the main window, the close box, and reopening.
#include "app/failure.h"
#include "prefs/colour_swatch.h"
#include "prefs/frmpref.h"
#include "support/started_program.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class FrmPrefTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;
    Form1 *form = nullptr;

    // Opens the window from the menu (or brings it to the front) and clicks the given options.
    frmPref *openAndChoose(std::initializer_list<int> options)
    {
        form->mnuPref_Click();
        frmPref *prefs = form->windows().find<frmPref>();
        for (int n : options)
            prefs->option(n)->click();
        return prefs;
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

    void theKeyboardAndTheMouseChooseEachRowsColourAndTheSwatchesShowIt()
    {
        frmPref *prefs = openAndChoose({});
        QVERIFY(prefs->windowFlags().testFlag(Qt::Tool));
        ColourSwatch *swatch = prefs->swatch(palette::Group::Items, 5); // red, outlined
        QImage image(swatch->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        swatch->render(&image);
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(0, 0), swatch->palette().color(QPalette::WindowText));

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
        QCOMPARE(checkedOptions(prefs), (QList<int>{1, 16, 23}));

        const quint32 backgrounds[] = {0, 16777215, 12582912, 8388736, 32896, 192, 12632256, 32768};
        const quint32 texts[] = {0, 16777215, 16777088, 16711935, 65535, 255, 12632256, 65280};
        const int backgroundOptions[] = {1, 2, 3, 4, 5, 6, 7, 15};
        const int itemOptions[] = {8, 9, 10, 11, 12, 13, 14, 16};
        for (int r = 0; r < palette::kRowCount; ++r) {
            for (int n : {backgroundOptions[r], itemOptions[r], 17 + r})
                prefs->option(n)->click();
            QCOMPARE(checkedOptions(prefs), (QList<int>{backgroundOptions[r], itemOptions[r], 17 + r}));
            const Prefs c = prefs->chosenColours();
            QCOMPARE((QList<quint32>{c.background, c.itemText, c.descriptionText}),
                     (QList<quint32>{backgrounds[r], texts[r], texts[r]}));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(prefFile(), QByteArray("32768\r\n65280\r\n65280\r\n"));
    }

    void okSavesAndAppliesTheChoiceClosingDiscardsItAndEveryNewWindowStartsFromBlackAndGreen()
    {
        const QByteArray started = prefFile();
        frmPref *prefs = openAndChoose({5, 20});
        QCOMPARE(openAndChoose({}), prefs); // a second show keeps the selection
        QCOMPARE(checkedOptions(prefs), (QList<int>{5, 16, 20}));
        QVERIFY(prefs->close()); // the close box
        QTRY_VERIFY(!form->windows().find<frmPref>());
        QTest::keyClick(openAndChoose({2}), Qt::Key_Escape);
        QTRY_VERIFY(!form->windows().find<frmPref>());
        QCOMPARE(prefFile(), started);

        // Background row 3, items row 6, descriptions row 2, on the named controls only.
        const QList<QPalette> unchanged{form->Text2->palette(), form->Command2->palette(), form->Command3->palette()};
        openAndChoose({3, 13, 18})->Command1_Click();
        QCOMPARE(prefFile(), QByteArray("12582912\r\n255\r\n16777215\r\n"));
        verifyMainWindowColours(QColor(0, 0, 0xC0), QColor(255, 0, 0), QColor(255, 255, 255));
        QCOMPARE((QList<QPalette>{form->Text2->palette(), form->Command2->palette(), form->Command3->palette()}),
                 unchanged);
        QTRY_VERIFY(!form->windows().find<frmPref>());

        // Reopened, the window shows the initial selection, not the saved one; OK without a change.
        prefs = openAndChoose({});
        QCOMPARE(checkedOptions(prefs), (QList<int>{1, 16, 24}));
        QTest::mouseClick(prefs->Command1, Qt::LeftButton);
        QCOMPARE(prefFile(), QByteArray("0\r\n65280\r\n65280\r\n"));
        verifyMainWindowColours(Qt::black, QColor(0, 255, 0), QColor(0, 255, 0));
        QTRY_VERIFY(!form->windows().find<frmPref>());

        // A folder in the way of pref.txt: the failure is reported, nothing is
        // applied, and the window stays open with the choice for another try.
        const QString path = program->folder.file("pref.txt");
        QVERIFY(QFile::remove(path) && QDir(program->folder.path()).mkdir("pref.txt"));
        try {
            preffile::write(path, Prefs{12582912, 65280, 65280});
        } catch (const Failure &failure) {
            dialogs.expectMessage(failure.longMessage());
        }
        prefs = openAndChoose({3});
        prefs->Command1_Click();
        verifyMainWindowColours(Qt::black, QColor(0, 255, 0), QColor(0, 255, 0));
        QCOMPARE(form->windows().find<frmPref>(), prefs);
    }
};

QTEST_MAIN(FrmPrefTest)
#include "frmpref_test.moc"
