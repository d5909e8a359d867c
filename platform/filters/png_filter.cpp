#include "platform/filters/png_filter.h"

#include "core/objects/class_builder.h"
#include "core/resources/resource_man.h"
#include "core/system/log.h"
#include "platform/filters/png_codec.h"

const ClassInfo& TPngFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TPngFilter>("TPngFilter").build();
  return info;
}

bool TPngFilter::readRGBA(TResourceMan* manager, const WideString& name, TArgbImage& image) {
  image = TArgbImage{};
  TStreamPtr stream = OpenFilterStream(manager, name, fmOpenRead);
  if (!stream) return false;
  image = GuardedRead<TArgbImage>(name, [&] { return DecodePng(*stream); });
  return !image.empty();
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
