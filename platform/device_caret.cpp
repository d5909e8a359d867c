// The window's text caret: made, shown, placed and blinked through the device;
// RenderScene draws it last.
#include "platform/caret.h"
#include "platform/device.h"
#include "platform/device_host.h"

TCaret* TDevice::CreateCaret(int32_t width, int32_t height, TColorARGB color) {
  TDevicePartsRef parts = windowParts();
  FreeAndNil(parts.caret);
  auto* caret = New<TCaret>(owner());
  caret->width = width;
  caret->height = height;
  caret->color = color;
  caret->speed = kCaretBlinkSpeed;
  parts.caret = caret;
  return caret;
}

void TDevice::DestroyCaret() { FreeAndNil(windowParts().caret); }

void TDevice::ShowCaret() {
  if (TCaret* caret = windowParts().caret) caret->showCount += 1;
}

void TDevice::HideCaret() {
  if (TCaret* caret = windowParts().caret) caret->showCount -= 1;
}

void TDevice::PlaceCaret(TCaret* caret, const TMatrix4F& matrix, int32_t x, int32_t y) {
  if (!caret) return;
  caret->worldMatrix = matrix;
  caret->x = x;
  caret->y = y;
}

void TDevice::BlinkCaret(TCaret* caret, float deltaTime) {
  if (!caret || !host() || !host()->isActive()) return;
  caret->Blink(deltaTime);
  TDevicePartsRef parts = windowParts();
  parts.caretUpdating = true;
  host()->requestUpdate();
  parts.caretUpdating = false;
}
