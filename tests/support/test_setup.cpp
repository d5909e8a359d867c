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
    // What the program keeps in the user's cache folder stays with the test.
    cacheFolder = std::filesystem::temp_directory_path() / ("qplay-test-cache-" + std::to_string(getpid()));
    setenv("XDG_CACHE_HOME", cacheFolder.c_str(), 1);
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
    std::filesystem::remove_all(cacheFolder, ignored);
  }
  std::filesystem::path cacheFolder;
};
const TestEnvironment environment;
}  // namespace

// Mesa's software GL keeps allocations for the life of the process; leak reports
// from GL test programs would only show those.
extern "C" int __lsan_is_turned_off() {
  return std::strcmp(Q_TEST_KIND, "") != 0;
}
