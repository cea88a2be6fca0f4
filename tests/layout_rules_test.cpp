// The main window's layout rules on plain numbers: resizing, the minimum size,
// minimising and maximising, the remembered size, and the divider drag.
#include "main_window/layout_rules.h"

#include <QTest>

#include <limits>

namespace {

// The controls as the main window is designed.
MainWindowLayout designed()
{
    MainWindowLayout l;
    l.Text2 = {120, 4320, 3015, 285};
    l.Command2 = {2160, 4680, 975, 375};
    l.Command3 = {120, 4680, 975, 375};
    l.Text1 = {3360, 360, 4695, 4695};
    l.List1 = {120, 360, 3015, 3735};
    l.Label2 = {3240, 120, 1095, 255};
    l.chkItems = {1200, 4640, 855, 195};
    l.chkDesc = {1200, 4860, 855, 195};
    l.Image1 = {3135, 120, 225, 5040};
    return l;
}

// The initial outer size: the client area 8175 x 5175 plus frame, title and menu bar.
constexpr double kInitialWidth = 8295;
constexpr double kInitialHeight = 5865;

bool operator==(const MainWindowLayout &a, const MainWindowLayout &b)
{
    return a.List1 == b.List1 && a.Text2 == b.Text2 && a.Command2 == b.Command2 && a.Command3 == b.Command3
           && a.Text1 == b.Text1 && a.Label2 == b.Label2 && a.chkItems == b.chkItems && a.chkDesc == b.chkDesc
           && a.Image1 == b.Image1;
}

// The state start-up leaves: lower controls fitted, normal state and size remembered.
struct Started
{
    MainWindowLayout layout = designed();
    RememberedLayout remembered;
    Started()
    {
        remembered.state = 0;
        layoutrules::fitLowerControls(layout, kInitialHeight);
        layoutrules::rememberSize(remembered, kInitialWidth, kInitialHeight);
    }
    layoutrules::ResizeOutcome resize(WindowState state, double w, double h)
    {
        return layoutrules::resize(layout, remembered, state, w, h);
    }
};

using layoutrules::ResizeOutcome;

} // namespace

class LayoutRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void startUpFitsTheInitialSizeSoTheFirstNotificationMovesNothing()
    {
        Started s;
        QVERIFY(s.layout == designed());
        QCOMPARE(s.resize(WindowState::Normal, kInitialWidth, kInitialHeight), ResizeOutcome::Unchanged);
        QVERIFY(s.layout == designed());
        QCOMPARE(s.layout.chkItems.top, 4640);
        QCOMPARE(s.layout.chkDesc.top, 4860);
    }

    void theInitialSizeGivesBackTheDesignedGeometryWhenLaidOut()
    {
        MainWindowLayout layout = designed();
        RememberedLayout remembered; // all 0, as when the window is created
        QCOMPARE(layoutrules::resize(layout, remembered, WindowState::Normal, kInitialWidth, kInitialHeight),
                 ResizeOutcome::LaidOut);
        QCOMPARE(layout.List1.height, 3735);
        QCOMPARE(layout.Text2.top, 4320);
        QCOMPARE(layout.Command2.top, 4680);
        QCOMPARE(layout.Command3.top, 4680);
        QCOMPARE(layout.Text1.height, 4695);
        QCOMPARE(layout.Text1.width, 4695);
        QCOMPARE(layout.Image1.height, 5865);
        QCOMPARE(layout.chkItems.top, 4680);
        QCOMPARE(layout.chkDesc.top, 4900);
    }

    void aLargerWindowStretchesTheListAndTheDescription()
    {
        Started s;
        QCOMPARE(s.resize(WindowState::Normal, 10000, 7000), ResizeOutcome::LaidOut);
        QCOMPARE(s.layout.List1.height, 4870);
        QCOMPARE(s.layout.Text2.top, 5455);
        QCOMPARE(s.layout.Command2.top, 5815);
        QCOMPARE(s.layout.Command3.top, 5815);
        QCOMPARE(s.layout.Text1.height, 5830);
        QCOMPARE(s.layout.Text1.width, 6400);
        QCOMPARE(s.layout.Text1.left, 3360);
        QCOMPARE(s.layout.Image1.height, 7000);
        QCOMPARE(s.layout.chkItems.top, 5815);
        QCOMPARE(s.layout.chkDesc.top, 6035);
        // Lefts and the other widths stay.
        QCOMPARE(s.layout.List1.width, 3015);
        QCOMPARE(s.layout.Command2.left, 2160);
        QCOMPARE(s.layout.Label2, designed().Label2);
        QCOMPARE(s.remembered.width, 10000);
        QCOMPARE(s.remembered.height, 7000);
        QCOMPARE(s.resize(WindowState::Normal, 10000, 7000), ResizeOutcome::Unchanged);
    }

    void theMinimumHeightKeepsTheListTallerThan100()
    {
        Started s;
        QCOMPARE(s.resize(WindowState::Normal, 10000, 2230), ResizeOutcome::TooSmall);
        QVERIFY(s.layout == Started().layout);
        QCOMPARE(s.remembered.height, qint32(kInitialHeight)); // nothing remembered

        QCOMPARE(s.resize(WindowState::Normal, 10000, 2231), ResizeOutcome::LaidOut);
        QCOMPARE(s.layout.List1.height, 101);
        QCOMPARE(s.remembered.height, 2231);
    }

    void theMinimumWidthKeepsTheDescriptionWiderThanNothing()
    {
        Started s;
        const double atMinimum = s.layout.Text1.left + 240;
        for (double height : {3000.0, 7000.0, 20000.0}) {
            QCOMPARE(s.resize(WindowState::Normal, atMinimum, height), ResizeOutcome::TooSmall);
            QVERIFY(s.layout == Started().layout);
        }
        QCOMPARE(s.resize(WindowState::Normal, atMinimum + 1, 7000), ResizeOutcome::LaidOut);
        QCOMPARE(s.layout.Text1.width, 1);
    }

    void minimisingRemembersOnlyTheStateAndTheRestoreLaysOutAgain()
    {
        Started s;
        s.resize(WindowState::Normal, 10000, 7000);
        const MainWindowLayout before = s.layout;
        QCOMPARE(s.resize(WindowState::Minimized, 10000, 7000), ResizeOutcome::Minimized);
        QCOMPARE(s.remembered.state, 1);
        QCOMPARE(s.remembered.width, 10000);
        QCOMPARE(s.remembered.height, 7000);
        QVERIFY(s.layout == before);
        // Minimised windows may report any size; nothing moves for it.
        QCOMPARE(s.resize(WindowState::Minimized, 2000, 400), ResizeOutcome::Minimized);
        QVERIFY(s.layout == before);
        QCOMPARE(s.remembered.width, 10000);

        QCOMPARE(s.resize(WindowState::Normal, 10000, 7000), ResizeOutcome::LaidOut);
        QCOMPARE(s.remembered.state, 0);
        QVERIFY(s.layout == before);
    }

    void aMaximisedWindowBeyond32767TwipsIsRememberedExactly()
    {
        // A 2560 x 1440 screen: 38400 x 21600 twips, beyond 16 bits.
        Started s;
        QCOMPARE(s.resize(WindowState::Maximized, 38400, 21600), ResizeOutcome::LaidOut);
        QCOMPARE(s.remembered.state, 2);
        QCOMPARE(s.remembered.width, 38400);
        QCOMPARE(s.remembered.height, 21600);
        QCOMPARE(s.layout.Text1.width, 38400 - 3360 - 240);
        QCOMPARE(s.layout.List1.height, 21600 - 2130);
        QCOMPARE(s.layout.Image1.height, 21600);
        // The next notification of the same size is recognised and skipped.
        QCOMPARE(s.resize(WindowState::Maximized, 38400, 21600), ResizeOutcome::Unchanged);
        // Restoring lays out the normal size again.
        QCOMPARE(s.resize(WindowState::Normal, kInitialWidth, kInitialHeight), ResizeOutcome::LaidOut);
        QCOMPARE(s.layout.Text1.width, 4695);
    }

    void sizesRoundHalvesToEvenAndSaturateAt32Bits()
    {
        QCOMPARE(layoutrules::roundedTwips(2.5), 2);
        QCOMPARE(layoutrules::roundedTwips(3.5), 4);
        QCOMPARE(layoutrules::roundedTwips(3.49), 3);
        QCOMPARE(layoutrules::roundedTwips(-2.5), -2);
        QCOMPARE(layoutrules::roundedTwips(40000.5), 40000);
        QCOMPARE(layoutrules::roundedTwips(1e12), std::numeric_limits<qint32>::max());
        QCOMPARE(layoutrules::roundedTwips(-1e12), std::numeric_limits<qint32>::min());

        // A fractional size is remembered rounded, so it does not match itself next time.
        Started s;
        QCOMPARE(s.resize(WindowState::Normal, 9000.5, 7000), ResizeOutcome::LaidOut);
        QCOMPARE(s.remembered.width, 9000);
        QCOMPARE(s.resize(WindowState::Normal, 9000.5, 7000), ResizeOutcome::LaidOut);
        QCOMPARE(s.resize(WindowState::Normal, 9000, 7000), ResizeOutcome::Unchanged);
    }

    void draggingTheDividerMovesTheBoundaryAndReleasePlacesTheBar()
    {
        Started s;
        QVERIFY(layoutrules::dragDivider(s.layout, kInitialWidth, 2000));
        QCOMPARE(s.layout.List1.width, 2000);
        QCOMPARE(s.layout.Text2.width, 2000);
        QCOMPARE(s.layout.Command2.left, 1145);
        QCOMPARE(s.layout.Command2.width, 975);
        QCOMPARE(s.layout.Text1.left, 2225);
        QCOMPARE(s.layout.Text1.width, 5830);
        QCOMPARE(s.layout.Label2.left, 2225);
        QCOMPARE(s.layout.Image1.left, 3135); // the bar stays during the drag

        layoutrules::releaseDivider(s.layout);
        QCOMPARE(s.layout.Image1.left, 2120);

        // A later resize keeps the moved boundary.
        s.resize(WindowState::Normal, 10000, 7000);
        QCOMPARE(s.layout.Text1.left, 2225);
        QCOMPARE(s.layout.Text1.width, 10000 - 2225 - 240);
    }

    void theDividerStopsShortOfBothEdges_data()
    {
        QTest::addColumn<double>("p");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("list 50 twips") << 50.0 << false;
        QTest::newRow("list 51 twips") << 51.0 << true;
        QTest::newRow("description side 261 twips") << 7569.0 << true;
        QTest::newRow("description side 260 twips") << 7570.0 << false;
        QTest::newRow("left of the window") << -300.0 << false;
        QTest::newRow("right of the window") << 9000.0 << false;
    }

    void theDividerStopsShortOfBothEdges()
    {
        QFETCH(double, p);
        QFETCH(bool, accepted);
        Started s;
        QVERIFY(layoutrules::dragDivider(s.layout, kInitialWidth, 1000));
        const MainWindowLayout before = s.layout;
        QCOMPARE(layoutrules::dragDivider(s.layout, kInitialWidth, p), accepted);
        if (accepted) {
            QCOMPARE(s.layout.List1.width, int(p));
            QCOMPARE(s.layout.Text1.left, int(p) + 225);
        } else {
            QVERIFY(s.layout == before); // nothing is clamped
        }
    }
};

QTEST_APPLESS_MAIN(LayoutRulesTest)
#include "layout_rules_test.moc"
