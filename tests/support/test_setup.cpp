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
    // The user's data folder of the whole run is a temporary one: what the
    // program keeps there (its key, logs, saves) never touches the real one.
    std::string pattern = (std::filesystem::temp_directory_path() / "qdata-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) {
      dataHome = made;
      setenv("XDG_DATA_HOME", made, 1);
    }
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
  }
  std::string dataHome;
};
const TestEnvironment environment;
}  // namespace

// Mesa's software GL keeps allocations for the life of the process; leak reports
// from GL test programs would only show those.
extern "C" int __lsan_is_turned_off() {
  return std::strcmp(Q_TEST_KIND, "") != 0;
}
