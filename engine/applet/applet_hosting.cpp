// What the window, the input translation and the device ask of the applet.
#include <algorithm>

#include "core/objects/engine.h"
#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "engine/applet/applet.h"
#include "engine/applet/applet_parts.h"
#include "engine/cache/cache.h"
#include "engine/event.h"
#include "platform/device.h"
#include "platform/device_registry.h"
#include "platform/filters/pixmap_pixels.h"
#include "platform/input_records.h"
#include "platform/pixmap.h"
#include "platform/platform.h"
#include "platform/win32/window.h"

// ---- the window ---------------------------------------------------------------------------

void Applet::DeviceRender() {
  if (device_) device_->Render();
}

void Applet::DevicePresent() {
  if (device_) device_->Present();
}

void Applet::DeviceResize() {
  if (device_) device_->Resize();
}

bool Applet::DeviceRenderToARGB(uint32_t* pixels, int32_t width, int32_t height) {
  if (!device_ || !window_ || width != window_->appliedWidth || height != window_->appliedHeight) return false;
  return device_->RenderToARGB(pixels);
}

void Applet::RecreateDevice() {
  if (!device_ || deviceIndex_ < 0) return;
  device_ = TDevice::RecreateDevice(device_, DeviceClasses()[static_cast<size_t>(deviceIndex_)]);
}

bool Applet::LoadPixmapARGB(const AnsiString& name, TArgbImage& image) {
  if (!cache_ || !resourceManager_) return false;
  TPixmap* pixmap = cache_->getPixmap(resourceManager_, AnsiToWide(name));
  bool ok = ImageFromPixmap(device_, pixmap, image);
  if (pixmap) cache_->releasePixmap(pixmap);
  return ok;
}

bool Applet::LoadBuiltInPixmapARGB(const AnsiString& name, TArgbImage& image) {
  SomeEngine* engine = Engine();
  if (!cache_ || !engine || !engine->embeddedResourceManager()) return false;
  TPixmap* pixmap = cache_->getPixmap(engine->embeddedResourceManager(), AnsiToWide(name));
  bool ok = ImageFromPixmap(device_, pixmap, image);
  if (pixmap) cache_->releasePixmap(pixmap);
  return ok;
}

bool Applet::WriteResource(const AnsiString& name, const std::vector<uint8_t>& bytes) {
  if (!resourceManager_) return false;
  TStream* out = nullptr;
  try {
    out = resourceManager_->createStream(AnsiToWide(name), fmCreate);
  } catch (const Exception&) {
    return false;
  }
  if (!out) return false;
  bool ok = out->Write(bytes.data(), static_cast<int64_t>(bytes.size())) == static_cast<int64_t>(bytes.size());
  if (auto* file = dynamic_cast<TFileStream*>(out)) ok = file->Close() && ok;
  out->Free();
  return ok;
}

// ---- the input translation ------------------------------------------------------------------

void Applet::QueueEvent(TLowEvent* event) {
  if (event_) {
    event_->queueEvent(event);
  } else if (event) {
    event->Free();
  }
}

void Applet::ShowCursorSprite(bool visible) {
  if (!cursor_) return;
  if (visible) {
    cursor_->show();
  } else {
    cursor_->hide();
  }
}

// ---- the device --------------------------------------------------------------------------------

TPixmap* Applet::defaultSkinPixmap(TDevice*) { return defaultPixmap_; }

void Applet::drawScene(TDevice*) { draw(); }

void Applet::reapplyWindowSize() {
  if (platform() && window_) platform()->ResizeWindow(window_, -1, -1);
}

TFilter* Applet::fontFilter() { return parts_ ? parts_->filterObject() : nullptr; }
