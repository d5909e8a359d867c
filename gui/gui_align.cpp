#include "gui/gui_align.h"

Q_DEFINE_ENUM(TGuiAlign, "gaNone", "gaTop", "gaLeft", "gaRight", "gaBottom", "gaMostLeft", "gaMostRight", "gaCenter",
              "gaVertCenter", "gaHorzCenter", "gaClient", "gaContents", "gaTopLeft", "gaTopRight", "gaBottomLeft",
              "gaBottomRight")
Q_DEFINE_ENUM(TTextAlign, "taLeft", "taCenter", "taRight")

uint8_t TextAlignFlag(TTextAlign align) {
  switch (align) {
    case taCenter:
      return 2;
    case taRight:
      return 4;
    case taLeft:
    default:
      return 1;
  }
}
