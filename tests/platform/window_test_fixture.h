#pragma once
// A platform with its entry points, a test applet, and a log capture, for the
// window tests; windows made here are destroyed at the end of each test.
#include <gtest/gtest.h>

#include <vector>

#include "compat/win32/test_hooks.h"
#include "platform/win32/platform_win32.h"
#include "platform/win32/system_entry_points.h"
#include "platform/win32/window_input.h"
#include "tests/platform/window_test_owner.h"
#include "tests/support/log_capture.h"

class PlatformWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWin32Platform();
    ResolveSystemEntryPoints();
    savedInput = WindowInput();
    WindowInput() = TWindowInput{};
    platform = New<TPlatformWin32>();
    log.clear();
  }
  void TearDown() override {
    // The test's hooks point into the finished test; windows go without them.
    WindowInput() = TWindowInput{};
    for (TWindow* w : made) platform->DestroyWindow(w);
    platform->Free();
    WindowInput() = savedInput;
    win32_test::SetFrameInsets(std::nullopt);
    win32_test::HideExport("UpdateLayeredWindow", false);
    ResolveSystemEntryPoints();
  }

  TWindow* Make(TWindowKind kind, int width, int height, int left = 50, int top = 40,
                const char* className = "AppletWnd") {
    TWindow* w = platform->CreateWindow(&owner, className, u"Test applet", kind, width, height, left, top);
    owner.window = w;
    made.push_back(w);
    return w;
  }
  // The test frees the window itself (to check what DestroyWindow does).
  void Forget(TWindow* w) { std::erase(made, w); }

  LogCapture log;
  TestWindowOwner owner;
  TPlatformWin32* platform = nullptr;
  std::vector<TWindow*> made;
  TWindowInput savedInput;
};
