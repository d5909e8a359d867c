#include "engine/effects/mesh_animation_effect.h"

#include "engine/effects/pixmap_animation_effect.h"

const ClassInfo& MeshAnimationEffect::staticClassInfo() {
  using M = MeshAnimationEffect;
  static const ClassInfo info = ClassBuilder<M>("MeshAnimationEffect")
                                    .property("key1", &M::key1, &M::setKey1).defaultValue(0)
                                    .property("key2", &M::key2, &M::setKey2).defaultValue(0)
                                    .property("keyTime", &M::keyTime, &M::setKeyTime).floatDefault(0.1f)
                                    // keyTime holds the value in files.
                                    .property("keyPerSecond", &M::keyPerSecond, &M::setKeyPerSecond).stored(false)
                                    .build();
  return info;
}

void MeshAnimationEffect::Create(TObject* owner) {
  keyTime_ = 0.1f;
  inherited::Create(owner);
}

void MeshAnimationEffect::Destroy() {
  detach();
  target_ = nullptr;
  inherited::Destroy();
}

void MeshAnimationEffect::Loaded() {
  inherited::Loaded();
  detach();
  target_ = PublishedPart<TMeshPersistent>(parent(), "Mesh");
  if (!target_ || !running()) return;
  attach();
  setRunningTime(static_cast<float>(int64_t{key2_} - key1_) * keyTime_);
}

// The mesh persistent is the owner's: leaving the owner leaves the mesh.
void MeshAnimationEffect::setParent(BaseObject* parent) {
  if (parent != this->parent()) {
    detach();
    target_ = nullptr;
  }
  inherited::setParent(parent);
}

void MeshAnimationEffect::setRunning(bool value) {
  if (value && target_) attach();
  inherited::setRunning(value);
}

void MeshAnimationEffect::apply(double time, double step) {
  inherited::apply(time, step);
  if (target_) UpdateVisualOwner(*this);
}

float MeshAnimationEffect::keyPerSecond() const { return InverseOrZero(keyTime_); }

void MeshAnimationEffect::setKeyPerSecond(float value) { keyTime_ = InverseOrZero(value); }

void MeshAnimationEffect::attach() {
  if (target_) target_->setAnimation(this);
}

void MeshAnimationEffect::detach() {
  if (target_ && target_->animation() == this) target_->setAnimation(nullptr);
}
