#pragma once
// What a device asks of the applet that owns it. The device sits below the
// applet, so the applet implements this interface (the device finds it as the
// owner of its window); a device without a host draws with neutral values.
#include "core/geometry/geometry.h"
#include "core/text/text.h"

class TDevice;
class TFilter;
class TPixmap;
class TResourceMan;

class TDeviceHost {
 public:
  virtual ~TDeviceHost() = default;

  // The applet's lighting switch; rsLightOn does nothing while it is off.
  virtual bool deviceLighting() = 0;
  // The background colour every normal frame is cleared to (0: depth only).
  virtual TColorARGB deviceBackground() = 0;
  // The applet's `scale`: 2D and 3D projections and picking scale by it.
  virtual float deviceScale() = 0;
  // The default skin pixmap ("defaultskin.pixmap" through the cache); its
  // top-left texel colours fills, frames, boxes and lines.
  virtual TPixmap* defaultSkinPixmap(TDevice* device) = 0;
  // Draws the applet's object tree with the device.
  virtual void drawScene(TDevice* device) = 0;
  // Whether the applet is active (between its activation and deactivation).
  virtual bool isActive() = 0;
  // One pending redraw, so that the next pass renders a frame.
  virtual void requestUpdate() = 0;
  // The debug form: whether it shows, and one of its lines.
  virtual bool debugInfoVisible() = 0;
  virtual void setDebugInfo(const WideString& label, const WideString& value) = 0;
  // The platform clock in seconds.
  virtual double currentTime() = 0;
  // A device switch made `device` the applet's device.
  virtual void deviceReplaced(TDevice* device) = 0;
  // Asks the platform to re-apply the window's size (-1, -1), after which the
  // device follows it and renders.
  virtual void reapplyWindowSize() = 0;
  // Where font cache files live.
  virtual TResourceMan* fontResourceManager() = 0;
  // The applet's device now (nil when it has none or the host does not say).
  virtual TDevice* currentDevice() { return nullptr; }
  // The filter that loads and saves font atlases (nil: atlases are neither
  // loaded nor stored).
  virtual TFilter* fontFilter() { return nullptr; }
};
