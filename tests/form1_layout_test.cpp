// The main window's layout: reflowing on resize, minimise, maximise and
// restore, the divider drag, and the list's tool tip. The rules' numbers are
// proven in layout_rules_test; here the window feeds them and places its controls.
#include "app/twips.h"
#include "support/started_program.h"

#include <QApplication>
#include <QCheckBox>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QWindow>

class Form1LayoutTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;
    Form1 *form = nullptr;

    // Resizes the window so that its client area is w x h pixels.
    void resizeClient(int w, int h)
    {
        form->resize(form->size() - form->centralWidget()->size() + QSize(w, h));
        QTRY_COMPARE(form->centralWidget()->size(), QSize(w, h));
    }

    // The controls stand where the rules put them for the outer size w x h, which is remembered.
    void verifyLaidOutFor(int w, int h)
    {
        QCOMPARE(twipsOf(form->List1).height, h - 2130);
        QCOMPARE(twipsOf(form->Text1).width, w - twipsOf(form->Text1).left - 240);
        QCOMPARE(twipsOf(form->chkDesc).top, h - 1185 + 220);
        QCOMPARE(form->Text1->geometry(), toPixels(twipsOf(form->Text1)));
        QCOMPARE(QSize(form->remembered.width, form->remembered.height), QSize(w, h));
    }

    // Moves the pointer over the divider to client position p (twips) with the given buttons down.
    void moveOverDivider(double p, Qt::MouseButtons buttons)
    {
        const QPointF local((p - twipsOf(form->Image1).left) / kTwipsPerPixel, 5);
        QMouseEvent event(QEvent::MouseMove, local, form->Image1->mapToGlobal(local), Qt::NoButton, buttons, {});
        QApplication::sendEvent(form->Image1, &event);
    }

private slots:
    void init()
    {
        dialogs.reset();
        program = std::make_unique<StartedProgram>(dialogs, sampleItemBytes());
        form = program->form.get();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        program.reset();
    }

    void showingMovesNothingThenResizingReflowsAndMinimisingWaitsForTheRestore()
    {
        // The first notification reports the initial size, 8295 x 5865 outside.
        QCOMPARE(QSize(form->remembered.width, form->remembered.height), QSize(8295, 5865));
        QCOMPARE(twipsOf(form->chkDesc).top, 4860);
        QCOMPARE(twipsOf(form->Image1).height, 5040);

        resizeClient(600, 400);
        const int w = 600 * 15 + 120, h = 400 * 15 + 690; // outside: 15 twips a pixel plus frame and bars
        verifyLaidOutFor(w, h);
        const TwipRect description = twipsOf(form->Text1);
        form->showMinimized();
        QTRY_COMPARE(form->remembered.state, 1);
        QCOMPARE(twipsOf(form->Text1), description);

        // Disturb a control: the restore to the same size puts it back.
        setTwipsHeight(form->List1, 1000);
        form->showNormal();
        QTRY_COMPARE(form->remembered.state, 0);
        verifyLaidOutFor(w, h);
    }

    void maximisingBeyond32767TwipsLaysOutAndRemembersTheSize()
    {
        if (QGuiApplication::primaryScreen()->availableGeometry().width() <= 2200)
            QSKIP("needs a screen wider than 2200 pixels (the offscreen platform gets one in main())");
        form->showMaximized();
        QTRY_VERIFY(form->outerWidthTwips() > 32767);
        QTRY_COMPARE(form->remembered.state, 2);
        QTRY_COMPARE(form->remembered.width, form->outerWidthTwips());
        verifyLaidOutFor(form->outerWidthTwips(), form->outerHeightTwips());
    }

    void theDividerFollowsThePointerOnlyWhileAButtonPressedOnItIsDown()
    {
        // Moving over the bar does nothing, button down or not, until a button is pressed on it.
        moveOverDivider(2000, Qt::NoButton);
        moveOverDivider(2000, Qt::LeftButton);
        QCOMPARE(twipsOf(form->List1).width, 3015);

        // Real pointer events through the window: the press on the bar captures
        // the pointer, so the move over the list still reaches the bar.
        QWindow *window = form->windowHandle();
        const QPoint onBar = form->Image1->mapTo(form, form->Image1->rect().center());
        const QPoint overList = form->centralWidget()->mapTo(form, QPoint(100, 150));
        QTest::mousePress(window, Qt::LeftButton, {}, onBar);
        QTRY_VERIFY(form->dividerDrag);
        QTest::mouseMove(window, overList);
        QTRY_COMPARE(twipsOf(form->List1).width, 1500);
        QCOMPARE(twipsOf(form->Text1), (TwipRect{1725, 360, 6330, 4695}));
        QTest::mouseRelease(window, Qt::LeftButton, {}, overList);
        QTRY_VERIFY(!form->dividerDrag);
        QCOMPARE(form->Image1->geometry().x(), twipsToPixels(1620));

        moveOverDivider(2500, Qt::LeftButton); // ignored after the release
        QCOMPARE(twipsOf(form->List1).width, 1500);
    }

    void theTimerShowsTheSelectedNameAsTheListsToolTip()
    {
        QVERIFY(form->Timer1->isActive() && form->Timer1->interval() == 500);
        form->selectIndex(0);
        form->Timer1_Timer();
        QCOMPARE(form->List1->toolTip(), QStringLiteral("small metallic ring"));
        form->List1->selectionModel()->clearSelection();
        form->Timer1_Timer();
        QCOMPARE(form->List1->toolTip(), QStringLiteral("small metallic ring"));
    }
};

int main(int argc, char *argv[])
{
    // The offscreen platform's screen is 800 pixels wide; give it a 2560 x 1440
    // screen so that a maximised window is wider than 32767 twips.
    QTemporaryFile screens;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screens.open()) {
        screens.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 2560, "height": 1440,
                          "logicalDpiX": 96, "logicalDpiY": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    }
    QApplication app(argc, argv);
    Form1LayoutTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "form1_layout_test.moc"
