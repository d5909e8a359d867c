#include "compat/win32/file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace {
bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// The entry of `folder` whose name matches `component` ignoring case, or empty.
std::string FindEntryIgnoringCase(const std::string& folder, const std::string& component) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* entry = readdir(dir)) {
    if (SameIgnoringAsciiCase(entry->d_name, component)) {
      found = entry->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

std::string MatchComponentsIgnoringCase(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  std::string resolved;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (i > 0) resolved += '/';
    if (part.empty() || part == "." || part == "..") {
      resolved += part;
      continue;
    }
    std::string candidate = resolved + part;
    if (!PathExists(candidate)) {
      std::string match = FindEntryIgnoringCase(resolved.empty() ? "." : resolved, part);
      if (match.empty()) {
        // Nothing matches from here on: the rest stays as given, below the
        // folders found so far (a new file in a folder written in other case
        // goes into that folder, as on the file systems games are made on).
        for (size_t j = i; j < parts.size(); ++j) resolved += (j > i ? "/" : "") + parts[j];
        return resolved;
      }
      candidate = resolved + match;
    }
    resolved = candidate;
  }
  return resolved;
}
}  // namespace

std::string ToSystemPath(std::string_view name) {
  std::string path(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty() || PathExists(path)) return path;
  return MatchComponentsIgnoringCase(path);
}

bool FileExists(const std::string& name) {
  struct stat st;
  return stat(ToSystemPath(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
  struct stat st;
  return stat(ToSystemPath(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& name) {
  std::string path = ToSystemPath(name);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !ForceDirectories(path.substr(0, slash))) {
    return false;
  }
  return mkdir(path.c_str(), 0755) == 0 || DirectoryExists(path);
}

bool DeleteFileAt(const std::string& name) {
  return unlink(ToSystemPath(name).c_str()) == 0;
}

bool IsFileReadOnly(const std::string& name) {
  std::string path = ToSystemPath(name);
  return PathExists(path) && access(path.c_str(), W_OK) != 0;
}
