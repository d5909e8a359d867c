#pragma once
// The font unit's start-up: the glyph-set classes become known, and devices
// make their fonts' glyph sets rasterised from the system fonts.
void RegisterFonts();
