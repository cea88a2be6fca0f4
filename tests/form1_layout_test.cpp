// The main window's layout: reflowing on resize, minimise, maximise and
// restore, the divider drag, and the list's tool tip. The rules' numbers are
// proven in layout_rules_test; here the window feeds them and places its controls.
#include "app/twips.h"
#include "support/started_program.h"

#include <QApplication>
#include <QCheckBox>
#include <QListView>
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

    // The controls stand where the rules put them for the outer size w x h, which is remembered.
    void verifyLaidOutFor(int w, int h)
    {
        QCOMPARE(twipsOf(form->List1).height, h - 2130);
        QCOMPARE(twipsOf(form->Text1).width, w - twipsOf(form->Text1).left - 240);
        QCOMPARE(QSize(form->remembered.width, form->remembered.height), QSize(w, h));
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

    void theWindowReflowsOnResizeWaitsWhileMinimisedAndRemembersAMaximisedSizeBeyond32767Twips()
    {
        // The first notification reports the initial size: the check boxes stay where they were designed.
        QCOMPARE(twipsOf(form->chkDesc).top, 4860);

        form->resize(form->size() - form->centralWidget()->size() + QSize(600, 400));
        QTRY_COMPARE(form->centralWidget()->size(), QSize(600, 400));
        const int w = 600 * 15 + 120, h = 400 * 15 + 690; // outside: 15 twips a pixel plus frame and bars
        verifyLaidOutFor(w, h);
        form->showMinimized();
        QTRY_COMPARE(form->remembered.state, 1);
        // Disturb a control: the restore to the same size puts it back.
        setTwipsHeight(form->List1, 1000);
        form->showNormal();
        QTRY_COMPARE(form->remembered.state, 0);
        verifyLaidOutFor(w, h);

        if (QGuiApplication::primaryScreen()->availableGeometry().width() <= 2200)
            QSKIP("needs a screen wider than 2200 pixels (the offscreen platform gets one in main())");
        form->showMaximized();
        QTRY_VERIFY(form->remembered.width > 32767);
        QCOMPARE(form->remembered.state, 2);
        verifyLaidOutFor(form->outerWidthTwips(), form->outerHeightTwips());
    }

    void theDividerFollowsThePointerOnlyWhileAButtonPressedOnItIsDown()
    {
        // Moving over the bar (the handler takes the position from the bar's left edge)
        // does nothing until a button is pressed on it.
        form->Image1_MouseMove(-1000);
        QCOMPARE(twipsOf(form->List1).width, 3015);

        // Real pointer events through the window: the press on the bar captures
        // the pointer, so the move over the list still reaches the bar.
        QWindow *window = form->windowHandle();
        const QPoint overList = form->centralWidget()->mapTo(form, QPoint(100, 150));
        QTest::mousePress(window, Qt::LeftButton, {}, form->Image1->mapTo(form, form->Image1->rect().center()));
        QTest::mouseMove(window, overList);
        QTRY_COMPARE(twipsOf(form->List1).width, 1500);
        QTest::mouseRelease(window, Qt::LeftButton, {}, overList);
        QTRY_COMPARE(form->Image1->geometry().x(), twipsToPixels(1620));

        form->Image1_MouseMove(1000); // ignored after the release
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
