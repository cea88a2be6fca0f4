#pragma once

#include "widgets/twip_rect.h"

#include <QtGlobal>

namespace main_window {

// The main window's layout rules, on plain numbers: the window reports its
// state and outer size (twips, frame, title bar and menu bar included), and the
// rules say where the lower controls, the description view and the divider go.

// Window states as the layout numbers them.
enum class WindowState : qint32 { Normal = 0, Minimized = 1, Maximized = 2 };

// The state and outer size of the last layout (or of start-up), so that a resize
// notification that changes nothing is skipped. 32 bits: a maximised window on a
// screen wider than 2184 pixels is more than 32767 twips wide.
struct RememberedLayout
{
    qint32 state = 0;
    qint32 width = 0;
    qint32 height = 0;
};

// The controls of the main window that the layout moves or sizes, in twips.
struct MainWindowLayout
{
    widgets::TwipRect List1;
    widgets::TwipRect Text2;
    widgets::TwipRect Command2;
    widgets::TwipRect Command3;
    widgets::TwipRect Text1;
    widgets::TwipRect Label2;
    widgets::TwipRect chkItems;
    widgets::TwipRect chkDesc;
    widgets::TwipRect Image1;
};

// What a resize notification did.
enum class ResizeOutcome {
    Unchanged,   // same state and size as the last layout
    Minimized,   // only the minimised state was remembered
    TooSmall,    // below the minimum size: nothing moved, nothing remembered
    LaidOut,     // the rules were applied and the size remembered
};

// A length rounded to whole twips, halves to the even neighbour, held in 32 bits
// (a value beyond 32 bits is held at the nearest limit).
qint32 roundedTwips(double value);

// Fits the item list, the search box and the two buttons to the outer height
// (start-up does this, and every layout begins with it).
void fitLowerControlsToHeight(MainWindowLayout &layout, double outerHeight);

// Remembers the outer size (and leaves the remembered state alone).
void rememberOuterSize(RememberedLayout &remembered, double outerWidth, double outerHeight);

// The rules run on every change of the window's size or state.
ResizeOutcome layOutResizedWindow(MainWindowLayout &layout, RememberedLayout &remembered, WindowState state,
                                  double outerWidth, double outerHeight);

// The pointer, dragging the divider, is at client position p: moves the boundary
// between the list side and the description view there. A position that would
// leave the list 50 twips or less, or the description side 260 twips or less,
// is ignored (nothing is clamped). Returns whether the position was taken.
bool moveDividerTo(MainWindowLayout &layout, double outerWidth, double p);

// The drag ended: the divider bar goes to the right edge of the item list.
void putDividerAtListEdge(MainWindowLayout &layout);

} // namespace main_window
