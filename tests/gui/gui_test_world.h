#pragma once
// What the GUI tests share: a running game whose applet has the GUI's parts
// (EventTestGame with the GUI registered), frames read back from the device
// and the brightness of their pixels, and `ColorBox`, a GuiObject that fills
// its client rectangle with one colour so that a layout shows on real pixels.
//
//   GuiTestGame game;
//   Applet* applet = game.load("", R"(<ColorBox name="a" align="gaTop" color="#FFFF0000"/>)");
//   GuiFrame frame = ReadFrame(applet);        // frame.at(x, y) is ARGB
//   game.click(10, 10); game.step();           // queued input, one program pass
#include <cstdlib>
#include <string>
#include <vector>

#include "core/geometry/geometry_color.h"
#include "gui/gui_object.h"
#include "gui/gui_registration.h"
#include "platform/device.h"
#include "tests/engine/event_test_applet.h"

class ColorBox : public GuiObject {
  Q_OBJECT(ColorBox, GuiObject)

 public:
  void drawSelf() override {
    Applet* applet = ownerApplet();
    TDevice* device = applet ? applet->device() : nullptr;
    if (!device) return;
    device->SetColor(color);
    device->FillRectF(getClientRect(), 0);
  }
  TColorARGB color = 0xFFFFFFFFu;

 private:
  WideString colorText() const { return ColorToText(color); }
  void setColorText(const WideString& text) { color = ColorFromText(text); }
};

inline const ClassInfo& ColorBox::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<ColorBox>("ColorBox").property("color", &ColorBox::colorText, &ColorBox::setColorText).build();
  return info;
}

// A game (main.qxml in a folder of its own, 320 x 200) with the GUI in.
class GuiTestGame : public EventTestGame {
 public:
  GuiTestGame() {
    RegisterGuiClasses();
    RegisterClass(ColorBox::staticClassInfo());
  }
};

// A frame rendered and read back: width x height ARGB words, rows top-down.
struct GuiFrame {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] | 0xFF000000u; }
};

// A pixel's brightness, 0 to 255.
inline int Luma(uint32_t argb) {
  return static_cast<int>((((argb >> 16) & 0xFF) * 299 + ((argb >> 8) & 0xFF) * 587 + (argb & 0xFF) * 114) / 1000);
}

inline GuiFrame ReadFrame(Applet* applet) {
  GuiFrame frame;
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return frame;
  frame.width = device->windowWidth();
  frame.height = device->windowHeight();
  frame.pixels.assign(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height), 0);
  if (!device->RenderToARGB(frame.pixels.data())) frame.pixels.clear();
  return frame;
}
