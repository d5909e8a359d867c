#pragma once
// ".jpg": JPEG pictures read into pixmaps or plain buffers (alpha 255) and
// pixmaps written as JPEG (colour only) at the JPEG quality setting.
#include "platform/filters/abstract_filter.h"

// The quality the JPEG filter writes at (the system never changes it).
inline constexpr int kJpegFilterQuality = 90;

class TJpegFilter : public TPixmapFilter {
  Q_OBJECT(TJpegFilter, TPixmapFilter)

 public:
  bool hasReadRGBA() const override { return true; }
  bool readRGBA(TResourceMan* manager, const WideString& name, TArgbImage& image) override;
  bool writePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap) override;
};
