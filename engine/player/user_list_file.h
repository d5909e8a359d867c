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

#include "core/text/text.h"

class TWideStringList;

// Limits the writer keeps, so that whatever it writes the reader reads back:
// one text (a player's name, a key, a value) and a whole file.
constexpr size_t kLongestListText = 65536;          // UTF-16 code units
constexpr int64_t kLargestListFile = int64_t{4} << 20;  // bytes

WideString EscapeListText(const WideString& text);
WideString UnescapeListText(const WideString& text);
// Player text as it goes into the log: control characters, line and
// paragraph separators and "\" become "\x" / "\u" escapes, so a name can
// never start a log line of its own.
WideString LogSafeText(const WideString& text);

// A decimal whole number (optional sign, nothing else), within 32 bits.
std::optional<int32_t> ParseWholeNumber(const WideString& text);
// A finite decimal number with "." as separator (optional sign, digits with
// an optional fraction, an optional exponent; no blanks), else nothing.
std::optional<double> ParseDecimalNumber(const WideString& text);

// The bytes a line takes in a list file, and the whole list's.
int64_t ListLineBytes(const WideString& line);
int64_t ListFileBytes(const TWideStringList& list);
// False, with an error line naming `what` and the file, when a text is
// longer than kLongestListText or the file would pass kLargestListFile.
bool ListTextFits(const WideString& file, const WideString& what, const WideString& text);
bool ListFileFits(const WideString& file, int64_t bytes);

enum class ListFileRead { Missing, Read, Damaged };
// A line check: true when the line may stand at that index of the file.
using ListLineCheck = bool (*)(const WideString& line, int index);

// Reads the named file into `list` (replacing what it holds). Lines that
// fail `check` are left out, with one error line naming the first of them.
// A file refused as a whole (odd length, a NUL, too large, empty) is logged,
// moved aside as the name plus ".bad" so that no later store replaces it,
// and leaves `list` as it was; so does a missing file or a missing external
// manager, without a log line.
ListFileRead ReadUserListFile(const WideString& name, TWideStringList& list, ListLineCheck check);
// Writes the list to the named file; false (and an error line) when the
// file could not be written or would pass kLargestListFile, in which case
// the old file stays. Without an external manager nothing happens.
bool WriteUserListFile(const WideString& name, TWideStringList& list);
// True when the engine has an external manager to read and write through.
bool HasUserListFolder();
