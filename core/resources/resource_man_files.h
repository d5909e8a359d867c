#pragma once
// What the folder and external managers share: the comma text of the listings
// and of `usesList`, the folder walk, and opening a file of the file system by
// the managers' open modes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/resources/stream.h"
#include "core/text/text.h"

// The items of a comma text: items end at "," and at white space, so "a, b"
// gives two items.
std::vector<WideString> SplitCommaText(std::u16string_view text);
// The items joined by "," with no quoting.
WideString JoinCommaText(const std::vector<WideString>& items);
// The masks of a mask text, split at every ";" and each trimmed.
std::vector<WideString> SplitMasks(std::u16string_view masks);

// Walks the folder `folderPath` (a path of the file system, "\" or "/"
// separators): every file whose name matches a mask is added as `prefix` + its
// name, once for each mask it matches; every sub-folder S is walked as
// `prefix` + S + "\". Entries are taken in name order. Symbolic links are
// followed, but never back into a folder that is already being walked.
void FindFilesInFolder(const std::string& folderPath, const WideString& prefix, const std::vector<WideString>& masks,
                       std::vector<WideString>& results);
// Adds every sub-folder S below the folder as `prefix` + S, walking each.
void FindFoldersInFolder(const std::string& folderPath, const WideString& prefix, std::vector<WideString>& results);

// Opens a file of the file system by a manager open mode: create (folders are
// made; refused on read-only targets) or open an existing file (write access
// refused on read-only files). Nil when the file is absent or refused. When
// the system fails to open it, raises EFOpenError if `raiseOnFailure`, else nil.
TStream* OpenFileByMode(const std::string& path, int32_t mode, bool raiseOnFailure);

// The packed date of a file, -1 when it is not a file.
int32_t FileDateOfFile(const std::string& path);
// Its modification time at full resolution; nothing when it is not a file.
std::optional<double> FileTimeOfFile(const std::string& path);
