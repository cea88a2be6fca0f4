// The main window's layout rules on plain numbers: resizing, the minimum size,
// the remembered size, and the divider drag.
#include "main_window/layout_rules.h"

#include <QTest>

#include <utility>

using main_window::ResizeOutcome;

// Readable TwipRect values in failure messages.
char *toString(const widgets::TwipRect &r)
{
    return QTest::toString(QStringLiteral("{%1, %2, %3, %4}").arg(r.left).arg(r.top).arg(r.width).arg(r.height));
}

namespace {

// The controls as the main window is designed.
main_window::MainWindowLayout designed()
{
    return main_window::MainWindowLayout{{120, 360, 3015, 3735}, {120, 4320, 3015, 285},  {2160, 4680, 975, 375},
                                         {120, 4680, 975, 375},  {3360, 360, 4695, 4695}, {3240, 120, 1095, 255},
                                         {1200, 4640, 855, 195}, {1200, 4860, 855, 195},  {3135, 120, 225, 5040}};
}

// The initial outer size: the client area 8175 x 5175 plus frame, title and menu bar.
constexpr double kInitialWidth = 8295;
constexpr double kInitialHeight = 5865;

// The state start-up leaves: lower controls fitted, normal state and size remembered.
struct Started
{
    main_window::MainWindowLayout layout = designed();
    main_window::RememberedLayout remembered;
    Started()
    {
        main_window::fitLowerControlsToHeight(layout, kInitialHeight);
        main_window::rememberOuterSize(remembered, kInitialWidth, kInitialHeight);
    }
    main_window::ResizeOutcome resize(main_window::WindowState state, double w, double h)
    {
        return main_window::layOutResizedWindow(layout, remembered, state, w, h);
    }
    // Every control, in the order of MainWindowLayout.
    QList<widgets::TwipRect> controls() const
    {
        return {layout.list,          layout.searchBox,         layout.searchButton,
                layout.showAllButton, layout.descriptionView,   layout.descriptionHeading,
                layout.inNamesBox,    layout.inDescriptionsBox, layout.divider};
    }
    QList<qint32> memory() const { return {remembered.state, remembered.width, remembered.height}; }
};

} // namespace

class LayoutRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void resizingStretchesTheControlsDownToTheMinimumSizeAndRemembersSizesBeyond16Bits()
    {
        Started s;
        QCOMPARE(s.resize(main_window::WindowState::Normal, 10000, 7000), main_window::ResizeOutcome::LaidOut);
        // Only tops, heights and the description's width change.
        QCOMPARE(s.controls(), (QList<widgets::TwipRect>{{120, 360, 3015, 4870}, {120, 5455, 3015, 285},  {2160, 5815, 975, 375},
                                                         {120, 5815, 975, 375},  {3360, 360, 6400, 5830}, {3240, 120, 1095, 255},
                                                         {1200, 5815, 855, 195}, {1200, 6035, 855, 195},  {3135, 120, 225, 7000}}));
        QCOMPARE(s.memory(), (QList<qint32>{0, 10000, 7000}));
        QCOMPARE(s.resize(main_window::WindowState::Normal, 10000, 7000), main_window::ResizeOutcome::Unchanged);

        // Maximised on a 2560 x 1440 screen: 38400 x 21600 twips, beyond 16 bits.
        QCOMPARE(s.resize(main_window::WindowState::Maximized, 38400, 21600), main_window::ResizeOutcome::LaidOut);
        QCOMPARE(s.memory(), (QList<qint32>{2, 38400, 21600}));
        QCOMPARE(s.layout.descriptionView.width, 38400 - 3360 - 240);

        // Below the minimum size nothing moves nor is remembered.
        QCOMPARE(s.resize(main_window::WindowState::Normal, 10000, 2230), main_window::ResizeOutcome::TooSmall);
        QCOMPARE(s.memory(), (QList<qint32>{2, 38400, 21600}));
        QCOMPARE(s.resize(main_window::WindowState::Normal, 10000, 2231), main_window::ResizeOutcome::LaidOut);
        QCOMPARE(s.layout.list.height, 101);

        // The description's left + 240 is too narrow, whatever the height.
        const double atMinimum = s.layout.descriptionView.left + 240;
        QCOMPARE(s.resize(main_window::WindowState::Normal, atMinimum, 20000), main_window::ResizeOutcome::TooSmall);
        QCOMPARE(s.resize(main_window::WindowState::Normal, atMinimum + 1, 7000), main_window::ResizeOutcome::LaidOut);
        QCOMPARE(s.layout.descriptionView.width, 1);
    }

    void draggingTheDividerMovesTheBoundaryAndReleasePlacesTheBar()
    {
        Started s;
        QVERIFY(main_window::moveDividerTo(s.layout, kInitialWidth, 2000));
        // The bar itself stays during the drag.
        QCOMPARE(s.controls(), (QList<widgets::TwipRect>{{120, 360, 2000, 3735}, {120, 4320, 2000, 285},  {1145, 4680, 975, 375},
                                                         {120, 4680, 975, 375},  {2225, 360, 5830, 4695}, {2225, 120, 1095, 255},
                                                         {1200, 4640, 855, 195}, {1200, 4860, 855, 195},  {3135, 120, 225, 5040}}));
        main_window::putDividerAtListEdge(s.layout);
        QCOMPARE(s.layout.divider.left, 2120);

        // A later resize keeps the moved boundary.
        s.resize(main_window::WindowState::Normal, 10000, 7000);
        QCOMPARE(s.layout.descriptionView, (widgets::TwipRect{2225, 360, 10000 - 2225 - 240, 5830}));
    }

    void theDividerStopsShortOfBothEdgesWithoutClamping()
    {
        using Position = std::pair<double, bool>; // p, whether the drag takes it
        for (const auto &[p, accepted] : {Position{50, false}, Position{51, true}, Position{7569, true},
                                          Position{7570, false}}) {
            Started s;
            QVERIFY(main_window::moveDividerTo(s.layout, kInitialWidth, 1000));
            QCOMPARE(main_window::moveDividerTo(s.layout, kInitialWidth, p), accepted);
            QCOMPARE(s.layout.descriptionView.left, accepted ? int(p) + 225 : 1225);
        }
    }
};

QTEST_APPLESS_MAIN(LayoutRulesTest)
#include "layout_rules_test.moc"
