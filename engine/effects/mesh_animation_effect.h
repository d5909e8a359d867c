#pragma once
// `MeshAnimationEffect`: plays the key frames key1 to key2 of its owner's
// mesh (the owner's published "Mesh"), keyTime seconds a frame. While it runs
// it is attached to the mesh persistent, and the mesh object draws the frame
// of the effect's time; the step itself only asks the owner for a redraw.
#include <cstdint>

#include "core/objects/effect.h"
#include "engine/media/mesh_persistent.h"

class MeshAnimationEffect : public Effect, public TMeshKeyAnimation {
  Q_OBJECT(MeshAnimationEffect, Effect)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void Loaded() override;
  void setParent(BaseObject* parent) override;
  void setRunning(bool value) override;
  void apply(double time, double step) override;

  // ---- what the mesh object plays ------------------------------------------------
  const Effect& keyEffect() const override { return *this; }
  int32_t firstKey() const override { return key1_; }
  int32_t lastKey() const override { return key2_; }
  float keyTime() const override { return keyTime_; }

  TMeshPersistent* target() const { return target_; }
  int32_t key1() const { return key1_; }
  void setKey1(int32_t value) { key1_ = value; }
  int32_t key2() const { return key2_; }
  void setKey2(int32_t value) { key2_ = value; }
  void setKeyTime(float value) { keyTime_ = value; }
  float keyPerSecond() const;
  void setKeyPerSecond(float value);

 private:
  void attach();
  // Takes the link back only where it is this effect's own.
  void detach();

  int32_t key2_ = 0;
  int32_t key1_ = 0;
  TMeshPersistent* target_ = nullptr;
  float keyTime_ = 0.1f;
};
