// Script files and their compiled cache ".jsbin": real files in a folder
// manager, real modification times, damaged and foreign caches.
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"
#include "tests/engine/script_test_classes.h"

namespace {
namespace fs = std::filesystem;

const char* const kLibrary =
    "function twice(x) { return 2 * x; }\n"
    "var loaded = twice(21);\n";

struct ScriptFolder {
  ScriptFolder() {
    manager.reset(New<TFolderResourceMan>());
    manager->setRoot(dir.path());
  }
  // Sets a file's modification time `seconds` away from now.
  void age(const std::string& name, int seconds) const {
    fs::last_write_time(dir.file(name), fs::file_time_type::clock::now() + std::chrono::seconds(seconds));
  }
  bool exists(const std::string& name) const { return fs::exists(dir.file(name)); }

  TempDir dir;
  Owned<TFolderResourceMan> manager;
};

Owned<TJavaScriptEngine> NewEngine() { return Owned<TJavaScriptEngine>(New<TJavaScriptEngine>()); }

// The bytes of a cache file with a valid check around any payload.
std::string WithCheck(const std::string& payload) {
  auto crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(payload.data()),
                                         static_cast<uInt>(payload.size())));
  std::string bytes = payload;
  auto size = static_cast<uint32_t>(payload.size());
  for (uint32_t v : {size, crc}) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(v >> (8 * i)));
  }
  return bytes;
}

TEST(ScriptFiles, FirstLoadCompilesAndWritesTheCache) {
  ScriptFolder folder;
  folder.dir.write("lib.js", kLibrary);
  auto engine = NewEngine();
  LogCapture log;
  TScript* script = engine->loadScript(folder.manager.get(), u"lib.js");
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) lib.js was compiled successful"}));
  EXPECT_EQ(engine->getGlobal(u"loaded"), Variant(int32_t{42}));
  EXPECT_EQ(engine->currentScriptFile(), u"lib.js");
  EXPECT_EQ(script->name(), u"lib.js");
  EXPECT_EQ(engine->scripts(), std::vector<TScript*>{script});
  ASSERT_TRUE(folder.exists("lib.jsbin"));
  EXPECT_GT(fs::file_size(folder.dir.file("lib.jsbin")), 8u);
  engine->freeScript(script);
  EXPECT_TRUE(engine->scripts().empty());
}

TEST(ScriptFiles, TheCacheIsUsedUnlessTheSourceIsNewer) {
  ScriptFolder folder;
  folder.dir.write("lib.js", kLibrary);
  NewEngine()->loadScript(folder.manager.get(), u"lib.js");
  folder.age("lib.js", -60);

  {
    // Another name with the same base finds the same script.
    auto engine = NewEngine();
    LogCapture log;
    ASSERT_NE(engine->loadScript(folder.manager.get(), u"lib.txt"), nullptr);
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(engine->getGlobal(u"loaded"), Variant(int32_t{42}));
  }
  // A touched source is compiled again and the cache rewritten.
  folder.dir.write("lib.js", "function twice(x) { return 3 * x; }\nvar loaded = twice(2);\n");
  folder.age("lib.jsbin", -30);
  auto before = fs::last_write_time(folder.dir.file("lib.jsbin"));
  {
    auto engine = NewEngine();
    LogCapture log;
    ASSERT_NE(engine->loadScript(folder.manager.get(), u"lib.js"), nullptr);
    EXPECT_TRUE(log.contains("(i) lib.js was compiled successful"));
    EXPECT_EQ(engine->getGlobal(u"loaded"), Variant(int32_t{6}));
  }
  EXPECT_GT(fs::last_write_time(folder.dir.file("lib.jsbin")), before);
  // Without its source the cache still runs, functions and all.
  fs::remove(folder.dir.file("lib.js"));
  auto engine = NewEngine();
  LogCapture log;
  ASSERT_NE(engine->loadScript(folder.manager.get(), u"lib.js"), nullptr);
  EXPECT_TRUE(log.lines().empty());
  EXPECT_TRUE(engine->evaluate(u"var again = twice(5)"));
  EXPECT_EQ(engine->getGlobal(u"again"), Variant(int32_t{15}));
}

TEST(ScriptFiles, DamagedOrForeignCachesAreCompiledAgain) {
  ScriptFolder folder;
  folder.dir.write("lib.js", kLibrary);
  NewEngine()->loadScript(folder.manager.get(), u"lib.js");
  std::string good = folder.dir.read("lib.jsbin");
  ASSERT_GT(good.size(), 40u);

  std::string flipped = good;
  flipped[flipped.size() / 2] ^= 0x10;
  std::vector<std::string> bad = {flipped, good.substr(0, good.size() / 2), good.substr(0, 5), std::string(),
                                  WithCheck("not a compiled script from this library build at all")};
  for (const std::string& bytes : bad) {
    folder.dir.write("lib.jsbin", bytes);
    folder.age("lib.js", -60);
    auto engine = NewEngine();
    LogCapture log;
    ASSERT_NE(engine->loadScript(folder.manager.get(), u"lib.js"), nullptr) << bytes.size();
    EXPECT_TRUE(log.contains("(i) lib.js was compiled successful"));
    EXPECT_EQ(engine->getGlobal(u"loaded"), Variant(int32_t{42}));
    EXPECT_EQ(folder.dir.read("lib.jsbin"), good);
  }
  // Without the source a damaged cache loads nothing.
  fs::remove(folder.dir.file("lib.js"));
  folder.dir.write("lib.jsbin", flipped);
  auto engine = NewEngine();
  LogCapture log;
  EXPECT_EQ(engine->loadScript(folder.manager.get(), u"lib.js"), nullptr);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(e) Can't load compiled script lib.jsbin"}));
  EXPECT_TRUE(engine->getGlobal(u"loaded").isEmpty());
}

TEST(ScriptFiles, SyntaxErrorsNameFileLineAndColumn) {
  ScriptFolder folder;
  folder.dir.write("bad.js", "var a = 1;\nvar b = (;\n");
  auto engine = NewEngine();
  LogCapture log;
  EXPECT_EQ(engine->loadScript(folder.manager.get(), u"bad.js"), nullptr);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                "(e) bad.js(2:9) SyntaxError: expected expression, got ';' \"var b = (;\"",
                                "(e) Can't compile bad.js script",
                            }));
  EXPECT_FALSE(folder.exists("bad.jsbin"));
}

TEST(ScriptFiles, RuntimeErrorsStopTheScriptAndNameItsFile) {
  ScriptFolder folder;
  folder.dir.write("boom.js", "var first = 1;\n\n  throw new Error('boom');\nvar never = 1;\n");
  auto engine = NewEngine();
  LogCapture log;
  EXPECT_EQ(engine->loadScript(folder.manager.get(), u"boom.js"), nullptr);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                "(i) boom.js was compiled successful",
                                "(e) boom.js(3:8) Error: boom \"  throw new Error('boom');\"",
                                "(e) Can't execute script boom.js",
                            }));
  EXPECT_EQ(engine->getGlobal(u"first"), Variant(int32_t{1}));
  EXPECT_TRUE(engine->getGlobal(u"never").isEmpty());
  // Text run after it is not the script file's.
  log.clear();
  EXPECT_FALSE(engine->evaluate(u"nothing()"));
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(e) (0:0) ReferenceError: nothing is not defined \"\""}));
  // A handler's error names its object and handler and shows the line at fault.
  Owned<BaseObject> button(New<BaseObject>());
  button->SetName(u"btn");
  const WideString handler = u"var a = 1;\r\n  missing(a);";
  log.clear();
  EXPECT_FALSE(engine->evaluateHandler(handler, HandlerLabel(button.get(), handler, "onClick")));
  EXPECT_EQ(log.messages(),
            (std::vector<std::string>{"(e) btn.onClick(1:2) ReferenceError: missing is not defined \"  missing(a);\""}));
}

TEST(ScriptFiles, ASourceThatCannotBeReadCompilesNothing) {
  ScriptFolder folder;
  // Larger than any script the engine reads (a sparse file costs no space).
  folder.dir.write("huge.js", "var huge = 1;");
  fs::resize_file(folder.dir.file("huge.js"), 65u << 20);
  auto engine = NewEngine();
  LogCapture log;
  EXPECT_EQ(engine->loadScript(folder.manager.get(), u"huge.js"), nullptr);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(e) Can't compile huge.js script"}));
  EXPECT_FALSE(folder.exists("huge.jsbin"));
  EXPECT_TRUE(engine->getGlobal(u"huge").isEmpty());
}

TEST(ScriptFiles, MissingScriptsLoadNothingQuietly) {
  ScriptFolder folder;
  auto engine = NewEngine();
  LogCapture log;
  EXPECT_EQ(engine->loadScript(folder.manager.get(), u"absent.js"), nullptr);
  EXPECT_EQ(engine->loadScript(nullptr, u"absent.js"), nullptr);
  EXPECT_TRUE(log.lines().empty());
}

TEST(ScriptFiles, UnicodeTextAndTheSystemCodePageBothRead) {
  ScriptFolder folder;
  folder.dir.write("utf8.js", "\xEF\xBB\xBFvar word = 'Grüße';\n");
  folder.dir.write("ansi.js", "var other = 'caf\xE9';\n");
  auto engine = NewEngine();
  ASSERT_NE(engine->loadScript(folder.manager.get(), u"utf8.js"), nullptr);
  ASSERT_NE(engine->loadScript(folder.manager.get(), u"ansi.js"), nullptr);
  EXPECT_EQ(engine->getGlobal(u"word"), Variant(u"Grüße"));
  EXPECT_EQ(engine->getGlobal(u"other"), Variant(u"café"));
}

TEST(ScriptFiles, TheEngineFreesTheScriptsItStillHolds) {
  ScriptFolder folder;
  folder.dir.write("a.js", "var a = 1;");
  folder.dir.write("b.js", "var b = 2;");
  auto engine = NewEngine();
  TScript* a = engine->loadScript(folder.manager.get(), u"a.js");
  TScript* b = engine->loadScript(folder.manager.get(), u"b.js");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->compiled(), nullptr);
  EXPECT_EQ(a->engine(), engine.get());
  EXPECT_EQ(engine->scripts(), (std::vector<TScript*>{a, b}));
  engine->freeScript(a);
  EXPECT_EQ(engine->scripts(), std::vector<TScript*>{b});
  // b goes with the engine (the leak checker would see it otherwise).
  engine.reset();
}

// Caches that this user's runtime did not write: the fuzz corpus's cache
// files (a real cache sealed under another user's key, a damaged one, and
// forged caches whose old check was valid and that crashed the library's
// decoder; each after the target's mode byte 0). None reaches the decoder:
// without a source each is refused, with one the source is compiled again
// and the cache rewritten.
TEST(ScriptFiles, CachesFromElsewhereNeverReachTheDecoder) {
  const fs::path corpus = fs::path(Q_SOURCE_DIR) / "fuzz/corpus/jsbin";
  int forged = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(entry.path().string(), bytes));
    if (bytes.empty() || bytes[0] != 0) continue;  // not a cache file as it is
    forged += entry.path().filename().string().rfind("jsbin-", 0) == 0;
    const std::string cache(bytes.begin() + 1, bytes.end());
    ScriptFolder folder;
    folder.dir.write("seed.jsbin", cache);
    {
      auto engine = NewEngine();
      LogCapture log;
      EXPECT_EQ(engine->loadScript(folder.manager.get(), u"seed.js"), nullptr) << entry.path();
      EXPECT_EQ(log.messages(), (std::vector<std::string>{"(e) Can't load compiled script seed.jsbin"}));
    }
    folder.dir.write("seed.js", kLibrary);
    folder.age("seed.js", -60);
    auto engine = NewEngine();
    ASSERT_NE(engine->loadScript(folder.manager.get(), u"seed.js"), nullptr) << entry.path();
    EXPECT_EQ(engine->getGlobal(u"loaded"), Variant(int32_t{42}));
    EXPECT_NE(folder.dir.read("seed.jsbin"), cache);
  }
  EXPECT_EQ(forged, 5);
}

// A cache sealed under another user's key is foreign even though its stencil
// is sound.
TEST(ScriptFiles, AnotherUsersCacheIsCompiledAgain) {
  ScriptFolder folder;
  folder.dir.write("lib.js", kLibrary);
  NewEngine()->loadScript(folder.manager.get(), u"lib.js");
  const std::string mine = folder.dir.read("lib.jsbin");
  TempDir otherHome;
  const std::string home = std::getenv("XDG_DATA_HOME");
  setenv("XDG_DATA_HOME", otherHome.path().c_str(), 1);
  folder.age("lib.js", -60);
  {
    auto engine = NewEngine();
    LogCapture log;
    ASSERT_NE(engine->loadScript(folder.manager.get(), u"lib.js"), nullptr);
    EXPECT_TRUE(log.contains("(i) lib.js was compiled successful"));
  }
  const std::string theirs = folder.dir.read("lib.jsbin");
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  EXPECT_NE(theirs, mine);
  EXPECT_EQ(theirs.size(), mine.size());
  EXPECT_TRUE(fs::exists(otherHome.file("qplay/qplay-seal.key")));
  EXPECT_EQ(fs::status(otherHome.file("qplay/qplay-seal.key")).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
