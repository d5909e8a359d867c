#pragma once
// The two enumerations every widget shares: where a widget's parent places
// it, and how a widget sets its text out along a line.
#include <cstdint>

#include "core/objects/class_builder.h"

enum TGuiAlign : uint8_t {
  gaNone,
  gaTop,
  gaLeft,
  gaRight,
  gaBottom,
  gaMostLeft,
  gaMostRight,
  gaCenter,
  gaVertCenter,
  gaHorzCenter,
  gaClient,
  gaContents,
  gaTopLeft,
  gaTopRight,
  gaBottomLeft,
  gaBottomRight
};
Q_DECLARE_ENUM(TGuiAlign)

enum TTextAlign : uint8_t { taLeft, taCenter, taRight };
Q_DECLARE_ENUM(TTextAlign)

// The horizontal layout flag of TDevice.DrawText for a text alignment.
uint8_t TextAlignFlag(TTextAlign align);
