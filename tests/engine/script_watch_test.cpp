// The watch over running scripts: a handler that loops for ever is stopped
// by a close request or when it passes the time bound, and one that takes too
// much memory gets an out-of-memory stop; the engine goes on in every case.
#include <gtest/gtest.h>

#include <chrono>

#include "core/objects/script_watch.h"
#include "support/log_capture.h"
#include "tests/engine/script_test_classes.h"

namespace {
using Clock = std::chrono::steady_clock;

class ScriptWatch : public ::testing::Test {
 protected:
  ScriptWatch() {
    spinner = New<BaseObject>();
    spinner->SetName(u"spinner");
    SetWideStrProp(spinner, *spinner->classInfo().findProperty("onTick"), kLoop);
  }
  ~ScriptWatch() override {
    SetScriptBoundsForTest(0, 0);
    CloseRequestPoll() = nullptr;
    spinner->Free();
  }
  // Runs the text as the spinner's handler; answers whether it ended well
  // and the seconds it took.
  std::pair<bool, double> run(const WideString& text) {
    const auto start = Clock::now();
    ScriptHandlerScope running(spinner, text);
    bool ok = engine->evaluate(text);
    return {ok, std::chrono::duration<double>(Clock::now() - start).count()};
  }

  static constexpr char16_t kLoop[] = u"var turns = 0; for (;;) { ++turns; }";
  BaseObject* spinner;
  Owned<TJavaScriptEngine> engine{New<TJavaScriptEngine>()};
};

TEST_F(ScriptWatch, AHandlerPastTheTimeBoundIsStoppedAndNamed) {
  SetScriptBoundsForTest(0.5, 0);
  LogCapture log;
  auto [ok, seconds] = run(kLoop);
  EXPECT_FALSE(ok);
  EXPECT_GE(seconds, 0.5);
  EXPECT_LT(seconds, 5.0);  // a bound, not a hang
  EXPECT_EQ(log.messages(),
            (std::vector<std::string>{"(e) Script stopped: onTick of BaseObject \"spinner\" ran longer than 0.5 s"}));
  EXPECT_GT(engine->getGlobal(u"turns").toInt(), 0);
  EXPECT_TRUE(run(u"var after = 1").first);
}

TEST_F(ScriptWatch, ACloseRequestEndsTheRunningHandler) {
  int asked = 0;
  CloseRequestPoll() = [&asked] { return ++asked >= 3; };
  LogCapture log;
  auto [ok, seconds] = run(kLoop);
  EXPECT_FALSE(ok);
  EXPECT_EQ(asked, 3);
  EXPECT_LT(seconds, 5.0);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) Script stopped: the program was asked to close while "
                                                      "onTick of BaseObject \"spinner\" ran"}));
  // Short handlers are never asked.
  asked = -1000;
  EXPECT_TRUE(run(u"var quick = 2").first);
  EXPECT_EQ(asked, -1000);
}

TEST_F(ScriptWatch, ArrayBuffersPastTheMemoryBoundAreAnOutOfMemoryStop) {
  SetScriptBoundsForTest(0, size_t{64} << 20);
  LogCapture log;
  // 16 GB asked in buffers of 256 MB, kept alive.
  auto [ok, seconds] = run(u"var keep = []; for (var i = 0; i < 64; ++i) keep.push(new ArrayBuffer(256 << 20));");
  EXPECT_FALSE(ok);
  EXPECT_EQ(log.messages(),
            (std::vector<std::string>{"(e) Script out of memory: \"var keep = []; for (var i = 0; i < 64; ++i) "
                                      "keep.push(new Ar...\" of BaseObject \"spinner\" took more than 64 MB"}));
  EXPECT_LT(engine->getGlobal(u"i").toInt(), 8);
  // The buffers were collected and the game goes on.
  EXPECT_TRUE(run(u"var keep = null; var after = new ArrayBuffer(1 << 20).byteLength").first);
  EXPECT_EQ(engine->getGlobal(u"after"), Variant(int32_t{1 << 20}));
  (void)seconds;
}
}  // namespace
