#pragma once
// What a platform window asks of the applet that owns it.
//
// The platform sits below the applet, so it reaches the applet, its device,
// its filter and its resource manager through this interface, which the
// applet implements. Every call here is one the window procedure or a window
// operation makes; nothing else of the applet is visible to the platform.
#include <cstdint>
#include <vector>

#include "core/text/text.h"
#include "platform/argb_image.h"

class TWindowOwner {
 public:
  virtual ~TWindowOwner() = default;

  // A terminated applet's window gets the system's default handling only.
  virtual bool IsTerminated() const = 0;
  virtual bool IsFullScreen() const = 0;
  // The window's position or size changed (the applet's windowResized).
  virtual void WindowResized() = 0;

  // The applet's device, through which windows are drawn.
  virtual bool HasDevice() const = 0;
  virtual void DeviceRender() = 0;
  virtual void DevicePresent() = 0;
  // The device follows the window's new size.
  virtual void DeviceResize() = 0;
  // Renders a frame into `pixels` (width x height ARGB words, rows top-down);
  // false when the device cannot, and then the buffer means nothing.
  virtual bool DeviceRenderToARGB(uint32_t* pixels, int32_t width, int32_t height) = 0;
  // Moves the device onto the window's new system window (a device of the
  // same class made anew, the applet's pixmaps and meshes carried over).
  virtual void RecreateDevice() = 0;

  // A pixmap file through the applet's filter and resource manager, read back
  // through the device; false when it cannot be loaded.
  virtual bool LoadPixmapARGB(const AnsiString& name, TArgbImage& image) = 0;
  // The same from the engine's built-in resources.
  virtual bool LoadBuiltInPixmapARGB(const AnsiString& name, TArgbImage& image) = 0;
  // Writes a file through the applet's resource manager; false when the
  // manager gives no stream for it.
  virtual bool WriteResource(const AnsiString& name, const std::vector<uint8_t>& bytes) = 0;
};
