// Linked into every test program: sets the environment the program's libraries
// read when they start, so a test run needs no wrapper script.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {
struct TestEnvironment {
  TestEnvironment() {
    // The user's data and cache folders of the whole run are temporary ones:
    // what the program keeps there (its key, logs, saves, compiled built-ins)
    // never touches the real ones.
    dataHome = makeTemporaryFolder("qdata-XXXXXX");
    if (!dataHome.empty()) setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    cacheHome = makeTemporaryFolder("qcache-XXXXXX");
    if (!cacheHome.empty()) setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    if (std::strcmp(Q_TEST_KIND, "display") == 0) {
      setenv("SDL_VIDEODRIVER", "offscreen", 1);
    } else if (std::strcmp(Q_TEST_KIND, "xvfb") == 0) {
      setenv("SDL_VIDEODRIVER", "x11", 1);
    }
  }
  ~TestEnvironment() {
    std::error_code ignored;
    if (!dataHome.empty()) std::filesystem::remove_all(dataHome, ignored);
    if (!cacheHome.empty()) std::filesystem::remove_all(cacheHome, ignored);
  }
  static std::string makeTemporaryFolder(const char* name) {
    std::string pattern = (std::filesystem::temp_directory_path() / name).string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
  }
  std::string dataHome;
  std::string cacheHome;
};
const TestEnvironment environment;
}  // namespace

// Mesa's software GL keeps allocations for the life of the process; leak reports
// from GL test programs would only show those.
extern "C" int __lsan_is_turned_off() {
  return std::strcmp(Q_TEST_KIND, "") != 0;
}
