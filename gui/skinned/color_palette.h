#pragma once
// The colour drop-down's choices: eight greys from black to white, then eight
// shades from dark to light of eleven hues at half saturation. Each entry is
// the decimal number of 0x00RRGGBB, which is how the list stores it.
#include <cstdint>
#include <vector>

#include "core/text/text.h"

// 0x00RRGGBB of hue, saturation and lightness (each 0..1), every channel
// rounded from its 0..1 value times 255 (halves to even).
uint32_t HslToRgb(double hue, double saturation, double lightness);

// The 96 entries, greys first.
const std::vector<WideString>& ColorPaletteEntries();
