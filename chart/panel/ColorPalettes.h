#pragma once
// The catalogue of colour palettes a chart can select by number, and the base palette that
// serves whenever a chart has no palette of its own.

#include <string>
#include <vector>

#include "Colors.h"

using TColorArray = std::vector<TColor>;

constexpr int ColorPaletteCount = 17;
// The palette a chart starts with when the user has chosen none.
constexpr int OperaPalette = 13;

// Palette 0: twenty colours, used whenever a chart's own palette is empty.
const TColorArray& BaseColorPalette();
// The names of palettes 0..16, in index order ("Plotwell", "Excel", ...).
const std::vector<std::string>& ColorPaletteNames();
// The colours of palette n for n in 1..16; an empty array for any other n.
TColorArray ColorPalette(int n);
