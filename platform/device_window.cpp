#include "platform/device_window.h"

#include "core/objects/object.h"
#include "platform/device_host.h"
#include "platform/win32/window.h"

TWindowSize WindowAppliedSize(const TWindow* window) {
  if (!window) return {};
  return {window->appliedWidth, window->appliedHeight};
}

int32_t WindowMarginX(const TWindow* window) { return window ? window->marginX : 0; }
int32_t WindowMarginY(const TWindow* window) { return window ? window->marginY : 0; }
bool WindowIsLayered(const TWindow* window) { return window && window->kind == TWindowKind::Layered; }
uint32_t* WindowLayeredBits(TWindow* window) {
  return window ? static_cast<uint32_t*>(window->layeredBits) : nullptr;
}
HWND WindowHandle(const TWindow* window) { return window ? window->handle : nullptr; }

TObject* WindowAppletObject(const TWindow* window) {
  return window ? dynamic_cast<TObject*>(window->applet) : nullptr;
}

TDeviceHost* WindowDeviceHost(const TWindow* window) {
  return window ? dynamic_cast<TDeviceHost*>(window->applet) : nullptr;
}

TDevicePartsRef WindowDeviceParts(TWindow* window, TDeviceParts& own) {
  if (!window) return {own.camera, own.lights, own.caret, own.caretUpdating, own.screenFrustum};
  return {window->camera, window->lights, window->caret, window->caretUpdating, window->screenFrustum};
}
