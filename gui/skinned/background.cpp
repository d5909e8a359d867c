#include "gui/skinned/background.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/resources/resource_request.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/argb_image.h"
#include "platform/device.h"
#include "platform/filters/filter.h"
#include "platform/pixmap_source.h"

namespace {
// The wide picture every game of the system's time was made for: its upper
// 512 rows go into one pixmap and its last 128 into another, overlapping so
// that the seam at row 500 is drawn from rows that both hold whole.
constexpr int32_t kWideWidth = 800;
constexpr int32_t kWideHeight = 600;
}  // namespace

const ClassInfo& Background::staticClassInfo() {
  using B = Background;
  static const ClassInfo info =
      ClassBuilder<B>("Background").property("imageFileName", &B::imageFileName, &B::setImageFileName).build();
  return info;
}

void Background::Create(TObject* owner) {
  inherited::Create(owner);
  setHotTrack(false);
}

void Background::Destroy() {
  destroyPixmaps();
  inherited::Destroy();
}

void Background::destroyPixmaps() {
  TDevice* device = WidgetDevice(this);
  for (TPixmap* pixmap : pixmaps_) {
    if (device && pixmap) device->DestroyPixmap(pixmap);
  }
  pixmaps_.clear();
  pieces_.clear();
}

bool Background::readImage(const WideString& name, TArgbImage& image) {
  Applet* applet = ownerApplet();
  AppletParts* parts = applet ? applet->parts() : nullptr;
  TFilter* filter = parts ? parts->filterObject() : nullptr;
  TResourceMan* manager = applet ? applet->resourceManager() : nullptr;
  if (!filter || !manager) return false;
  if (filter->loadRGBAFile(manager, WideToAnsi(name), image) && !image.empty()) return true;
  // The picture may be there as its converted copy alone.
  const bool missing = !name.empty() && !manager->streamExists(name) &&
                       !manager->streamExists(StripExtensionW(name) + u".pixmap");
  if (missing) LogError(MissingFileMessage(name));
  return false;
}

TPixmap* Background::pixmapOfRows(const TArgbImage& image, int32_t width, int32_t height, int32_t firstRow) {
  TDevice* device = WidgetDevice(this);
  TPixmap* pixmap = device ? device->CreatePixmap(width, height) : nullptr;
  if (!pixmap) return nullptr;
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  if (device->LockPixmapRectARGB(pixmap, TPixmapRect{0, 0, width, height}, false, bits, pitch)) {
    const int32_t rows = std::min(height, image.height - firstRow);
    const int32_t columns = std::min(width, image.width);
    for (int32_t row = 0; row < rows; ++row) {
      const uint32_t* from = image.pixels.data() + static_cast<size_t>(firstRow + row) * image.width;
      auto* to = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(bits) + static_cast<ptrdiff_t>(row) * pitch);
      std::memcpy(to, from, static_cast<size_t>(columns) * sizeof(uint32_t));
    }
    device->UnlockPixmap(pixmap);
  }
  return pixmap;
}

void Background::setImageFileName(const WideString& name) {
  if (name == imageFileName_) return;
  destroyPixmaps();
  TArgbImage image;
  if (!readImage(name, image)) {
    imageFileName_.clear();
    return;
  }
  imageWidth_ = image.width;
  imageHeight_ = image.height;
  const PixmapSource source(name);
  if (IsPowerOfTwo(image.width) && IsPowerOfTwo(image.height)) {
    pixmaps_.push_back(pixmapOfRows(image, image.width, image.height, 0));
    const TRectF whole = MakeRectF(0, 0, static_cast<float>(image.width), static_cast<float>(image.height));
    pieces_.push_back({whole, whole, 0});
  } else if (image.width == kWideWidth && image.height == kWideHeight) {
    pixmaps_.push_back(pixmapOfRows(image, 1024, 512, 0));
    pixmaps_.push_back(pixmapOfRows(image, 1024, 128, 472));
    pieces_.push_back({MakeRectF(0, 0, 800, 500), MakeRectF(0, 0, 800, 500), 0});
    pieces_.push_back({MakeRectF(0, 28, 800, 128), MakeRectF(0, 500, 800, 600), 1});
  } else {
    reportUnshownSize(name, image);
  }
  imageFileName_ = name;
  update();
}

// The picture is kept by name but draws nothing: the author learns why.
void Background::reportUnshownSize(const WideString& name, const TArgbImage& image) {
  const WideString by = ResourceRequest::current();
  const std::string size = std::to_string(image.width) + " x " + std::to_string(image.height);
  LogError(u"Can't show " + name + u" as a background: it is " + AnsiToWide(size) +
           u", and a background is 800 x 600 or has sides that are powers of two" +
           (by.empty() ? WideString() : u", named by " + by));
}

void Background::drawSelf() {
  for (const Piece& piece : pieces_) drawPiece(piece);
}

void Background::drawPiece(const Piece& piece) {
  TDevice* device = WidgetDevice(this);
  const size_t index = static_cast<size_t>(piece.pixmap);
  TPixmap* pixmap = index < pixmaps_.size() ? pixmaps_[index] : nullptr;
  if (!device || !pixmap || imageWidth_ <= 0 || imageHeight_ <= 0) return;
  const float sx = width() / static_cast<float>(imageWidth_);
  const float sy = height() / static_cast<float>(imageHeight_);
  const TRectF& d = piece.destination;
  const TRectF& s = piece.source;
  const auto pw = static_cast<float>(pixmap->width());
  const auto ph = static_cast<float>(pixmap->height());
  TTextureMatrix matrix;
  matrix.m[0][0] = (s.right - s.left) / pw;
  matrix.m[1][1] = (s.bottom - s.top) / ph;
  matrix.m[2][0] = s.left / pw;
  matrix.m[2][1] = s.top / ph;
  device->SetTextureMatrix(matrix);
  device->SetPixmap(0, pixmap);
  device->SetRenderState(rsFilterLinear);
  device->SetRenderState(rsTextureModulate);
  device->DrawPixmap(pixmap, MakeRectF(d.left * sx, d.top * sy, d.right * sx, d.bottom * sy));
  device->SetTextureMatrix(TTextureMatrix());
}
