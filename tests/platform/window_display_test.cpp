// Applet windows of the three kinds on SDL's offscreen driver: creation,
// sizing by kind, skin regions, layered frames, the window procedure, mouse
// modes, icons and screenshots.
#include <png.h>

#include "compat/win32/activation.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/mouse.h"
#include "compat/win32/paint.h"
#include "compat/win32/window.h"
#include "compat/win32/window_messages.h"
#include "tests/platform/window_test_fixture.h"

namespace {
using platformWindow = PlatformWindowTest;

RECT ClientOf(HWND handle) {
  RECT r;
  GetClientRect(handle, &r);
  return r;
}

TEST_F(platformWindow, EachKindGetsASystemWindowOfTheRequestedSize) {
  for (TWindowKind kind : {TWindowKind::Framed, TWindowKind::Popup, TWindowKind::Layered}) {
    TWindow* w = Make(kind, 160, 120);
    ASSERT_NE(w->handle, nullptr);
    EXPECT_EQ(w->kind, kind);
    EXPECT_EQ(w->appliedWidth, 160);
    EXPECT_EQ(w->appliedHeight, 120);
    EXPECT_EQ(w->clientRect, (TRectF{0, 0, 159, 119}));
    EXPECT_EQ(w->applet, &owner);
    EXPECT_FALSE(platform->WindowVisible(w));
  }
  DWORD layeredStyle = static_cast<DWORD>(GetWindowLongA(made[2]->handle, GWL_EXSTYLE));
  EXPECT_EQ(layeredStyle, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindowLongA(made[0]->handle, GWL_STYLE) & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
}

TEST_F(platformWindow, ASecondWindowOfTheClassFindsItRegistered) {
  Make(TWindowKind::Popup, 10, 10, 0, 0, "SecondWnd");
  log.clear();
  Make(TWindowKind::Popup, 10, 10, 0, 0, "SecondWnd");
  EXPECT_EQ(log.count("(i) Class SecondWnd already registered."), 1);
  EXPECT_NE(made[1]->handle, nullptr);
}

TEST_F(platformWindow, FramedWindowResizeGoesThroughTheSystemAndComesBackInsideTheCall) {
  win32_test::SetFrameInsets(RECT{4, 24, 4, 4});
  TWindow* w = Make(TWindowKind::Framed, 200, 100);
  EXPECT_EQ(platform->frameExtraWidth, 8);
  EXPECT_EQ(platform->frameExtraHeight, 28);
  int resized = owner.resized, deviceResizes = owner.deviceResizes;
  platform->ResizeWindow(w, 320, 240);
  EXPECT_EQ(w->width, 320);
  EXPECT_EQ(w->height, 240);
  EXPECT_EQ(w->appliedWidth, 320);
  EXPECT_EQ(w->clientRect, (TRectF{0, 0, 319, 239}));
  EXPECT_EQ(ClientOf(w->handle).right, 320);
  EXPECT_EQ(ClientOf(w->handle).bottom, 240);
  EXPECT_EQ(owner.resized, resized + 1);
  EXPECT_EQ(owner.deviceResizes, deviceResizes + 1);
}

TEST_F(platformWindow, ReapplyingTheSizeDoesNotAskTheSystem) {
  TWindow* w = Make(TWindowKind::Framed, 200, 100);
  w->width = 300;  // what the procedure would have read from the system
  int resized = owner.resized;
  platform->ResizeWindow(w, -1, -1);
  EXPECT_EQ(w->appliedWidth, 300);
  EXPECT_EQ(ClientOf(w->handle).right, 200);  // the system window was not touched
  EXPECT_EQ(owner.resized, resized + 1);
}

TEST_F(platformWindow, EachFramedWindowIsSizedByItsOwnFrame) {
  win32_test::SetFrameInsets(RECT{4, 24, 4, 4});
  TWindow* framed = Make(TWindowKind::Framed, 200, 100);
  win32_test::SetFrameInsets(std::nullopt);
  Make(TWindowKind::Popup, 50, 50);  // the platform's last frame is now 0
  EXPECT_EQ(platform->frameExtraWidth, 0);
  platform->ResizeWindow(framed, 300, 150);
  EXPECT_EQ(ClientOf(framed->handle).right, 300);
  EXPECT_EQ(ClientOf(framed->handle).bottom, 150);
  EXPECT_EQ(framed->appliedWidth, 300);
}

TEST_F(platformWindow, AUserResizeReachesTheRecordThroughTheProcedure) {
  TWindow* w = Make(TWindowKind::Framed, 200, 100);
  win32_test::InjectMoved(w->handle, 70, 80);
  win32_test::InjectResized(w->handle, 250, 130);
  while (platform->PeekHandler()) {
  }
  EXPECT_EQ(w->left, 70);
  EXPECT_EQ(w->top, 80);
  EXPECT_EQ(w->appliedWidth, 250);
  EXPECT_EQ(w->appliedHeight, 130);
}

TEST_F(platformWindow, InFullScreenThePlaceIsNotTaken) {
  TWindow* w = Make(TWindowKind::Framed, 200, 100);
  owner.fullScreen = true;
  win32_test::InjectMoved(w->handle, 70, 80);
  win32_test::InjectResized(w->handle, 250, 130);
  while (platform->PeekHandler()) {
  }
  EXPECT_EQ(w->left, 50);
  EXPECT_EQ(w->appliedWidth, 200);
}

TEST_F(platformWindow, ReposMovesTheWindowAndTheRecordFollows) {
  TWindow* w = Make(TWindowKind::Popup, 100, 100);
  platform->ReposWindow(w, 300, 200);
  EXPECT_EQ(w->left, 300);
  EXPECT_EQ(w->top, 200);
  RECT r;
  GetWindowRect(w->handle, &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.right, 400);
}

TEST_F(platformWindow, ShowWindowMakesItVisibleAndActive) {
  TWindow* w = Make(TWindowKind::Framed, 100, 100);
  platform->ShowWindow(w);
  EXPECT_TRUE(platform->WindowVisible(w));
  EXPECT_EQ(GetActiveWindow(), w->handle);
}

TEST_F(platformWindow, WindowStateAppliesTitleAndStacking) {
  TWindow* w = Make(TWindowKind::Framed, 100, 100);
  w->title = u"Spiel \u00E4";
  w->place = TWindowStacking::Topmost;
  platform->UpdateWindowState(w);
  char16_t title[32];
  GetWindowTextW(w->handle, title, 32);
  EXPECT_EQ(std::u16string(title), u"Spiel \u00E4");
}

// ---- popup windows and their skin -------------------------------------------

TArgbImage SkinWithHoles() {
  // 4 x 2: the right column is transparent, (1, 0) is opaque magenta.
  TArgbImage skin = FilledImage(4, 2, 0xFF336699);
  skin.pixels[3] = skin.pixels[7] = 0x00000000;
  skin.pixels[1] = 0xFFFF00FF;
  return skin;
}

TEST_F(platformWindow, PopupWindowIsShapedByTheKeyColourOfItsSkin) {
  owner.pixmaps["skin.png"] = SkinWithHoles();
  TWindow* popup = Make(TWindowKind::Popup, 3, 1);
  popup->maskFile = "skin.png";
  platform->ResizeWindow(popup, 7, 3);  // skin stretched to 8 x 4
  auto mask = win32_test::WindowShapeMask(popup->handle, 8, 4);
  ASSERT_TRUE(mask);
  std::vector<uint8_t> row = {1, 1, 0, 0, 1, 1, 0, 0};
  std::vector<uint8_t> bottom = {1, 1, 1, 1, 1, 1, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(mask->begin(), mask->begin() + 8), row);
  EXPECT_EQ(std::vector<uint8_t>(mask->begin() + 8, mask->begin() + 16), row);
  EXPECT_EQ(std::vector<uint8_t>(mask->begin() + 16, mask->begin() + 24), bottom);
  EXPECT_EQ(std::vector<uint8_t>(mask->begin() + 24, mask->end()), bottom);
}

TEST_F(platformWindow, ResizingAPopupToItsAppliedSizeDoesNotRebuildItsRegion) {
  owner.pixmaps["skin.png"] = SkinWithHoles();
  TWindow* popup = Make(TWindowKind::Popup, 3, 1);
  popup->maskFile = "skin.png";
  platform->ResizeWindow(popup, 7, 3);
  ASSERT_EQ(owner.pixmapsAsked.size(), 1u);
  auto before = win32_test::WindowShapeMask(popup->handle, 8, 4);
  popup->maskLeft = 1;  // would change the region if it were rebuilt
  popup->maskTop = popup->maskRight = popup->maskBottom = 1;
  platform->ResizeWindow(popup, 7, 3);
  platform->ResizeWindow(popup, -1, -1);
  EXPECT_EQ(win32_test::WindowShapeMask(popup->handle, 8, 4), before);
  EXPECT_EQ(owner.pixmapsAsked.size(), 1u);  // the skin copy is kept
}

TEST_F(platformWindow, APopupWithoutSkinHasNoRegion) {
  TWindow* popup = Make(TWindowKind::Popup, 3, 1);
  popup->maskFile = "missing.png";
  platform->ResizeWindow(popup, 8, 8);
  EXPECT_FALSE(win32_test::WindowShapeMask(popup->handle, 8, 8));
  EXPECT_EQ(popup->appliedWidth, 8);
}

TEST_F(platformWindow, ANewSkinNameIsLoadedAnew) {
  owner.pixmaps["a.png"] = FilledImage(2, 2, 0xFF000000);
  owner.pixmaps["b.png"] = FilledImage(2, 2, 0x00000000);
  TWindow* popup = Make(TWindowKind::Popup, 1, 1);
  popup->maskFile = "a.png";
  platform->ResizeWindow(popup, 4, 4);
  EXPECT_EQ((*win32_test::WindowShapeMask(popup->handle, 4, 4))[0], 1);
  popup->maskFile = "b.png";
  platform->ResizeWindow(popup, 5, 5);
  EXPECT_EQ((*win32_test::WindowShapeMask(popup->handle, 4, 4))[0], 0);
}

// ---- layered windows --------------------------------------------------------

TEST_F(platformWindow, LayeredWindowHasABottomUpBitmapOfItsSize) {
  TWindow* w = Make(TWindowKind::Layered, 6, 4);
  ASSERT_NE(w->layeredBitmap, nullptr);
  ASSERT_NE(w->layeredDC, nullptr);
  ASSERT_NE(w->layeredBits, nullptr);
  HBITMAP first = w->layeredBitmap;
  platform->ResizeWindow(w, 6, 4);
  EXPECT_EQ(w->layeredBitmap, first);  // same size: kept
  platform->ResizeWindow(w, 8, 5);
  EXPECT_EQ(w->appliedWidth, 8);
  EXPECT_EQ(w->appliedHeight, 5);
  EXPECT_NE(w->layeredBits, nullptr);
}

TEST_F(platformWindow, LayeredFrameIsPutOnTheScreenAsRendered) {
  TWindow* w = Make(TWindowKind::Layered, 6, 4, 20, 30);
  platform->ShowWindow(w);
  platform->UpdateWindow(w, 6.9f, 4.2f);
  auto image = win32_test::LayeredWindowImage(w->handle);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->width, 6);
  ASSERT_EQ(image->height, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(image->pixels[y * 6 + x], TestWindowOwner::Pattern(x, y)) << x << "," << y;
  }
  RECT r;
  GetWindowRect(w->handle, &r);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right - r.left, 6);
}

TEST_F(platformWindow, LayeredWindowFollowsTheSizeItIsDrawnAt) {
  TWindow* w = Make(TWindowKind::Layered, 6, 4);
  platform->UpdateWindow(w, 10.0f, 7.0f);
  EXPECT_EQ(w->appliedWidth, 10);
  EXPECT_EQ(w->appliedHeight, 7);
  auto image = win32_test::LayeredWindowImage(w->handle);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 10);
  EXPECT_EQ(image->pixels[6 * 10 + 9], TestWindowOwner::Pattern(9, 6));
  EXPECT_EQ(ClientOf(w->handle).right, 10);
}

TEST_F(platformWindow, WithoutTheLayeredEntryPointThereIsNoLayeredWindow) {
  win32_test::HideExport("UpdateLayeredWindow", true);
  ResolveSystemEntryPoints();
  TWindow* w = Make(TWindowKind::Layered, 6, 4);
  EXPECT_EQ(w->handle, nullptr);
  EXPECT_EQ(log.count("(e) Not supported layered window."), 1);
  EXPECT_FALSE(log.contains("(e) Can't create window"));
  Make(TWindowKind::Layered, 6, 4);
  EXPECT_EQ(log.count("(e) Not supported layered window."), 2);
  EXPECT_NO_FATAL_FAILURE(platform->UpdateWindow(w, 6, 4));
}

TEST_F(platformWindow, AHugeLayeredSizeGetsNoBitmapAndSaysWhy) {
  TWindow* w = Make(TWindowKind::Layered, 6, 4);
  log.clear();
  platform->ResizeWindow(w, 100000, 100000);
  EXPECT_EQ(w->layeredBitmap, nullptr);
  EXPECT_EQ(w->layeredBits, nullptr);
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(log.messages()[0].rfind("(e) 8:", 0), 0u);
  EXPECT_NO_FATAL_FAILURE(platform->UpdateWindow(w, 100000, 100000));
}

// ---- the window procedure ---------------------------------------------------

TEST_F(platformWindow, PaintRendersAndPresents) {
  TWindow* w = Make(TWindowKind::Framed, 50, 50);
  platform->ShowWindow(w);
  int renders = owner.renders, presents = owner.presents;
  while (platform->PeekHandler()) {
  }
  EXPECT_EQ(owner.renders, renders + 1);
  EXPECT_EQ(owner.presents, presents + 1);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, w->handle, WM_PAINT, WM_PAINT, PM_NOREMOVE));  // validated
}

TEST_F(platformWindow, PaintWithoutADeviceOnlyValidates) {
  owner.hasDevice = false;
  TWindow* w = Make(TWindowKind::Framed, 50, 50);
  platform->ShowWindow(w);
  while (platform->PeekHandler()) {
  }
  EXPECT_EQ(owner.renders, 0);
}

TEST_F(platformWindow, ActivationPostsWindowActions) {
  std::vector<int32_t> actions;
  static std::vector<int32_t>* seen;
  seen = &actions;
  WindowInput().PostWindowAction = [](TWindow&, int32_t code) { seen->push_back(code); };
  TWindow* a = Make(TWindowKind::Framed, 50, 50);
  TWindow* b = Make(TWindowKind::Framed, 50, 50, 200, 40);
  platform->ShowWindow(a);
  platform->ShowWindow(b);
  EXPECT_EQ(actions, (std::vector<int32_t>{1, 2, 1}));
}

TEST_F(platformWindow, InputTranslationRunsFirstAndMayTakeTheMessage) {
  static std::vector<UINT>* seen;
  std::vector<UINT> messages;
  seen = &messages;
  WindowInput().Translate = [](TWindow&, UINT message, WPARAM, LPARAM, LRESULT& result) {
    seen->push_back(message);
    if (message != WM_CLOSE) return false;
    result = 0;
    return true;  // the applet decides: the window stays
  };
  TWindow* w = Make(TWindowKind::Framed, 50, 50);
  win32_test::InjectCloseRequest(w->handle);
  while (platform->PeekHandler()) {
  }
  EXPECT_NE(std::find(messages.begin(), messages.end(), WM_CLOSE), messages.end());
  EXPECT_TRUE(IsWindow(w->handle));
}

TEST_F(platformWindow, ATerminatedAppletsWindowGetsTheDefaultHandling) {
  static int translated;
  translated = 0;
  WindowInput().Translate = [](TWindow&, UINT, WPARAM, LPARAM, LRESULT&) {
    ++translated;
    return false;
  };
  TWindow* w = Make(TWindowKind::Framed, 50, 50);
  owner.terminated = true;
  int renders = owner.renders;
  platform->ShowWindow(w);
  while (platform->PeekHandler()) {
  }
  EXPECT_EQ(translated, 0);
  EXPECT_EQ(owner.renders, renders);
}

TEST_F(platformWindow, PumpDropsTheQuitMessage) {
  PostQuitMessage(0);
  EXPECT_TRUE(platform->PeekHandler());
  EXPECT_FALSE(platform->PeekHandler());
}

TEST_F(platformWindow, WaitHandlerHandlesOneMessage) {
  TWindow* w = Make(TWindowKind::Framed, 50, 50);
  static int user;
  user = 0;
  WindowInput().Translate = [](TWindow&, UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_USER) ++user;
    return false;
  };
  PostMessageA(w->handle, WM_USER, 0, 0);
  platform->WaitHandler();
  EXPECT_EQ(user, 1);
}

// ---- destruction and re-creation --------------------------------------------

TEST_F(platformWindow, DestroyWindowLogsAndReleasesTheCapture) {
  TWindow* w = Make(TWindowKind::Layered, 10, 10);
  Forget(w);
  HWND handle = w->handle;
  platform->CaptureMouse(w);
  EXPECT_EQ(GetCapture(), handle);
  platform->DestroyWindow(w);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(log.count("(i) Window was destroyed"), 1);
}

TEST_F(platformWindow, ARecordWithoutSystemWindowIsFreedToo) {
  win32_test::HideExport("UpdateLayeredWindow", true);
  ResolveSystemEntryPoints();
  TWindow* w = Make(TWindowKind::Layered, 6, 4);
  Forget(w);
  platform->DestroyWindow(w);  // under the address sanitizer a leak would show
  EXPECT_FALSE(log.contains("(i) Window was destroyed"));
}

TEST_F(platformWindow, RecreateReplacesTheSystemWindowAndMovesTheDevice) {
  TWindow* w = Make(TWindowKind::Framed, 80, 60);
  HWND old = w->handle;
  log.clear();
  w->kind = TWindowKind::Popup;
  platform->RecreateWnd(w);
  EXPECT_NE(w->handle, old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(IsWindowVisible(w->handle));
  EXPECT_EQ(GetWindowLongA(w->handle, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(owner.recreated, 1);
  EXPECT_EQ(log.count("(i) Class AppletWnd already registered."), 1);
}

// ---- mouse ------------------------------------------------------------------

TEST_F(platformWindow, AcquireCentresOnceAndNests) {
  TWindow* w = Make(TWindowKind::Popup, 200, 100, 100, 50);
  platform->ShowWindow(w);
  SetCursorPos(10, 10);
  while (platform->PeekHandler()) {
  }
  platform->AcquireMouse(w);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 200);
  EXPECT_EQ(p.y, 100);
  EXPECT_EQ(w->acquireCount, 1);
  SetCursorPos(120, 60);
  platform->AcquireMouse(w);
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 120);  // not centred again
  EXPECT_EQ(w->acquireCount, 2);
  platform->AcquireDisable(w);
  EXPECT_EQ(w->acquireCount, 1);  // still relative
  platform->AcquireDisable(w);
  platform->AcquireDisable(w);
  EXPECT_EQ(w->acquireCount, 0);
}

TEST_F(platformWindow, AcquireLeavesNoWarpMoveAndMeasuresFromTheCentre) {
  TWindow* w = Make(TWindowKind::Popup, 200, 100, 100, 50);
  platform->ShowWindow(w);
  SetCursorPos(110, 60);
  while (platform->PeekHandler()) {
  }
  w->lastMouseX = 10;
  w->lastMouseY = 10;
  platform->AcquireMouse(w);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, w->handle, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
  EXPECT_EQ(w->lastMouseX, 200);
  EXPECT_EQ(w->lastMouseY, 100);
  EXPECT_EQ(w->warpGuard, nullptr);
}

TEST_F(platformWindow, CursorPositionIsInClientCoordinatesUnlessFullScreen) {
  TWindow* w = Make(TWindowKind::Popup, 200, 100, 100, 50);
  SetCursorPos(130, 70);
  EXPECT_EQ(platform->curMousePos(w), (TPointF{30, 20}));
  owner.fullScreen = true;
  EXPECT_EQ(platform->curMousePos(w), (TPointF{130, 70}));
}

TEST_F(platformWindow, CaptureRoutesTheMouseToTheWindow) {
  TWindow* w = Make(TWindowKind::Popup, 50, 50);
  platform->CaptureMouse(w);
  EXPECT_EQ(GetCapture(), w->handle);
  platform->ReleaseMouse();
  EXPECT_EQ(GetCapture(), nullptr);
}

// ---- icons ------------------------------------------------------------------

TEST_F(platformWindow, IconComesFromThePixmap) {
  TWindow* w = Make(TWindowKind::Framed, 50, 50);
  TArgbImage icon = FilledImage(2, 2, 0xFF00FF00);
  icon.pixels[3] = 0x00000000;
  owner.pixmaps["icon.pixmap"] = icon;
  platform->SetIcon(w, "icon.pixmap");
  auto shown = win32_test::WindowIconImage(w->handle);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->pixels, icon.pixels);
  EXPECT_NE(win32_test::ClassIcon(w->handle), nullptr);
}

TEST_F(platformWindow, MissingIconFallsBackToTheBuiltInOne) {
  TWindow* w = Make(TWindowKind::Framed, 50, 50);
  owner.builtIn["defaulticon.pixmap"] = FilledImage(3, 3, 0xFF0000FF);
  platform->SetIcon(w, "nothere.pixmap");
  auto shown = win32_test::WindowIconImage(w->handle);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->width, 3);
}

TEST_F(platformWindow, WithoutAnyIconTheIconStaysAsItWas) {
  TWindow* w = Make(TWindowKind::Framed, 50, 50);
  owner.pixmaps["icon.pixmap"] = FilledImage(2, 2, 0xFF00FF00);
  platform->SetIcon(w, "icon.pixmap");
  platform->SetIcon(w, "nothere.pixmap");
  auto shown = win32_test::WindowIconImage(w->handle);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->width, 2);
}

// ---- screenshots ------------------------------------------------------------

TEST_F(platformWindow, MakePngWritesTheRenderedFrame) {
  TWindow* w = Make(TWindowKind::Framed, 7, 5);
  platform->MakePng(w, "shots\\shot1.png");
  ASSERT_EQ(owner.written.count("shots\\shot1.png"), 1u);
  const std::vector<uint8_t>& bytes = owner.written["shots\\shot1.png"];
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
  image.format = PNG_FORMAT_BGRA;  // the bytes of little-endian ARGB words
  std::vector<uint32_t> pixels(image.width * image.height);
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  ASSERT_EQ(image.width, 7u);
  ASSERT_EQ(image.height, 5u);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) EXPECT_EQ(pixels[y * 7 + x], TestWindowOwner::Pattern(x, y));
  }
}

TEST_F(platformWindow, MakePngWritesNothingWhenTheDeviceCannotReadTheFrame) {
  TWindow* w = Make(TWindowKind::Framed, 7, 5);
  owner.canRenderToARGB = false;
  platform->MakePng(w, "shot.png");
  EXPECT_TRUE(owner.written.empty());
}

TEST_F(platformWindow, MakePngOfAnEmptyWindowWritesNothing) {
  TWindow* w = Make(TWindowKind::Framed, 0, 0);
  platform->MakePng(w, "shot.png");
  EXPECT_TRUE(owner.written.empty());
}
}  // namespace
