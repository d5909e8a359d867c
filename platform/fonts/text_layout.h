#pragma once
// Breaks a text into lines and places them in a rectangle, measuring through
// a glyph set's measure operation: the layout of DrawText and MeasureText.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/font.h"

// (text, out fitting count, out size, width limit)
using TMeasureText = std::function<void(const WideString&, int32_t&, TPointF&, float)>;

// Flags: kTextCentre, kTextRight, kTextMiddle, kTextBottom, kTextWordWrap;
// left and top otherwise. The rectangle becomes the block's; `count` is the
// sum of the lines' fitting counts.
void LayoutText(TFont* font, uint8_t flags, const WideString& text, std::vector<TTextLine>& lines, int32_t& count,
                float widthLimit, const TMeasureText& measure, TRectF& rect);
