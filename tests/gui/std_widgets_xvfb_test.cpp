// The standard widgets under real input: an X server of the test's own, the
// applet's real window, the pointer moved and clicked and keys typed with
// xdotool, and the widgets' handlers run by what that input became.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "compat/win32/test_hooks.h"
#include "compat/win32/window.h"
#include "gui/widgets/std_edit.h"
#include "platform/device_window.h"
#include "platform/platform.h"
#include "tests/compat/real_pointer.h"
#include "tests/gui/gui_test_world.h"
#include "tests/support/private_x_server.h"

namespace {
bool ownServer = false;

class RealWidgetInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!win32_test::DisplayStarted()) ownServer = StartPrivateXServer();
  }

  void SetUp() override {
    ASSERT_NE(game.load("frameRate=\"-1\"",
                        R"x(<TStdButton name="ok" x="10" y="10" onClick="engine.log('@clicked')"/>)x"
                        R"(<TStdEdit name="edit" x="10" y="60" width="200" height="24"/>)"
                        R"x(<TStdButton name="two" x="100" y="10" onClick="engine.log('@two')"/>)x"),
              nullptr);
    ASSERT_STREQ(win32_test::VideoDriverName(), "x11");
    // Keys go to the window under the pointer when no window manager runs.
    ASSERT_TRUE(moveTo(150, 150));
    game.step(20);
  }

  // The pointer over a point of the applet.
  bool moveTo(int x, int y) {
    POINT p{x, y};
    ClientToScreen(WindowHandle(game.applet->window()), &p);
    return XDoTool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y));
  }
  bool clickAt(int x, int y) { return moveTo(x, y) && XDoTool("click 1"); }
  // Types text that holds characters beyond ASCII (xdotool reads it in the
  // locale's encoding). A character the layout lacks is typed through a key
  // xdotool maps to it for a moment, which only a window reading its events
  // meanwhile sees: the window's messages are pumped while xdotool runs.
  bool type(const std::string& utf8) {
    const std::string done = ::testing::TempDir() + "typed." + std::to_string(getpid());
    std::remove(done.c_str());
    const std::string command =
        "(LC_ALL=C.UTF-8 xdotool type --delay 300 '" + utf8 + "'; touch '" + done + "') &";
    if (std::system(command.c_str()) != 0) return false;
    return PumpUntil([&] { return access(done.c_str(), F_OK) == 0; }, 15000);
  }
  TStdEdit* focusedEdit() {
    auto* edit = dynamic_cast<TStdEdit*>(game.applet->findByName(u"edit"));
    if (!edit || !clickAt(100, 70) || !game.stepUntil([&] { return edit->focused(); })) return nullptr;
    edit->setText(u"");
    return edit;
  }

  PointerLock lock;
  GuiTestGame game;
};

TEST_F(RealWidgetInput, ARealClickRunsTheButtonsHandler) {
  ASSERT_TRUE(clickAt(20, 20));
  EXPECT_TRUE(game.stepUntil([&] { return !game.scriptLines().empty(); }));
  EXPECT_EQ(game.scriptLines(), std::vector<std::string>{"clicked"});
}

TEST_F(RealWidgetInput, RealKeysEditTheFocusedEditAndCtrlVPastesTheClipboard) {
  auto* edit = dynamic_cast<TStdEdit*>(game.applet->findByName(u"edit"));
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(clickAt(100, 70));
  ASSERT_TRUE(game.stepUntil([&] { return edit->focused(); }));
  ASSERT_TRUE(XDoTool("type abcd") && XDoTool("key Left shift+Left shift+Left") && XDoTool("type x"));
  EXPECT_TRUE(game.stepUntil([&] { return edit->text() == u"axd"; })) << WideToUtf8(edit->text());
  EXPECT_EQ(edit->caretIndex(), 2);
  game.applet->platform()->SetClipboardText(u"Zy");
  ASSERT_TRUE(XDoTool("key End ctrl+v"));
  EXPECT_TRUE(game.stepUntil([&] { return edit->text() == u"axdZy"; })) << WideToUtf8(edit->text());
}
TEST_F(RealWidgetInput, PointerMovesAreTakenAsTheyComeWithNoClickBetween) {
  auto* one = game.applet->findByName(u"ok");
  auto* two = game.applet->findByName(u"two");
  ASSERT_TRUE(one && two);
  // Moved by the X server's test extension alone: each widget is hot as soon
  // as the pointer is over it.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(moveTo(40, 20));
    EXPECT_TRUE(game.stepUntil([&] { return game.applet->hotObject() == one; })) << round;
    ASSERT_TRUE(moveTo(130, 20));
    EXPECT_TRUE(game.stepUntil([&] { return game.applet->hotObject() == two; })) << round;
  }
  // A click on one button, then straight on the other: both click.
  ASSERT_TRUE(clickAt(40, 20) && clickAt(130, 20));
  EXPECT_TRUE(game.stepUntil([&] { return game.scriptLines().size() >= 2; }));
  game.step(5);
  EXPECT_EQ(game.scriptLines(), (std::vector<std::string>{"clicked", "two"}));
}

TEST_F(RealWidgetInput, KeysWithNoKeyCodeOfTheirOwnStillTypeTheirCharacters) {
  TStdEdit* edit = focusedEdit();
  ASSERT_NE(edit, nullptr);
  // US layout: xdotool types the accented letters through keys it remaps.
  ASSERT_TRUE(type("a z \u00e9\u00e8\u00e7\u00e0 & &"));
  EXPECT_TRUE(game.stepUntil([&] { return edit->text().size() >= 12; })) << WideToUtf8(edit->text());
  EXPECT_EQ(edit->text(), u"a z \u00e9\u00e8\u00e7\u00e0 & &");
  if (!ownServer) GTEST_SKIP() << "the layout is only changed on a server of this program's own";
  // French layout: the digits' row types é, &, and the digits with shift.
  ASSERT_EQ(std::system("setxkbmap fr"), 0);
  game.step(10);
  edit->setText(u"");
  const bool typed = type("\u00e9&1\u00e02");
  const bool arrived = game.stepUntil([&] { return edit->text().size() >= 5; });
  std::system("setxkbmap us");
  game.step(10);
  ASSERT_TRUE(typed);
  EXPECT_TRUE(arrived) << WideToUtf8(edit->text());
  EXPECT_EQ(edit->text(), u"\u00e9&1\u00e02");
}
}  // namespace
