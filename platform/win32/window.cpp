#include "platform/win32/window.h"

#include "compat/win32/gdi.h"
#include "compat/win32/icon.h"
#include "core/objects/class_builder.h"
#include "platform/caret.h"

const ClassInfo& TWindow::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TWindow>("TWindow").build();
  return info;
}

void TWindow::FreeLayeredBitmap() {
  if (layeredBitmap) DeleteObject(layeredBitmap);
  if (layeredDC) DeleteDC(layeredDC);
  layeredBitmap = nullptr;
  layeredDC = nullptr;
  layeredBits = nullptr;
}

void TWindow::Destroy() {
  FreeLayeredBitmap();
  if (icon) DestroyIcon(icon);
  icon = nullptr;
  // A caret left by its device goes with the window it belongs to.
  FreeAndNil(caret);
  inherited::Destroy();
}
