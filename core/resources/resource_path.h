#pragma once
// How a resource name becomes a path of the file system, and where a game may
// reach with it. A game's data is untrusted: a relative name is resolved
// below the root it is given for and never climbs above it ("..\..\x" is
// refused, not followed), whatever mix of "\" and "/" it is written with.
#include <optional>
#include <string>
#include <string_view>

// True for a name that stands for itself: it begins with "/" or holds a
// drive-style ":". Every place that decides between a game's own manager and
// the engine's external one asks this.
bool IsAbsoluteResourceName(std::u16string_view name);

// True for a bare file or folder name: not empty, no separator, no ":",
// not "." or "..". Package names of `usesList` must be such names.
bool IsPlainPackageName(std::u16string_view name);

// `root` followed by the relative `name` with its "." and ".." components
// resolved ("\" separators in the result); nothing when the name climbs above
// the root. Empty components (doubled separators, one leading "\") are skipped.
std::optional<std::string> ResolveBelowRoot(const std::string& root, std::u16string_view name);

// True when `path` lies inside `folder` (or is the folder itself) on the file
// system: both are made absolute, and the symbolic links of their existing
// parts are followed, so a link inside a game's folder cannot lead a write
// out of it. Paths may use "\" or "/".
bool PathLiesWithin(const std::string& path, const std::string& folder);
