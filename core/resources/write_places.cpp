#include "core/resources/write_places.h"

#include <algorithm>
#include <vector>

#include "compat/win32/system.h"
#include "core/resources/resource_path.h"
#include "core/system/log.h"
#include "core/text/text.h"
#include "core/text/text_helpers.h"

namespace {
std::vector<std::string>& Places() {
  static std::vector<std::string> places;
  return places;
}
bool Refuse(const std::string& path) {
  LogError(u"Write refused outside the game's folders: " + Utf8ToWide(path));
  return false;
}

// In the folder of the program (or a folder of it that is no game's):
// nothing a game names may land among the program's files.
bool InProgramFolder(const std::string& path) {
  const std::string program = ExtractFilePath(GetProgramFileName());
  if (program.empty() || !PathLiesWithin(path, program)) return false;
  for (const std::string& place : Places()) {
    if (PathLiesWithin(place, program) && !PathLiesWithin(program, place) && PathLiesWithin(path, place)) return false;
  }
  return true;
}
}  // namespace

void AddWritePlace(const std::string& folder) {
  if (folder.empty()) return;
  auto& places = Places();
  if (std::find(places.begin(), places.end(), folder) == places.end()) places.push_back(folder);
}

void ClearWritePlaces() { Places().clear(); }

bool MayWriteFile(const std::string& path) {
  if (InProgramFolder(path)) return Refuse(path);
  for (const std::string& place : Places()) {
    if (PathLiesWithin(path, place)) return true;
  }
  return Refuse(path);
}

bool MayWriteBelow(const std::string& path, const std::string& root) {
  if (!PathLiesWithin(path, root) || InProgramFolder(path)) return Refuse(path);
  return true;
}
