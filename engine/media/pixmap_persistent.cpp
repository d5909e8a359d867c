#include "engine/media/pixmap_persistent.h"

#include "core/objects/engine.h"
#include "core/resources/ext_resource_man.h"
#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "platform/device.h"

namespace {
constexpr char16_t kBuiltInMark[] = u"_pixmap";
}

const ClassInfo& TPixmapPersistent::staticClassInfo() {
  using P = TPixmapPersistent;
  static const ClassInfo info = ClassBuilder<P>("TPixmapPersistent")
                                    .property("animated", &P::animated, &P::setAnimated).stored(false)
                                    .property("keyCount", &P::keyCount, &P::setKeyCount).stored(false)
                                    .property("rect", &P::rect, &P::setRect)
                                    .property("margins", &P::margins, &P::setMargins)
                                    .property("offset", &P::offset, &P::setOffset)
                                    .property("fileName", &P::fileName, &P::setFileName)
                                    .property("tile", &P::tile, &P::setTile).defaultValue(0)
                                    .property("src", &P::fileName, &P::setFileName).stored(false)
                                    .property("useDefault", &P::useDefault, &P::setUseDefault).defaultValue(1)
                                    .method("empty", &P::empty)
                                    .method("width", &P::width)
                                    .method("height", &P::height)
                                    .build();
  return info;
}

TResourceMan* MediaManagerFor(const Applet* applet, const WideString& name) {
  if (IsAbsoluteResourceName(name)) {
    SomeEngine* engine = Engine();
    return engine ? engine->externalResourceManager() : nullptr;
  }
  return applet ? applet->resourceManager() : nullptr;
}

void TPixmapPersistent::Create(TObject* owner) {
  inherited::Create(owner);
  useDefault_ = true;
  rect_ = New<TRectPersistent>(this);
  margins_ = New<TRectPersistent>(this);
  offset_ = New<TPointPersistent>(this);
}

void TPixmapPersistent::Destroy() {
  FreeAndNil(offset_);
  FreeAndNil(rect_);
  FreeAndNil(margins_);
  releasePixmap();
  inherited::Destroy();
}

Applet* TPixmapPersistent::ownerApplet() const { return dynamic_cast<Applet*>(owner()); }

TDevice* TPixmapPersistent::device() const {
  Applet* applet = ownerApplet();
  return applet ? applet->device() : nullptr;
}

// ---- the file ---------------------------------------------------------------------------

void TPixmapPersistent::setFileName(const WideString& name) {
  if (name == fileName_) return;
  fileName_ = name;
  releasePixmap();
  loadPixmap(name);
}

void TPixmapPersistent::loadPixmap(const WideString& name) {
  Applet* applet = ownerApplet();
  if (name.empty() || !applet || !applet->cache()) return;
  TResourceMan* manager = nullptr;
  WideString file = name;
  if (size_t mark = name.find(kBuiltInMark); mark != WideString::npos) {
    file = name.substr(0, mark) + u".pixmap";
    SomeEngine* engine = Engine();
    manager = engine ? engine->embeddedResourceManager() : nullptr;
  } else {
    manager = MediaManagerFor(applet, name);
  }
  if (manager) pixmap_ = applet->cache()->getPixmap(manager, file);
}

void TPixmapPersistent::releasePixmap() {
  TPixmap* pixmap = pixmap_;
  pixmap_ = nullptr;
  if (!pixmap) return;
  if (Applet* applet = ownerApplet(); applet && applet->cache()) applet->cache()->releasePixmap(pixmap);
}

// ---- sizes --------------------------------------------------------------------------------

TPixmap* TPixmapPersistent::getPixmap() const {
  if (pixmap_) return pixmap_;
  Applet* applet = useDefault_ ? ownerApplet() : nullptr;
  return applet ? applet->defaultPixmap() : nullptr;
}

bool TPixmapPersistent::empty() const { return (!pixmap_ || pixmap_->width() == 0) && !useDefault_; }

int32_t TPixmapPersistent::width() const {
  TPixmap* pixmap = empty() ? nullptr : getPixmap();
  return pixmap ? pixmap->width() : 0;
}

int32_t TPixmapPersistent::height() const {
  TPixmap* pixmap = empty() ? nullptr : getPixmap();
  return pixmap ? pixmap->height() : 0;
}

// ---- owned values ---------------------------------------------------------------------------

void TPixmapPersistent::Assign(const TPixmapPersistent& source) {
  if (&source == this) return;
  setRect(source.rect());
  setMargins(source.margins());
  setOffset(source.offset());
  setTile(source.tile());
  setUseDefault(source.useDefault());
  setFileName(source.fileName());
}

void TPixmapPersistent::setRect(TRectPersistent* value) {
  if (value && rect_ && value != rect_) rect_->Assign(*value);
}

void TPixmapPersistent::setMargins(TRectPersistent* value) {
  if (value && margins_ && value != margins_) margins_->Assign(*value);
}

// The offset is owned like rect and margins, so it takes the values: holding
// the given object instead would free someone else's object on destruction.
void TPixmapPersistent::setOffset(TPointPersistent* value) {
  if (value && offset_ && value != offset_) offset_->Assign(*value);
}

// ---- drawing --------------------------------------------------------------------------------

void TPixmapPersistent::bind() {
  TDevice* dev = device();
  if (!dev) return;
  TTextureMatrix matrix;
  const float w = static_cast<float>(width());
  const float h = static_cast<float>(height());
  if (rect_->empty() || w <= 0 || h <= 0) {
    bound_ = false;
  } else {
    bound_ = true;
    const TRectF r = rect_->getRect();
    matrix.m[0][0] = (r.right - r.left) / w;
    matrix.m[1][1] = (r.bottom - r.top) / h;
    matrix.m[2][0] = (r.left + offset_->x()) / w;
    matrix.m[2][1] = (r.top + offset_->y()) / h;
  }
  dev->SetTextureMatrix(matrix);
  dev->SetPixmap(0, getPixmap());
  dev->SetRenderState(rsFilterLinear);
  dev->SetRenderState(rsTextureModulate);
}

void TPixmapPersistent::unbind() {
  if (!bound_) return;
  bound_ = false;
  if (TDevice* dev = device()) dev->SetTextureMatrix(TTextureMatrix());
}

void TPixmapPersistent::draw(const TRectF& area) {
  TDevice* dev = device();
  TPixmap* pixmap = empty() ? nullptr : getPixmap();
  if (!dev || !pixmap) return;
  bind();
  const bool plain = margins_->marginEmpty();
  const TRectF margins = margins_->getRect();
  if (!tile_) {
    if (plain) {
      dev->DrawPixmap(pixmap, area);
    } else {
      dev->DrawPixmapNineSlice(pixmap, area, margins);
    }
  } else if (plain) {
    dev->DrawPixmapTiled(pixmap, area);
  } else {
    dev->DrawPixmapNineSliceTiled(pixmap, area, margins);
  }
  unbind();
}
