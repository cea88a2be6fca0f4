#pragma once

namespace widgets {

// A control's rectangle in twips (1440 to the inch, 15 to a pixel): Left, Top,
// Width, Height relative to its container. Plain data, so the layout rules can
// work on it without widgets.
struct TwipRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const TwipRect &o) const
    {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
    bool operator!=(const TwipRect &o) const { return !(*this == o); }
};

} // namespace widgets
