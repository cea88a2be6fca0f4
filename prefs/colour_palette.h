#pragma once

#include "storage/pref_file.h"

#include <QString>
#include <QtGlobal>

#include <array>

// The fixed palettes of the preferences window: eight background colours and
// eight text colours (the same for item names and descriptions). The window
// draws its swatches from these rows, and start-up takes the colours of a new
// pref.txt from the same swatches without opening the window.
namespace prefs {

enum class PaletteGroup { Background, Items, Descriptions };

inline constexpr int kPaletteRows = 8;

// One row of a palette: its option button, its swatch and the swatch's fill colour.
struct PaletteRow
{
    int option;          // OptionN
    int swatch;          // ShapeN
    int swatchIndex;     // index within the Shape2 array, -1 for a single swatch
    quint32 colour;      // red + 256 * green + 65536 * blue
    const char *name;    // the colour's name, for screen readers and tool tips
};

// The rows of a group from top to bottom, which is also the order in which
// OK examines their option buttons.
const std::array<PaletteRow, kPaletteRows> &paletteRows(PaletteGroup group);

// The row selected when the window is created: black background, green text.
int initialPaletteRow(PaletteGroup group);

// The colours of the selected rows (numbered from 0).
storage::Prefs paletteColours(int backgroundRow, int itemRow, int descriptionRow);

// The colours of a new pref.txt: the swatch Shape1 for the background and the
// swatch Shape13 for both text colours.
storage::Prefs defaultColours();

// "Option16", "Shape13", "Shape2" (an array's swatches share the name).
QString optionName(const PaletteRow &row);
QString swatchName(const PaletteRow &row);

} // namespace prefs
