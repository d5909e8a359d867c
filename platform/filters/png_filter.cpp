#include "platform/filters/png_filter.h"

#include "core/class_builder.h"
#include "core/log.h"
#include "core/resource_man.h"
#include "platform/filters/pixmap_pixels.h"
#include "platform/filters/png_codec.h"

const ClassInfo& TPngFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TPngFilter>("TPngFilter").build();
  return info;
}

TPixmap* TPngFilter::readPixmap(TResourceMan* manager, const WideString& name) {
  TStreamPtr stream = OpenFilterStream(manager, name, fmOpenRead);
  if (!stream) return nullptr;
  const TArgbImage image = GuardedRead<TArgbImage>(name, [&] { return DecodePng(*stream); });
  return pixmapOf(name, image);
}

bool TPngFilter::writePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap) {
  TArgbImage image;
  std::vector<uint8_t> png;
  if (!pixelsForSaving(pixmap, name, image)) return false;
  if (!EncodePng(image.width, image.height, image.pixels, png)) {
    LogError(u"Can't save " + name + u": the pixmap is too large for PNG");
    return false;
  }
  return WriteFilterFile(manager, name, png);
}
