// The window's caret and light table and the camera, through the device.
#include <gtest/gtest.h>

#include "platform/caret.h"
#include "platform/device_fake_helpers.h"
#include "platform/win32/window.h"

namespace {

class CaretAndLights : public ::testing::Test {
 protected:
  TTestHost host;
  FakeDevicePtr device = MakeFakeDevice(&host);
};

TEST(CaretBlink, BouncesAtOneAndAtZero) {
  TCaret caret;
  caret.alpha = 0.9f;
  caret.speed = 3;
  caret.Blink(0.1f);
  EXPECT_FLOAT_EQ(caret.alpha, 1);
  EXPECT_FLOAT_EQ(caret.speed, -3);
  caret.Blink(0.2f);
  EXPECT_FLOAT_EQ(caret.alpha, 0.4f);
  caret.Blink(0.2f);
  EXPECT_FLOAT_EQ(caret.alpha, 0);
  EXPECT_FLOAT_EQ(caret.speed, 3);
}

TEST_F(CaretAndLights, CaretComesAndGoesWithTheWindow) {
  TCaret* caret = device->CreateCaret(2, 14, 0xFF112233);
  ASSERT_NE(caret, nullptr);
  EXPECT_EQ(caret->width, 2);
  EXPECT_EQ(caret->height, 14);
  EXPECT_FLOAT_EQ(caret->speed, 3);
  device->ShowCaret();
  device->ShowCaret();
  device->HideCaret();
  EXPECT_EQ(caret->showCount, 1);
  TCaret* second = device->CreateCaret(1, 1, 0);  // one caret a window: the first goes
  EXPECT_NE(second, nullptr);
  device->DestroyCaret();
  device->ShowCaret();  // no caret: nothing happens
}

TEST_F(CaretAndLights, BlinkingOnlyWhileActiveAndEachStepAsksForAFrame) {
  TCaret* caret = device->CreateCaret(2, 14, 0xFF112233);
  host.active = false;
  device->Tick(0.1f);
  EXPECT_FLOAT_EQ(caret->alpha, 0);
  EXPECT_EQ(host.updates, 0);
  host.active = true;
  device->Tick(0.1f);
  EXPECT_NEAR(caret->alpha, 0.3f, 1e-6);
  EXPECT_EQ(host.updates, 1);
}

TEST_F(CaretAndLights, TheWindowKeepsTheCaretAndTheUpdateFlagAroundTheRequest) {
  TWindow* window = New<TWindow>();
  window->appliedWidth = 10;
  window->appliedHeight = 10;
  FakeDevicePtr onWindow(static_cast<TFakeDevice*>(CreateDeviceOfClass(FakeDeviceClass(), window, &host)));
  TCaret* caret = onWindow->CreateCaret(1, 1, 0);
  EXPECT_EQ(window->caret, caret);
  bool flagDuringRequest = false;
  struct Watcher : TTestHost {
    TWindow* window = nullptr;
    bool* seen = nullptr;
    void requestUpdate() override { *seen = window->caretUpdating; }
  } watcher;
  watcher.window = window;
  watcher.seen = &flagDuringRequest;
  onWindow->setHost(&watcher);
  onWindow->BlinkCaret(caret, 0.1f);
  EXPECT_TRUE(flagDuringRequest);
  EXPECT_FALSE(window->caretUpdating);
  onWindow->DestroyCaret();
  EXPECT_EQ(window->caret, nullptr);
  onWindow.reset();
  window->Free();
}

TEST_F(CaretAndLights, LightsAreHandedOutFromOneToSeven) {
  EXPECT_EQ(device->AllocLight(), 1);
  for (int expected = 2; expected <= 7; ++expected) EXPECT_EQ(device->AllocLight(), expected);
  EXPECT_EQ(device->AllocLight(), -1);  // the eighth
  EXPECT_EQ(device->AllocLight(), -1);
  // A freed entry goes dark and is the next one handed out; entry 0 and
  // entries not in use cannot be freed.
  TLightTable& lights = device->windowParts().lights;
  lights.entries[4].enabled = true;
  device->FreeLight(4);
  EXPECT_FALSE(lights.entries[4].enabled);
  for (int never : {0, 4, 8, -1}) device->FreeLight(never);
  EXPECT_EQ(lights.count, 6);
  EXPECT_EQ(device->AllocLight(), 4);
  EXPECT_EQ(device->AllocLight(), -1);
}

TEST_F(CaretAndLights, SetLightFillsOneEntryAndIgnoresIndicesOutsideTheTable) {
  TWindow* window = New<TWindow>();
  FakeDevicePtr onWindow(static_cast<TFakeDevice*>(CreateDeviceOfClass(FakeDeviceClass(), window, &host)));
  onWindow->SetLight(3, MakeVector4F(1, 2, 3, 1), MakeVector4F(4, 5, 6, 1), 0xFF010203, 0xFF040506, 0xFF070809,
                     true, true);
  const TLightEntry& entry = window->lights.entries[3];
  EXPECT_EQ(entry.vector1, MakeVector4F(1, 2, 3, 1));
  EXPECT_EQ(entry.vector2, MakeVector4F(4, 5, 6, 1));
  EXPECT_EQ(entry.diffuse, 0xFF010203u);
  EXPECT_EQ(entry.specular, 0xFF040506u);
  EXPECT_EQ(entry.ambient, 0xFF070809u);
  EXPECT_TRUE(entry.enabled);
  EXPECT_TRUE(entry.screenSpace);
  onWindow->SetLight(8, MakeVector4F(9, 9, 9, 1), {}, 1, 1, 1, true, false);
  onWindow->SetLight(-1, MakeVector4F(9, 9, 9, 1), {}, 1, 1, 1, true, false);
  for (const TLightEntry& other : window->lights.entries) EXPECT_NE(other.vector1.x, 9);
  onWindow.reset();
  window->Free();
}

}  // namespace
