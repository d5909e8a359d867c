#pragma once
// A running applet for the design tools' display tests: the GUI tests' game
// (its top layer holds the gizmos), mouse drags, and the window point where
// a world point of the 3D scene shows.
#include <cmath>

#include "gui/design/design_target.h"
#include "gui/design/gizmo.h"
#include "gui/design/screen_gizmo.h"
#include "platform/device.h"
#include "platform/device_window.h"
#include "tests/gui/gui_test_world.h"

class DesignGame : public GuiTestGame {
 public:
  Gizmo* gizmo() const { return dynamic_cast<Gizmo*>(applet->findByClassName("Gizmo")); }
  ScreenGizmo* screenGizmo() const { return dynamic_cast<ScreenGizmo*>(applet->findByClassName("ScreenGizmo")); }

  // The window pixel (rounded) whose pick ray passes through a world point:
  // the ray's point on the plane through it facing the camera moves affinely
  // with the window point, so three rays give the answer.
  TPointF windowPointOf(const TVector4F& world) const {
    TDevice* device = applet->device();
    const TVector4F normal = device->windowParts().camera.direction;
    auto hit = [&](float x, float y) {
      TVector4F origin, direction, point;
      device->Pick(x, y, origin, direction);
      RayPlaneIntersect(origin, direction, world, normal, point);
      return point;
    };
    const TVector4F o = hit(100, 100), ex = VecSub(hit(101, 100), o), ey = VecSub(hit(100, 101), o);
    const TVector4F d = VecSub(world, o);
    // d = u ex + v ey, solved in the least-squares sense.
    const float a = VecDot(ex, ex), b = VecDot(ex, ey), c = VecDot(ey, ey);
    const float p = VecDot(d, ex), q = VecDot(d, ey), det = a * c - b * b;
    return {std::round(100 + (p * c - q * b) / det), std::round(100 + (q * a - p * b) / det)};
  }

  void press(const TPointF& p, uint8_t shift = kShiftLeftButton) {
    queueMouse(lekMouseDown, p, 0, 0, shift);
    step();
  }
  // A move by (dx, dy) pixels from `from`, dispatched in a frame of its own.
  void moveBy(TPointF& from, float dx, float dy, uint8_t shift = kShiftLeftButton) {
    from.x += dx;
    from.y += dy;
    queueMouse(lekMouseMove, from, static_cast<int32_t>(dx), static_cast<int32_t>(dy), shift);
    step();
  }
  void release(const TPointF& p, uint8_t shift = kShiftLeftButton) {
    queueMouse(lekMouseUp, p, 0, 0, shift);
    step();
  }

 private:
  void queueMouse(uint8_t kind, const TPointF& p, int32_t dx, int32_t dy, uint8_t shift) {
    applet->QueueEvent(TMouseEvent::Create(kind, kind == lekMouseMove ? 0 : kButtonLeft, static_cast<int32_t>(p.x),
                                           static_cast<int32_t>(p.y), dx, dy, shift, applet->window()));
  }
};
