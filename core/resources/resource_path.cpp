#include "core/resources/resource_path.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "compat/win32/file_system.h"
#include "core/text/text.h"

bool IsAbsoluteResourceName(std::u16string_view name) {
  return (!name.empty() && name.front() == u'/') || name.find(u':') != std::u16string_view::npos;
}

bool IsPlainPackageName(std::u16string_view name) {
  return !name.empty() && name != u"." && name != u".." && name.find_first_of(u"\\/:") == std::u16string_view::npos;
}

namespace {
bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// The components of a name, split at both separators, empty ones dropped.
std::vector<std::u16string_view> Components(std::u16string_view name) {
  std::vector<std::u16string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || IsSeparator(name[i])) {
      if (i > start) parts.push_back(name.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// The absolute form of a path with its existing part's links followed; the
// part that does not exist yet is appended as written (its "." and ".." were
// resolved by the caller or are resolved here lexically).
std::string CanonicalPath(const std::string& path) {
  std::string system = ToSystemPath(path);
  if (system.empty()) return system;
  if (system.front() != '/') {
    char here[PATH_MAX];
    if (!getcwd(here, sizeof here)) return {};
    system = std::string(here) + "/" + system;
  }
  // Lexical first, so "a/../b" never depends on whether "a" exists.
  std::vector<std::string> parts;
  size_t start = 1;
  for (size_t i = 1; i <= system.size(); ++i) {
    if (i < system.size() && system[i] != '/') continue;
    std::string part = system.substr(start, i - start);
    start = i + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  // The deepest existing ancestor decides where the path really lies.
  for (size_t keep = parts.size() + 1; keep-- > 0;) {
    std::string head = "/";
    for (size_t i = 0; i < keep; ++i) head += (i ? "/" : "") + parts[i];
    char resolved[PATH_MAX];
    if (!realpath(head.c_str(), resolved)) continue;
    std::string result = resolved;
    for (size_t i = keep; i < parts.size(); ++i) result += (result.back() == '/' ? "" : "/") + parts[i];
    return result;
  }
  return {};
}
}  // namespace

std::optional<std::string> ResolveBelowRoot(const std::string& root, std::u16string_view name) {
  std::vector<std::u16string_view> kept;
  for (std::u16string_view part : Components(name)) {
    if (part == u".") continue;
    if (part == u"..") {
      if (kept.empty()) return std::nullopt;
      kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  std::string path = root;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) path += '\\';
    path += WideToUtf8(WideString(kept[i]));
  }
  // A name that ends in a separator names a folder: keep the mark.
  if (!name.empty() && IsSeparator(name.back()) && !kept.empty()) path += '\\';
  return path;
}

bool PathLiesWithin(const std::string& path, const std::string& folder) {
  const std::string inner = CanonicalPath(path);
  std::string outer = CanonicalPath(folder);
  if (inner.empty() || outer.empty()) return false;
  if (outer.back() != '/') outer += '/';
  return inner + "/" == outer || inner.compare(0, outer.size(), outer) == 0;
}
