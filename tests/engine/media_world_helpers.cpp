#include <cstdlib>

#include "core/objects/class_registry.h"
#include "engine/applet/applet.h"
#include "engine/media/material.h"
#include "engine/media/pixmap_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "engine/registration.h"
#include "platform/device.h"
#include "tests/engine/media_world.h"

namespace {
MediaMakers* activeMakers = nullptr;

std::string BaseName(const WideString& name) {
  std::string text = WideToUtf8(name);
  const size_t dot = text.rfind('.');
  return dot == std::string::npos ? text : text.substr(0, dot);
}

class MediaTestParts : public GameParts {
 public:
  using GameParts::GameParts;

  TPixmap* createPixmap(TResourceMan* manager, const WideString& name) override {
    if (!activeMakers) return nullptr;
    activeMakers->pixmapRequests.push_back({manager, WideToUtf8(name)});
    auto recipe = activeMakers->pixmaps.find(BaseName(name));
    TDevice* device = applet()->device();
    if (recipe == activeMakers->pixmaps.end() || !device) return nullptr;
    const MediaMakers::PixmapRecipe& r = recipe->second;
    TPixmap* pixmap = device->CreatePixmap(r.width, r.height);
    uint32_t* bits = nullptr;
    int32_t pitch = 0;
    if (pixmap && device->LockPixmapRectARGB(pixmap, {0, 0, r.width, r.height}, false, bits, pitch)) {
      for (int y = 0; y < r.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(bits) + static_cast<ptrdiff_t>(y) * pitch);
        for (int x = 0; x < r.width; ++x) row[x] = r.pixel(x, y);
      }
      device->UnlockPixmap(pixmap);
    }
    return pixmap;
  }

  TMesh* createMesh(TResourceMan* manager, const WideString& name) override {
    if (!activeMakers) return nullptr;
    activeMakers->meshRequests.push_back({manager, WideToUtf8(name)});
    TDevice* device = applet()->device();
    auto maker = activeMakers->meshMakers.find(BaseName(name));
    if (maker != activeMakers->meshMakers.end() && device) return maker->second(*device);
    auto frames = activeMakers->meshes.find(BaseName(name));
    if (frames == activeMakers->meshes.end() || !device) return nullptr;
    return device->CreateMesh(vfP, 3, false, 0, false, frames->second > 1, frames->second);
  }
};
}  // namespace

MediaPartsScope::MediaPartsScope(MediaMakers& makers) {
  RegisterAllClasses();
  RegisterClass(MediaPaint::staticClassInfo());
  activeMakers = &makers;
  SetAppletPartsFactory([](Applet* applet) -> AppletParts* { return new MediaTestParts(applet); });
}

MediaPartsScope::~MediaPartsScope() {
  SetAppletPartsFactory(NewGameParts);
  activeMakers = nullptr;
}

const ClassInfo& MediaPaint::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<MediaPaint>("MediaPaint").build();
  return info;
}

void MediaPaint::Destroy() {
  FreeAndNil(pixmap);
  inherited::Destroy();
}

TPixmapPersistent* MediaPaint::usePixmap() {
  FreeAndNil(pixmap);
  pixmap = New<TPixmapPersistent>(applet());
  return pixmap;
}

TPixmapPersistent* MediaPaint::useSkinPixmap() {
  FreeAndNil(pixmap);
  pixmap = New<TSkinPixmapPersistent>(applet());
  return pixmap;
}

void MediaPaint::drawSelf() {
  Applet* owner = ownerApplet();
  TDevice* device = owner ? owner->device() : nullptr;
  if (!device || !pixmap) return;
  device->SetRenderState(rs2D);
  device->SetRenderState(rsLightOff);
  device->SetRenderState(rsDepthTestOff);
  device->SetRenderState(rsDepthWriteOff);
  device->SetRenderState(rsFilterNearest);
  ApplyObjectMaterial(*this);
  pixmap->draw(area);
}

MediaPaint* AddPaint(Applet* applet, const TRectF& area) {
  auto* paint = New<MediaPaint>(applet);
  paint->setMaterial(u"gui");
  paint->area = area;
  return paint;
}

Frame RenderFrame(Applet* applet) {
  Frame frame;
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return frame;
  frame.width = device->windowWidth();
  frame.height = device->windowHeight();
  frame.pixels.assign(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height), 0);
  if (!device->RenderToARGB(frame.pixels.data())) frame.pixels.clear();
  return frame;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {  // red, green and blue
    const int ca = static_cast<int>((a >> shift) & 0xFF);
    const int cb = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}
