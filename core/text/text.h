#pragma once
// Text types and the one place where text changes encoding.
//
// The system keeps user-visible text, property values and resource names as
// UTF-16 (`WideString`). "8-bit text" in stored data is Windows-1252, converted
// by our own table so stored files read the same on every machine whatever the
// process locale. File paths on Linux are UTF-8.
#include <string>
#include <string_view>

using WideString = std::u16string;
using WideChar = char16_t;
using AnsiString = std::string;

// Windows-1252 <-> UTF-16. Characters that 1252 cannot hold become '?'.
WideString AnsiToWide(std::string_view ansi);
AnsiString WideToAnsi(std::u16string_view wide);

// UTF-8 <-> UTF-16, for file paths and for the XML reader. Invalid UTF-8 bytes
// are taken as Windows-1252 characters.
WideString Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::u16string_view wide);
bool IsValidUtf8(std::string_view bytes);

// ASCII-only case changes: the comparisons the system makes on names fold only
// the letters a to z.
std::string LowerCaseAscii(std::string_view text);
WideString LowerCaseAsciiW(std::u16string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);
bool SameTextAsciiW(std::u16string_view a, std::u16string_view b);

// Short literal helper for code and tests: W("text") from ASCII/UTF-8.
inline WideString W(std::string_view utf8) { return Utf8ToWide(utf8); }
