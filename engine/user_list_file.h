#pragma once
// The player's list files ("prefs.dat", "scores.dat"): scrambled text lists
// in the game's folder under the user's application-data folder, reached
// through the engine's external resource manager. A file is replaced through
// a temporary file and a rename, so an interrupted write leaves the old file.
//
// Texts that go into a line pass through EscapeListText first: "%", "=" and
// every character that breaks or ends a line are written as "%" plus two hex
// digits ("%u" plus four for U+2028 and U+2029), so a player's name or value
// can never split a line or move the "=" that parts name from value. Plain
// text, which is all the files ever held before, reads back unchanged.
#include <cstdint>
#include <optional>

#include "core/text.h"

class TWideStringList;

WideString EscapeListText(const WideString& text);
WideString UnescapeListText(const WideString& text);

// A decimal whole number (optional sign, nothing else), within 32 bits.
std::optional<int32_t> ParseWholeNumber(const WideString& text);

enum class ListFileRead { Missing, Read, Damaged };
// A line check: true when the line may stand at that index of the file.
using ListLineCheck = bool (*)(const WideString& line, int index);

// Reads the named file into `list` (replacing what it holds) when every line
// passes `check` and there are at least `minimumLines`. A damaged file (odd
// length, a NUL, too large, too few lines, a line that fails) is logged as an error and leaves `list` as it was; so does a missing
// file or a missing external manager, without a log line.
ListFileRead ReadUserListFile(const WideString& name, TWideStringList& list, ListLineCheck check,
                              int minimumLines = 0);
// Writes the list to the named file; false (and an error line) when the
// file could not be written. Without an external manager nothing happens.
bool WriteUserListFile(const WideString& name, TWideStringList& list);
// True when the engine has an external manager to read and write through.
bool HasUserListFolder();
