#include "prefs/colour_palette.h"

#include <QtGlobal>

namespace prefs {
namespace {

const std::array<PaletteRow, kPaletteRows> kBackground = {{
    {1, 1, -1, 0, "black"},
    {2, 2, 0, 16777215, "white"},
    {3, 2, 1, 12582912, "dark blue"},
    {4, 3, -1, 8388736, "purple"},
    {5, 4, -1, 32896, "olive"},
    {6, 5, -1, 192, "dark red"},
    {7, 6, -1, 12632256, "silver"},
    {15, 12, -1, 32768, "green"},
}};

const std::array<PaletteRow, kPaletteRows> kItems = {{
    {8, 7, -1, 0, "black"},
    {9, 2, 3, 16777215, "white"},
    {10, 2, 2, 16777088, "light cyan"},
    {11, 11, -1, 16711935, "magenta"},
    {12, 10, -1, 65535, "yellow"},
    {13, 9, -1, 255, "red"},
    {14, 8, -1, 12632256, "silver"},
    {16, 13, -1, 65280, "bright green"},
}};

const std::array<PaletteRow, kPaletteRows> kDescriptions = {{
    {17, 14, -1, 0, "black"},
    {18, 2, 5, 16777215, "white"},
    {19, 2, 4, 16777088, "light cyan"},
    {20, 18, -1, 16711935, "magenta"},
    {21, 17, -1, 65535, "yellow"},
    {22, 16, -1, 255, "red"},
    {23, 15, -1, 12632256, "silver"},
    {24, 19, -1, 65280, "bright green"},
}};

quint32 colourOfRow(PaletteGroup group, int row)
{
    Q_ASSERT(row >= 0 && row < kPaletteRows);
    return paletteRows(group).at(std::size_t(row)).colour;
}

} // namespace

const std::array<PaletteRow, kPaletteRows> &paletteRows(PaletteGroup group)
{
    switch (group) {
    case PaletteGroup::Background:
        return kBackground;
    case PaletteGroup::Items:
        return kItems;
    case PaletteGroup::Descriptions:
        break;
    }
    return kDescriptions;
}

int initialPaletteRow(PaletteGroup group)
{
    return group == PaletteGroup::Background ? 0 : kPaletteRows - 1;
}

storage::Prefs paletteColours(int backgroundRow, int itemRow, int descriptionRow)
{
    return storage::Prefs{colourOfRow(PaletteGroup::Background, backgroundRow),
                          colourOfRow(PaletteGroup::Items, itemRow),
                          colourOfRow(PaletteGroup::Descriptions, descriptionRow)};
}

storage::Prefs defaultColours()
{
    // Shape1 is the first background row, Shape13 the last item row.
    const quint32 shape1 = kBackground[0].colour;
    const quint32 shape13 = kItems[kPaletteRows - 1].colour;
    return storage::Prefs{shape1, shape13, shape13};
}

QString optionName(const PaletteRow &row)
{
    return QStringLiteral("Option%1").arg(row.option);
}

QString swatchName(const PaletteRow &row)
{
    return QStringLiteral("Shape%1").arg(row.swatch);
}

} // namespace prefs
