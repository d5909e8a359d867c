#include "platform/filters/pixmap_pixels.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "platform/device.h"

namespace {
uint32_t* RowAt(uint32_t* bits, int32_t pitch, int32_t y) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(bits) + static_cast<ptrdiff_t>(y) * pitch);
}
}  // namespace

TPixmap* PixmapFromImage(TDevice* device, const TArgbImage& image) {
  const size_t count = static_cast<size_t>(std::max(image.width, 0)) * static_cast<size_t>(std::max(image.height, 0));
  if (!device || image.empty() || image.pixels.size() < count) return nullptr;
  TPixmap* pixmap = device->CreatePixmap(image.width, image.height);
  if (!pixmap) return nullptr;
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  if (!device->LockPixmapRectARGB(pixmap, {0, 0, image.width, image.height}, false, bits, pitch)) {
    device->DestroyPixmap(pixmap);
    return nullptr;
  }
  for (int32_t y = 0; y < image.height; ++y) {
    const uint32_t* row = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.width);
    std::copy(row, row + image.width, RowAt(bits, pitch, y));
  }
  device->UnlockPixmap(pixmap);
  return pixmap;
}

bool ImageFromPixmap(TDevice* device, TPixmap* pixmap, TArgbImage& image) {
  image = TArgbImage{};
  if (!device || !pixmap || pixmap->width() < 1 || pixmap->height() < 1) return false;
  TArgbImage read{pixmap->width(), pixmap->height(), {}};
  read.pixels.resize(static_cast<size_t>(read.width) * static_cast<size_t>(read.height));
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  if (!device->LockPixmapRectARGB(pixmap, {0, 0, read.width, read.height}, true, bits, pitch)) return false;
  image = std::move(read);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint32_t* row = RowAt(bits, pitch, y);
    std::copy(row, row + image.width, image.pixels.begin() + static_cast<ptrdiff_t>(y) * image.width);
  }
  device->UnlockPixmap(pixmap);
  return true;
}
