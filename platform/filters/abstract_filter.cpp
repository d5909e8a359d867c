#include "platform/filters/abstract_filter.h"

#include <string>

#include "core/objects/class_builder.h"
#include "core/resources/resource_man.h"
#include "core/system/log.h"
#include "platform/device.h"
#include "platform/filters/pixmap_pixels.h"

const ClassInfo& TAbstractFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TAbstractFilter>("TAbstractFilter").build();
  return info;
}

const ClassInfo& TPixmapFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TPixmapFilter>("TPixmapFilter").build();
  return info;
}

const ClassInfo& TMeshFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TMeshFilter>("TMeshFilter").build();
  return info;
}

TPixmap* TPixmapFilter::readPixmap(TResourceMan* manager, const WideString& name) {
  TArgbImage image;
  return readRGBA(manager, name, image) ? pixmapOf(name, image) : nullptr;
}

TPixmap* TPixmapFilter::pixmapOf(const WideString& name, const TArgbImage& image) {
  TDevice* target = device();
  if (target && !image.empty() && !target->CanHoldPixmap(image.width, image.height)) {
    LogFilterError(name, "the device cannot hold " + std::to_string(image.width) + " x " + std::to_string(image.height));
    return nullptr;
  }
  return PixmapFromImage(target, image);
}

bool TPixmapFilter::pixelsForSaving(TPixmap* pixmap, const WideString& name, TArgbImage& image) {
  if (ImageFromPixmap(device(), pixmap, image)) return true;
  LogError(u"Can't save " + name + u": the pixmap cannot be read");
  return false;
}

TStreamPtr OpenFilterStream(TResourceMan* manager, const WideString& name, int32_t mode) {
  if (!manager) return nullptr;
  try {
    return TStreamPtr(manager->createStream(name, mode));
  } catch (const Exception& error) {
    LogFilterError(name, error.what());
    return nullptr;
  }
}

bool WriteFilterFile(TResourceMan* manager, const WideString& name, const std::vector<uint8_t>& bytes) {
  TStreamPtr out = OpenFilterStream(manager, name, fmCreate);
  if (!out) return false;
  const auto size = static_cast<int64_t>(bytes.size());
  bool written = out->Write(bytes.data(), size) == size;
  if (auto* file = dynamic_cast<TFileStream*>(out.get())) written = file->Close() && written;
  return written;
}

void LogFilterError(const WideString& name, const std::string& what) {
  LogError(u"Can't load " + name + u": " + Utf8ToWide(what));
}
