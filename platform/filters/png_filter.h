#pragma once
// ".png": PNG pictures of every colour type read into pixmaps, and pixmaps
// written as 8-bit RGBA PNG.
#include "platform/filters/abstract_filter.h"

class TPngFilter : public TPixmapFilter {
  Q_OBJECT(TPngFilter, TPixmapFilter)

 public:
  TPixmap* readPixmap(TResourceMan* manager, const WideString& name) override;
  bool writePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap) override;
};
