// The Preferences window: its palettes by keyboard and mouse, OK saving the
// choice, the close box discarding it.
#include "support/program_fixture.h"
#include "widgets/colour_swatch.h"
#include "windows/preferences_window.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class PreferencesWindowTest : public ProgramFixture
{
    Q_OBJECT

    QPointer<windows::PreferencesWindow> window;

    void open()
    {
        window = new windows::PreferencesWindow(p->program, dialogs);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    QRadioButton *option(int n) const { return window->findChild<QRadioButton *>(QStringLiteral("Option%1").arg(n)); }
    QList<int> checkedOptions() const
    {
        QList<int> checked;
        for (int n = 1; n <= 24; ++n)
            if (option(n)->isChecked())
                checked.append(n);
        return checked;
    }
    QByteArray prefFile() const { return p->folder.read("pref.txt"); }
    void closeWindows() override { delete window; }

public:
    PreferencesWindowTest() : ProgramFixture(sampleItemBytes()) {}

private slots:

    void theKeyboardAndTheMouseChooseEachRowAndOkSavesIt()
    {
        open();
        auto *swatch =
            window->findChild<QWidget *>("Frame3")->findChild<widgets::ColourSwatch *>("Shape9"); // red, outlined
        QImage image(swatch->size(), QImage::Format_RGB32);
        swatch->render(&image);
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(0, 0), swatch->palette().color(QPalette::WindowText));

        // Tab stops once in each group, at its selected button, then at OK; the arrows move within a group.
        QTRY_COMPARE(QApplication::focusWidget(), option(1));
        for (QWidget *next : QWidgetList{option(16), option(24), window->findChild<QPushButton *>("Command1")}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(checkedOptions(), (QList<int>{1, 16, 23}));

        const int backgroundOptions[] = {1, 2, 3, 4, 5, 6, 7, 15};
        const int itemOptions[] = {8, 9, 10, 11, 12, 13, 14, 16};
        const char *const files[] = {"0\r\n0\r\n0\r\n", "16777215\r\n16777215\r\n16777215\r\n",
                                     "12582912\r\n16777088\r\n16777088\r\n", "8388736\r\n16711935\r\n16711935\r\n",
                                     "32896\r\n65535\r\n65535\r\n", "192\r\n255\r\n255\r\n",
                                     "12632256\r\n12632256\r\n12632256\r\n", "32768\r\n65280\r\n65280\r\n"};
        for (int r = 0; r < 8; ++r) {
            if (!window)
                open();
            for (int n : {backgroundOptions[r], itemOptions[r], 17 + r})
                option(n)->click();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(prefFile(), QByteArray(files[r]));
            QTRY_VERIFY(!window);
        }
        QCOMPARE(p->program.colours().background, std::optional<quint32>(32768));
    }

    void closingDiscardsTheChoiceAndEveryNewWindowStartsFromBlackAndGreen()
    {
        const QByteArray started = prefFile();
        open();
        option(3)->click();
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!window);
        QCOMPARE(prefFile(), started);
        open();
        QCOMPARE(checkedOptions(), (QList<int>{1, 16, 24}));
        for (int n = 1; n <= 24; ++n) // the descriptions' buttons carry their names as captions
            QCOMPARE(option(n)->text(), n >= 17 ? QStringLiteral("Option%1").arg(n) : QString());

        // A folder in the way of pref.txt: reported, nothing shown, the window stays with the choice.
        QVERIFY(QFile::remove(p->folder.file("pref.txt")) && QDir(p->folder.path()).mkdir("pref.txt"));
        option(3)->click();
        try {
            storage::writePrefs(p->folder.file("pref.txt"), {});
        } catch (const base::Failure &failure) {
            dialogs.expectMessage(failure.longMessage());
        }
        window->findChild<QPushButton *>("Command1")->click();
        QVERIFY(window && window->isVisible());
        QCOMPARE(p->program.colours().background, std::optional<quint32>(0));
    }
};

QTEST_MAIN(PreferencesWindowTest)
#include "preferences_window_test.moc"
