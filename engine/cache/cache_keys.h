#pragma once
// The keys under which the resource cache files its entries. Keys are
// compared ignoring case (the lists hash them upper-cased), and each key is
// built so that two different requests can never meet under one key.
#include <cstdint>

#include "core/text/text.h"

class TResourceMan;

// "bold" when bit 0 of the style is set, then "italic" when bit 1 is set.
WideString FontStyleText(int32_t style);

// A font size cut toward zero to a whole number; sizes beyond the 32-bit
// range are held at its ends and a size that is not a number counts as 0.
int32_t TruncFontSize(float size);

// family "|" whole size "|" style text. The separators keep the family apart
// from the size: "font1" at size 2 and "font" at size 12 are two fonts. The
// size and the style text never hold "|", so the key reads back uniquely from
// its end whatever the family holds.
WideString FontCacheKey(const WideString& family, int32_t style, float size);

// The resource manager in hex digits, "|", then the name: the same name read
// through two managers names two files, so they are two entries.
WideString ManagedCacheKey(TResourceMan* manager, const WideString& name);
