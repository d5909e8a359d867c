#include "engine/scene/mesh.h"

#include <algorithm>
#include <cmath>

#include "core/objects/effect.h"
#include "engine/applet/applet.h"
#include "engine/media/mesh_persistent.h"
#include "engine/media/pixmap_persistent.h"
#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"
#include "platform/device.h"

namespace {
// The time an animation shows: its elapsed time, but a finished run that does
// not loop stays on its end.
float ShownTime(const Effect& effect) {
  if (!effect.running() && !effect.loop() && effect.runningTime() > 0) return effect.runningTime();
  return effect.elapsed();
}

void PlayAnimation(TDevice& device, TMesh* mesh, const TMeshKeyAnimation& animation) {
  const Effect& effect = animation.keyEffect();
  device.DrawMeshFrame(mesh, animation.firstKey(), effect.loop(), animation.lastKey(), animation.keyTime(),
                       ShownTime(effect));
}
}  // namespace

const ClassInfo& Mesh::staticClassInfo() {
  using M = Mesh;
  static const ClassInfo info = ClassBuilder<M>("Mesh")
                                    .property("zTest", &M::zTest, &M::setZTest).defaultValue(1)
                                    .property("pixmap", &M::pixmap, &M::setPixmap)
                                    .property("mesh", &M::mesh, &M::setMesh)
                                    .property("showBounds", &M::showBounds, &M::setShowBounds).defaultValue(0)
                                    .build();
  return info;
}

void Mesh::Create(TObject* owner) {
  // Both load through the applet's cache, and exist before the inherited
  // construction reads into them.
  auto* parent = dynamic_cast<BaseObject*>(owner);
  BaseObject* applet = parent ? parent->applet() : nullptr;
  pixmap_ = New<TPixmapPersistent>(applet);
  mesh_ = New<TMeshPersistent>(applet);
  setZTest(true);
  inherited::Create(owner);
}

// Children go first: an animation effect among them detaches itself from
// the mesh persistent as it goes.
void Mesh::Destroy() {
  inherited::Destroy();
  FreeAndNil(pixmap_);
  FreeAndNil(mesh_);
}

void Mesh::drawSelf() {
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device || !mesh_->getMesh()) return;
  pixmap_->bind();
  device->SetRenderState(rsFilterLinear);
  device->SetRenderState(rsTextureModulate);
  drawFrames();
  pixmap_->unbind();
  if (showBounds_) DrawSolidBox(*this, getBoundingBox());
}

void Mesh::drawFrames() {
  TDevice& device = *ownerApplet()->device();
  TMesh* mesh = mesh_->getMesh();
  const TMeshKeyAnimation* animation = mesh_->animation();
  if (mesh->animated && animation && animation->keyEffect().running()) {
    PlayAnimation(device, mesh, *animation);
  } else if (mesh_->animated() && mesh_->key() != 0) {
    // The key frame alone: frames of a second each, shown at the key's
    // second. The run ends one past the last frame because the frame rule
    // shows a run's end from its last second on; so the key shows itself.
    device.DrawMeshFrame(mesh, 0, false, mesh_->keyCount() + 1, 1, static_cast<float>(mesh_->key()));
  } else if (mesh->animated && animation) {
    PlayAnimation(device, mesh, *animation);
  } else {
    device.DrawMesh(mesh);
  }
}

TBoundBoxF Mesh::getBoundingBox() {
  TMesh* mesh = mesh_->getMesh();
  return mesh ? mesh->boundBox : TBoundBoxF{};
}

void Mesh::createBody() {
  inherited::createBody();
  TMesh* mesh = mesh_->getMesh();
  if (!mesh) return;
  const TBoundBoxF& box = mesh->boundBox;
  const auto across = [](float low, float high) { return 2 * std::max(std::fabs(low), std::fabs(high)); };
  const TVector4F size = MakeVector4F(across(box.min.x, box.max.x), across(box.min.y, box.max.y),
                                      across(box.min.z, box.max.z), 0);
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateBoxBody, size);
}

void Mesh::destroyBody() { RemoveShapeBody(*this, body_); }
