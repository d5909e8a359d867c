#include "engine/media/mesh_persistent.h"

#include <algorithm>

#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "engine/media/pixmap_persistent.h"
#include "platform/mesh.h"

const ClassInfo& TMeshPersistent::staticClassInfo() {
  using M = TMeshPersistent;
  static const ClassInfo info = ClassBuilder<M>("TMeshPersistent")
                                    .property("animated", &M::animated, &M::setAnimated).stored(false)
                                    .property("keyCount", &M::keyCount, &M::setKeyCount).stored(false)
                                    .property("key", &M::key, &M::setKey)
                                    .property("fileName", &M::fileName, &M::setFileName)
                                    .property("src", &M::fileName, &M::setFileName).stored(false)
                                    .method("empty", &M::empty)
                                    .build();
  return info;
}

void TMeshPersistent::Destroy() {
  releaseMesh();
  inherited::Destroy();
}

Applet* TMeshPersistent::ownerApplet() const { return dynamic_cast<Applet*>(owner()); }

bool TMeshPersistent::animated() const { return mesh_ && mesh_->animated; }

int32_t TMeshPersistent::keyCount() const { return mesh_ ? std::max(mesh_->frameCount - 1, 0) : 0; }

void TMeshPersistent::setKey(int32_t value) {
  if (value == key_) return;
  key_ = std::clamp(value, 0, keyCount());
}

void TMeshPersistent::setFileName(const WideString& name) {
  if (name == fileName_) return;
  fileName_ = name;
  releaseMesh();
  Applet* applet = ownerApplet();
  TResourceMan* manager = name.empty() ? nullptr : MediaManagerFor(applet, name);
  if (manager && applet->cache()) mesh_ = applet->cache()->getMesh(manager, name);
  if (onChange_) onChange_(this);
}

void TMeshPersistent::releaseMesh() {
  TMesh* mesh = mesh_;
  mesh_ = nullptr;
  if (!mesh) return;
  if (Applet* applet = ownerApplet(); applet && applet->cache()) applet->cache()->releaseMesh(mesh);
}
