#include "main_window/layout_rules.h"

#include <cmath>
#include <limits>

namespace main_window {
namespace {

// Distances from the outer height, as the window is designed.
constexpr double kListHeightMargin = 2130;  // list bottom to the window's outer bottom
constexpr double kSearchBoxMargin = 1545;   // search box top
constexpr double kButtonsMargin = 1185;     // Search and Show All tops
constexpr double kDescriptionMargin = 1170; // description view bottom
constexpr double kRightMargin = 240;        // description view right edge to the outer right
constexpr double kMinListHeight = 100;
constexpr int kCheckBoxSpacing = 220;
// The splitter keeps the list wider than 50 twips and the description side wider than 260.
constexpr double kMinListWidth = 50;
constexpr double kMinDescriptionWidth = 260;
constexpr int kSearchButtonOverhang = 120; // Search ends 120 twips right of the search box

} // namespace

qint32 roundedTwips(double value)
{
    if (std::isnan(value))
        return 0;
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1;
    if (rounded >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (rounded <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(rounded);
}

void fitLowerControlsToHeight(MainWindowLayout &layout, double outerHeight)
{
    layout.List1.height = roundedTwips(outerHeight - kListHeightMargin);
    layout.Text2.top = roundedTwips(outerHeight - kSearchBoxMargin);
    layout.Command3.top = roundedTwips(outerHeight - kButtonsMargin);
    layout.Command2.top = roundedTwips(outerHeight - kButtonsMargin);
}

void rememberOuterSize(RememberedLayout &remembered, double outerWidth, double outerHeight)
{
    remembered.width = roundedTwips(outerWidth);
    remembered.height = roundedTwips(outerHeight);
}

ResizeOutcome layOutResizedWindow(MainWindowLayout &layout, RememberedLayout &remembered, WindowState state,
                                  double outerWidth, double outerHeight)
{
    if (remembered.state == qint32(state) && double(remembered.width) == outerWidth
        && double(remembered.height) == outerHeight)
        return ResizeOutcome::Unchanged;

    // The size stays remembered from before, so the restore that follows lays out again.
    if (state == WindowState::Minimized) {
        remembered.state = qint32(WindowState::Minimized);
        return ResizeOutcome::Minimized;
    }

    if (!(layout.Text1.left + kRightMargin < outerWidth && outerHeight - kListHeightMargin > kMinListHeight))
        return ResizeOutcome::TooSmall;

    fitLowerControlsToHeight(layout, outerHeight);
    layout.Text1.height = roundedTwips(outerHeight - kDescriptionMargin);
    layout.Text1.width = roundedTwips(outerWidth - layout.Text1.left - kRightMargin);
    remembered.state = qint32(state);
    rememberOuterSize(remembered, outerWidth, outerHeight);
    layout.Image1.height = roundedTwips(outerHeight);
    layout.chkItems.top = layout.Command3.top;
    layout.chkDesc.top = layout.chkItems.top + kCheckBoxSpacing;
    return ResizeOutcome::LaidOut;
}

bool moveDividerTo(MainWindowLayout &layout, double outerWidth, double p)
{
    if (!(p > kMinListWidth && outerWidth - (p + layout.Image1.width) - kRightMargin > kMinDescriptionWidth))
        return false;
    layout.List1.width = roundedTwips(p);
    layout.Text2.width = roundedTwips(p);
    layout.Command2.left = roundedTwips(p - layout.Command2.width + kSearchButtonOverhang);
    layout.Text1.left = roundedTwips(p + layout.Image1.width);
    layout.Text1.width = roundedTwips(outerWidth - layout.Text1.left - kRightMargin);
    layout.Label2.left = roundedTwips(p + layout.Image1.width);
    return true;
}

void putDividerAtListEdge(MainWindowLayout &layout)
{
    layout.Image1.left = layout.List1.left + layout.List1.width;
}

} // namespace main_window
