#include "platform/filters/jpeg_filter.h"

#include "core/objects/class_builder.h"
#include "core/resources/resource_man.h"
#include "core/system/log.h"
#include "platform/filters/jpeg_coding.h"
#include "platform/filters/pixmap_pixels.h"

const ClassInfo& TJpegFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TJpegFilter>("TJpegFilter").build();
  return info;
}

bool TJpegFilter::readRGBA(TResourceMan* manager, const WideString& name, TArgbImage& image) {
  image = TArgbImage{};
  TStreamPtr stream = OpenFilterStream(manager, name, fmOpenRead);
  if (!stream) return false;
  image = GuardedRead<TArgbImage>(name, [&] { return decodeJpeg(*stream); });
  return !image.empty();
}

bool TJpegFilter::writePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap) {
  TArgbImage image;
  if (!pixelsForSaving(pixmap, name, image)) return false;
  TMemoryStream encoded;
  try {
    encodeJpeg(image, encoded, kJpegFilterQuality);
  } catch (const EJPEG& error) {
    LogError(u"Can't save " + name + u": " + Utf8ToWide(error.what()));
    return false;
  }
  return WriteFilterFile(manager, name, encoded.Bytes());
}
