#include "core/write_places.h"

#include <algorithm>
#include <vector>

#include "core/log.h"
#include "core/resource_path.h"
#include "core/text.h"

namespace {
std::vector<std::string>& Places() {
  static std::vector<std::string> places;
  return places;
}
}  // namespace

void AddWritePlace(const std::string& folder) {
  if (folder.empty()) return;
  auto& places = Places();
  if (std::find(places.begin(), places.end(), folder) == places.end()) places.push_back(folder);
}

void ClearWritePlaces() { Places().clear(); }

bool MayWriteFile(const std::string& path) {
  for (const std::string& place : Places()) {
    if (PathLiesWithin(path, place)) return true;
  }
  LogError(u"Write refused outside the game's folders: " + Utf8ToWide(path));
  return false;
}
