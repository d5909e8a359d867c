#pragma once
// UTF-16 text of the "W" functions to the UTF-8 the display system takes, and
// back. Unpaired surrogates become U+FFFD.
#include <string>

std::string UnicodeToUtf8(const char16_t* text);
std::u16string Utf8ToUnicode(const std::string& text);
