// The standard widgets under real input: an X server of the test's own, the
// applet's real window, the pointer moved and clicked and keys typed with
// xdotool, and the widgets' handlers run by what that input became.
#include <gtest/gtest.h>

#include "compat/win32/test_hooks.h"
#include "compat/win32/window.h"
#include "gui/widgets/std_edit.h"
#include "platform/device_window.h"
#include "platform/platform.h"
#include "tests/compat/real_pointer.h"
#include "tests/gui/gui_test_world.h"
#include "tests/support/private_x_server.h"

namespace {
class RealWidgetInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!win32_test::DisplayStarted()) StartPrivateXServer();
  }

  void SetUp() override {
    ASSERT_NE(game.load("frameRate=\"-1\"",
                        R"x(<TStdButton name="ok" x="10" y="10" onClick="engine.log('@clicked')"/>)x"
                        R"(<TStdEdit name="edit" x="10" y="60" width="200" height="24"/>)"),
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
}  // namespace
