// The script console in a running game: the grave key opens it over the top
// half, lines typed into it run against the live applet, Up and Down walk
// through what was entered, and Escape closes it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/objects/wide_strings.h"
#include "gui/console/console.h"
#include "gui/console/console_edit.h"
#include "gui/gui_parts.h"
#include "platform/caret.h"
#include "platform/device_window.h"
#include "tests/gui/gui_test_world.h"

namespace {
constexpr uint16_t kGrave = 96;

// Runs one stage a program pass until it answers true, then the next; the
// console's modal wait runs the passes.
class Script {
 public:
  explicit Script(GuiTestGame& game) : game_(game) {
    game_.beforeStep = [this](int) {
      if (next_ < stages_.size() && stages_[next_]()) ++next_;
    };
  }
  void then(std::function<bool()> stage) { stages_.push_back(std::move(stage)); }
  bool finished() const { return next_ == stages_.size(); }

 private:
  GuiTestGame& game_;
  std::vector<std::function<bool()>> stages_;
  size_t next_ = 0;
};

bool Logged(const GuiTestGame& game, const std::string& start) {
  for (const std::string& line : game.log.messages()) {
    if (line.rfind(start, 0) == 0) return true;
  }
  return false;
}

void Type(GuiTestGame& game, const std::u16string& text) {
  for (char16_t c : text) game.key(0, c);
}

TEST(Console, RunsTypedLinesRecallsHistoryAndClosesOnEscapeWithoutItsCaret) {
  GuiTestGame game;
  Applet* applet = game.load("frameRate=\"-1\"", "");
  ASSERT_NE(applet, nullptr);
  TConsole* console = nullptr;
  auto edit = [&] { return console->edit(); };
  std::vector<std::u16string> shown;
  Script script(game);
  script.then([&] {
    console = dynamic_cast<TConsole*>(applet->topLayer()->findByClassName("TConsole"));
    return console && !applet->modalStack().empty() && edit()->focused();
  });
  script.then([&] {
    Type(game, u"applet.title=\"c1\"");
    game.key(13, 0);
    return true;
  });
  script.then([&] { return applet->title() == u"c1"; });
  script.then([&] {
    Type(game, u"throw new Error('boom')");
    game.key(13, 0);
    return true;
  });
  script.then([&] { return Logged(game, "(e) TConsole.console(0:6) Error: boom"); });
  script.then([&] {
    Type(game, u"applet.title=\"c3\"");
    game.key(13, 0);
    return true;
  });
  script.then([&] { return applet->title() == u"c3"; });
  for (uint16_t key : {38, 38, 40, 40, 40}) {
    script.then([&, key] {
      game.key(key, 0);
      return true;
    });
    script.then([&] {
      shown.push_back(edit()->text());
      return true;
    });
  }
  script.then([&] {
    game.key(27, 0);
    return true;
  });
  game.key(0, kGrave);
  ASSERT_TRUE(game.stepUntil([&] { return script.finished() && console && !console->visible(); }, 20));

  EXPECT_EQ(applet->title(), u"c3");
  EXPECT_TRUE(game.log.contains("(i) ~cancel modal 4"));
  EXPECT_EQ(shown, (std::vector<std::u16string>{u"throw new Error('boom')", u"applet.title=\"c1\"",
                                                u"throw new Error('boom')", u"applet.title=\"c3\"", u""}));
  EXPECT_EQ(console->history()->getCount(), 3);
  EXPECT_FALSE(edit()->hasCaret());
  EXPECT_EQ(applet->device()->windowParts().caret, nullptr) << "no caret is left in the window";
  EXPECT_TRUE(applet->modalStack().empty());
}
TEST(Console, ALineThatFreesTheConsoleEndsItsWaitAndTheKeyOpensANewOne) {
  GuiTestGame game;
  Applet* applet = game.load("frameRate=\"-1\"", "");
  ASSERT_NE(applet, nullptr);
  auto open = [&] {
    auto* console = dynamic_cast<TConsole*>(applet->topLayer()->findByClassName("TConsole"));
    return console && !applet->modalStack().empty() && console->edit()->focused();
  };
  auto enter = [&](const std::u16string& line) {
    Type(game, line);
    game.key(13, 0);
    return true;
  };
  Script script(game);
  script.then(open);
  script.then([&] { return enter(u"mostTop.deleteChildren()"); });
  game.key(0, kGrave);
  ASSERT_TRUE(game.stepUntil([&] { return script.finished() && applet->modalStack().empty(); }, 20));
  EXPECT_EQ(applet->topLayer()->findByClassName("TConsole"), nullptr);

  script.then(open);
  script.then([&] { return enter(u"applet.title=\"again\""); });
  script.then([&] { return applet->title() == u"again"; });
  script.then([&] {
    game.key(27, 0);
    return true;
  });
  game.key(0, kGrave);
  ASSERT_TRUE(game.stepUntil([&] { return script.finished() && applet->modalStack().empty(); }, 20));
  EXPECT_EQ(applet->title(), u"again");
}
}  // namespace

// A recalled line takes what is typed next at its end, and the window's caret
// stands after its last character.
TEST(Console, UpAndDownPutTheCaretAfterTheRecalledLine) {
  GuiTestGame game;
  Applet* applet = game.load("frameRate=\"-1\"", "");
  ASSERT_NE(applet, nullptr);
  TConsole* console = nullptr;
  std::vector<std::pair<int32_t, int32_t>> caretAtEnd;  // caret index and drawn x, then what they should be
  Script script(game);
  script.then([&] {
    console = dynamic_cast<TConsole*>(applet->topLayer()->findByClassName("TConsole"));
    return console && !applet->modalStack().empty() && console->edit()->focused();
  });
  for (const char16_t* line : {u"applet.title=\"c1\"", u"applet.title=\"c22\""}) {
    script.then([&, line] {
      Type(game, line);
      game.key(13, 0);
      return true;
    });
  }
  for (uint16_t key : {38, 40, 38}) {
    script.then([&, key] {
      game.key(key, 0);
      return true;
    });
    script.then([&] {
      TStdEdit* edit = console->edit();
      const TCaret* caret = applet->device()->windowParts().caret;
      const auto length = static_cast<int32_t>(edit->text().size());
      const float x = edit->contentsRect().left + edit->textWidth(edit->firstVisible(), length);
      caretAtEnd.emplace_back(edit->caretIndex() - length, caret ? caret->x - static_cast<int32_t>(x) : -1000);
      return true;
    });
  }
  script.then([&] {
    Type(game, u"+\"x\"");
    game.key(13, 0);
    return true;
  });
  script.then([&] { return applet->title() == u"c1x"; });
  script.then([&] {
    game.key(27, 0);
    return true;
  });
  game.key(0, kGrave);
  ASSERT_TRUE(game.stepUntil([&] { return script.finished() && console && !console->visible(); }, 20));
  EXPECT_EQ(caretAtEnd, (std::vector<std::pair<int32_t, int32_t>>(3, {0, 0})));
}
