// Arbitrary bytes as "prefs.dat" and as "scores.dat": each is loaded, then
// used as a game uses it (lookups, players added, renamed and deleted,
// scores added), stored and loaded again, which must give the same lines
// unless the store was refused for the file's size (the old file stays).
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/objects/engine.h"
#include "core/objects/wide_strings.h"
#include "core/resources/ext_resource_man.h"
#include "engine/player/preferences.h"
#include "engine/player/score_table.h"
#include "engine/player/user_list_file.h"

namespace {

// One engine for the whole run, its external manager rooted at a temporary
// folder that is removed at exit.
struct FuzzFolder {
  FuzzFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qfuzz-XXXXXX").string();
    path = mkdtemp(pattern.data()) ? pattern + "/" : std::string();
    engine = New<SomeEngine>(nullptr);
    engine->externalResourceManager()->setRoot(path);
  }
  ~FuzzFolder() {
    engine->Free();
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  void write(const char* name, const uint8_t* data, size_t size) const {
    if (std::FILE* file = std::fopen((path + name).c_str(), "wb")) {
      if (size > 0) std::fwrite(data, 1, size, file);
      std::fclose(file);
    }
  }
  std::string path;
  SomeEngine* engine = nullptr;
};

bool SameLines(const TWideStringList& a, const TWideStringList& b) {
  if (a.count() != b.count()) return false;
  for (int i = 0; i < a.count(); ++i) {
    if (a.get(i) != b.get(i)) return false;
  }
  return true;
}

void ExercisePreferences(const FuzzFolder& folder, const uint8_t* data, size_t size) {
  folder.write("prefs.dat", data, size);
  Preferences* prefs = New<Preferences>(nullptr);
  prefs->load();
  const WideString first = prefs->users(0);
  prefs->userNumber(first);
  prefs->getValue(u"lang");
  prefs->getBoolValue(first);
  prefs->getIntValue(first);
  prefs->getFloatValue(first);
  prefs->renameUser(first, first + u"=\r\n");
  prefs->addUser(first);
  prefs->deleteUser(prefs->users(prefs->userCount() - 1));
  prefs->setValue(first, first);
  prefs->getFloatValue(first);
  prefs->store();
  Preferences* back = New<Preferences>(nullptr);
  back->load();
  const bool stored = ListFileBytes(prefs->lines()) <= kLargestListFile;
  if (stored && (!SameLines(prefs->lines(), back->lines()) || back->getValue(first) != prefs->getValue(first))) {
    abort();
  }
  back->Free();
  prefs->Free();
}

void ExerciseScores(const FuzzFolder& folder, const uint8_t* data, size_t size) {
  folder.write("scores.dat", data, size);
  ScoreTable* scores = New<ScoreTable>(nullptr);
  scores->load();
  for (int i = 1; i < scores->count(); ++i) {
    if (scores->scores(i - 1) < scores->scores(i)) abort();
  }
  scores->addScore(scores->names(0) + u"=", scores->scores(scores->count() - 1));
  scores->store();
  ScoreTable* back = New<ScoreTable>(nullptr);
  back->load();
  if (back->count() != scores->count()) abort();
  for (int i = 0; i < back->count(); ++i) {
    if (back->scores(i) != scores->scores(i)) abort();
  }
  back->Free();
  scores->Free();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const FuzzFolder folder;
  ExercisePreferences(folder, data, size);
  ExerciseScores(folder, data, size);
  return 0;
}
