// The main window's layout: reflowing on resize, minimise, maximise and
// restore, the divider drag, and the list's tool tip.
#include "app/module1.h"
#include "app/twips.h"
#include "main_window/form1.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {

// Client sizes in pixels give outer sizes in twips: 15 per pixel plus 120 and 690.
int outerWidthOf(int clientPixels) { return clientPixels * 15 + 120; }
int outerHeightOf(int clientPixels) { return clientPixels * 15 + 690; }

} // namespace

class Form1LayoutTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Module1> state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;

    // Resizes the window so that its client area is w x h pixels.
    void resizeClient(int w, int h)
    {
        const QSize frame = form->size() - form->centralWidget()->size();
        form->resize(frame + QSize(w, h));
        QTRY_COMPARE(form->centralWidget()->size(), QSize(w, h));
    }

    // Checks the layout rules' result for the current outer size.
    void verifyLaidOutFor(int w, int h)
    {
        QCOMPARE(twipsOf(form->List1).height, h - 2130);
        QCOMPARE(twipsOf(form->Text2).top, h - 1545);
        QCOMPARE(twipsOf(form->Command3).top, h - 1185);
        QCOMPARE(twipsOf(form->Command2).top, h - 1185);
        QCOMPARE(twipsOf(form->Text1).height, h - 1170);
        QCOMPARE(twipsOf(form->Text1).width, w - twipsOf(form->Text1).left - 240);
        QCOMPARE(twipsOf(form->Image1).height, h);
        QCOMPARE(twipsOf(form->chkItems).top, h - 1185);
        QCOMPARE(twipsOf(form->chkDesc).top, h - 1185 + 220);
        QCOMPARE(form->remembered.width, w);
        QCOMPARE(form->remembered.height, h);
    }

    // Sends the divider a mouse event at a horizontal position in twips from its left edge.
    void mouseOnDivider(QEvent::Type type, double xTwips, Qt::MouseButtons buttons)
    {
        const QPointF local(xTwips / kTwipsPerPixel, 5);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, form->Image1->mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(form->Image1, &event);
    }
    // Drags to client position p (twips) with the button held down.
    void dragTo(double p) { mouseOnDivider(QEvent::MouseMove, p - twipsOf(form->Image1).left, Qt::LeftButton); }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        folder->write("pref.txt", "0\r\n65280\r\n65280\r\n");
        folder->write("database.txt", sampleItemBytes());
        dialogs.reset();
        state = std::make_unique<Module1>(folder->path());
        form = std::make_unique<Form1>(*state, dialogs);
        form->startUp();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        form.reset();
        state.reset();
    }

    void showingAtTheInitialSizeMovesNothing()
    {
        QCOMPARE(form->outerWidthTwips(), 8295);
        QCOMPARE(form->outerHeightTwips(), 5865);
        QCOMPARE(form->remembered.state, 0);
        QCOMPARE(form->remembered.width, 8295);
        QCOMPARE(form->remembered.height, 5865);
        QCOMPARE(twipsOf(form->List1), (TwipRect{120, 360, 3015, 3735}));
        QCOMPARE(twipsOf(form->Text1), (TwipRect{3360, 360, 4695, 4695}));
        QCOMPARE(twipsOf(form->chkItems).top, 4640);
        QCOMPARE(twipsOf(form->chkDesc).top, 4860);
        QCOMPARE(twipsOf(form->Image1), (TwipRect{3135, 120, 225, 5040}));
    }

    void resizingReflowsTheLowerControlsAndTheDescription()
    {
        resizeClient(700, 500);
        verifyLaidOutFor(outerWidthOf(700), outerHeightOf(500));
        QCOMPARE(twipsOf(form->List1).width, 3015);
        QCOMPARE(twipsOf(form->Label1), (TwipRect{120, 120, 3015, 255}));
        QCOMPARE(form->Text1->geometry(), toPixels(twipsOf(form->Text1)));

        resizeClient(600, 400); // smaller again
        verifyLaidOutFor(outerWidthOf(600), outerHeightOf(400));
    }

    void belowTheMinimumSizeNothingMoves()
    {
        resizeClient(600, 400);
        const TwipRect list = twipsOf(form->List1);
        const TwipRect description = twipsOf(form->Text1);
        // 102 pixels: the list would be 90 twips high.
        resizeClient(600, 102);
        QCOMPARE(twipsOf(form->List1), list);
        QCOMPARE(form->remembered.height, outerHeightOf(400));
        // 103 pixels: 105 twips, taller than 100.
        resizeClient(600, 103);
        QCOMPARE(twipsOf(form->List1).height, 105);

        // An outer width of the description's left + 240 (3600) is too narrow.
        resizeClient(600, 400);
        resizeClient(232, 500);
        QCOMPARE(twipsOf(form->Text1), description);
        QCOMPARE(form->remembered.width, outerWidthOf(600));
        resizeClient(233, 500);
        QCOMPARE(twipsOf(form->Text1).width, 15);
    }

    void minimisingMovesNothingAndRestoringLaysOutAgain()
    {
        resizeClient(600, 400);
        const TwipRect text2 = twipsOf(form->Text2);
        form->showMinimized();
        QTRY_COMPARE(form->remembered.state, 1);
        QCOMPARE(twipsOf(form->Text2), text2);
        QCOMPARE(form->remembered.width, outerWidthOf(600));

        // Disturb a control: the restore to the same size puts it back.
        setTwipsHeight(form->List1, 1000);
        form->showNormal();
        QTRY_COMPARE(form->remembered.state, 0);
        verifyLaidOutFor(outerWidthOf(600), outerHeightOf(400));
    }

    void maximisingBeyond32767TwipsLaysOutAndRemembersTheSize()
    {
        if (QGuiApplication::primaryScreen()->availableGeometry().width() <= 2200)
            QSKIP("needs a screen wider than 2200 pixels (the offscreen platform gets one in main())");
        form->showMaximized();
        QTRY_VERIFY(form->outerWidthTwips() > 32767);
        QTRY_COMPARE(form->remembered.state, 2);
        QTRY_COMPARE(form->remembered.width, form->outerWidthTwips());
        QVERIFY(form->remembered.width > 32767);
        verifyLaidOutFor(form->outerWidthTwips(), form->outerHeightTwips());

        form->showNormal();
        QTRY_COMPARE(form->remembered.state, 0);
        QTRY_COMPARE(form->remembered.width, 8295);
        verifyLaidOutFor(8295, 5865);
    }

    void draggingTheDividerMovesTheBoundaryAndReleasePlacesTheBar()
    {
        mouseOnDivider(QEvent::MouseButtonPress, 100, Qt::LeftButton);
        QVERIFY(form->dividerDrag);
        dragTo(2000);
        QCOMPARE(twipsOf(form->List1).width, 2000);
        QCOMPARE(twipsOf(form->Text2).width, 2000);
        QCOMPARE(twipsOf(form->Command2).left, 1145);
        QCOMPARE(twipsOf(form->Text1).left, 2225);
        QCOMPARE(twipsOf(form->Text1).width, 5830);
        QCOMPARE(twipsOf(form->Label2).left, 2225);
        QCOMPARE(twipsOf(form->Image1).left, 3135);

        mouseOnDivider(QEvent::MouseButtonRelease, 2000 - 3135, Qt::NoButton);
        QVERIFY(!form->dividerDrag);
        QCOMPARE(twipsOf(form->Image1).left, 2120);
        QCOMPARE(form->Image1->geometry().x(), twipsToPixels(2120));
    }

    void movingOverTheDividerWithoutPressingOnItChangesNothing()
    {
        const TwipRect list = twipsOf(form->List1);
        mouseOnDivider(QEvent::MouseMove, -1135, Qt::NoButton);
        mouseOnDivider(QEvent::MouseMove, -1135, Qt::LeftButton);
        QCOMPARE(twipsOf(form->List1), list);
        QCOMPARE(twipsOf(form->Text1).left, 3360);

        // After a release, movements are ignored again.
        mouseOnDivider(QEvent::MouseButtonPress, 100, Qt::LeftButton);
        mouseOnDivider(QEvent::MouseButtonRelease, 100, Qt::NoButton);
        const TwipRect afterRelease = twipsOf(form->List1);
        dragTo(1500);
        QCOMPARE(twipsOf(form->List1), afterRelease);
    }

    void theDividerKeepsTheDragWhenThePointerLeavesIt()
    {
        // Real pointer events through the window: the press on the bar captures
        // the pointer, so the move over the list still reaches the bar.
        QWindow *window = form->windowHandle();
        const QPoint onBar = form->Image1->mapTo(form.get(), form->Image1->rect().center());
        const QPoint overList = form->centralWidget()->mapTo(form.get(), QPoint(100, 150));
        QTest::mousePress(window, Qt::LeftButton, {}, onBar);
        QTRY_VERIFY(form->dividerDrag);
        QTest::mouseMove(window, overList);
        QTRY_COMPARE(twipsOf(form->List1).width, 1500);
        QTest::mouseRelease(window, Qt::LeftButton, {}, overList);
        QTRY_VERIFY(!form->dividerDrag);
        QCOMPARE(twipsOf(form->Image1).left, 1620);
    }

    void theTimerShowsTheSelectedNameAsTheListsToolTip()
    {
        QVERIFY(form->Timer1->isActive());
        QCOMPARE(form->Timer1->interval(), 500);
        form->Timer1_Timer();
        QVERIFY(form->List1->toolTip().isEmpty());

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
