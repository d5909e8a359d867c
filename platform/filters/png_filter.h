#pragma once
// ".png": PNG pictures of every colour type read into pixmaps or plain
// buffers, and pixmaps written as 8-bit RGBA PNG.
#include "platform/filters/abstract_filter.h"

class TPngFilter : public TPixmapFilter {
  Q_OBJECT(TPngFilter, TPixmapFilter)

 public:
  // Plain buffers too, so that a picture read as plain pixels (a
  // `Background`) needs no converted copy made before it.
  bool hasReadRGBA() const override { return true; }
  bool readRGBA(TResourceMan* manager, const WideString& name, TArgbImage& image) override;
  bool writePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap) override;
};
