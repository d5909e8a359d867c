#include "platform/fonts/fonts_registration.h"

#include "core/objects/class_registry.h"
#include "platform/fonts/sys_font_win32.h"

void RegisterFonts() {
  RegisterClass(T3DSysFont::staticClassInfo());
  RegisterClass(T3DSysFontWin32::staticClassInfo());
  SetGlyphSetClass([](TObject* owner) -> TGlyphSet* { return New<T3DSysFontWin32>(owner); });
}
