#include "platform/pixmap.h"

#include <limits>

#include "core/objects/class_builder.h"

const ClassInfo& TPixmap::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TPixmap>("TPixmap")
                                    .readOnly("width", &TPixmap::width)
                                    .readOnly("height", &TPixmap::height)
                                    .build();
  return info;
}

bool IsValidPixmapSize(int64_t width, int64_t height, int32_t maxSize) {
  if (width < 1 || height < 1 || width > maxSize || height > maxSize) return false;
  return width * height <= std::numeric_limits<int32_t>::max() / 4;
}

bool IsValidPixmapRect(const TPixmap& pixmap, const TPixmapRect& rect) {
  if (rect.left < 0 || rect.top < 0 || rect.width < 1 || rect.height < 1) return false;
  return int64_t{rect.left} + rect.width <= pixmap.width() && int64_t{rect.top} + rect.height <= pixmap.height();
}
