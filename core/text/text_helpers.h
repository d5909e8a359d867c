#pragma once
// File-name, token, number-text and comparison helpers used from the first
// step on. Number text never depends on the process locale: "." is the only
// decimal separator.
#include <string>
#include <string_view>

#include "core/text/text.h"

class TResourceMan;

// The text before the last "." anywhere in the name; unchanged without one.
std::string StripExtension(std::string_view name);
WideString StripExtensionW(std::u16string_view name);

// The extension from the last "." on (with the point), or empty.
std::string ExtractFileExt(std::string_view name);
// The folder part up to and including the last "\" or "/"; empty without one.
std::string ExtractFilePath(std::string_view name);
std::string ExtractFileName(std::string_view name);

// True when the derived resource exists and is older than the source, both
// asked through the manager. A missing source never outdates anything.
bool IsCacheOutdated(TResourceMan* manager, const WideString& source, const WideString& derived);

// Cuts the first token off `text`: the characters before the first delimiter.
// The token and that delimiter are removed; token and rest are trimmed of
// blanks and control characters.
std::string ExtractToken(std::string& text, std::string_view delimiters);
WideString ExtractTokenW(WideString& text, std::u16string_view delimiters);

// Parses a number written with "."; throws EConvertError on bad text.
double WideStrToFloat(std::u16string_view text);
// Fixed notation with 15 digits after the point (a float32 0.1 gives
// 0.100000001490116).
WideString FloatToWideStr(double value);

// Upper-cases through the system's wide upper-casing (Latin-1 and beyond).
WideString UpperCaseW(std::u16string_view text);
WideString LowerCaseW(std::u16string_view text);

// -1, 0 or 1: code unit by code unit, units above 255 taken as 255, and only
// ASCII letters folded; a prefix sorts first.
int CompareTextW(std::u16string_view a, std::u16string_view b);

// Trims blanks and control characters (everything up to U+0020) at both ends.
std::string Trim(std::string_view text);
WideString TrimW(std::u16string_view text);

// Round to nearest with halves to even, as the system rounds everywhere.
int RoundHalfEven(double value);
