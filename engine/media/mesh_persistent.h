#pragma once
// A mesh that a scene object names by file, loaded through the applet's
// cache, with the frame (`key`) an animated mesh shows.
#include <cstdint>
#include <functional>

#include "core/objects/component.h"

class Applet;
class Effect;
class TMesh;

// An effect that plays a run of the mesh's key frames attaches itself to the
// mesh persistent it animates; the mesh object draws the frame of its time.
class TMeshKeyAnimation {
 public:
  virtual ~TMeshKeyAnimation() = default;
  // The effect's timing: running, loop, elapsed and running time.
  virtual const Effect& keyEffect() const = 0;
  virtual int32_t firstKey() const = 0;
  virtual int32_t lastKey() const = 0;
  // Seconds a key frame.
  virtual float keyTime() const = 0;
};

class TMeshPersistent : public TSomePersistent {
  Q_OBJECT(TMeshPersistent, TSomePersistent)

 public:
  using ChangeProc = std::function<void(TMeshPersistent* mesh)>;

  void Destroy() override;

  // Called with the persistent after its file name changed (and the mesh
  // was loaded).
  void setOnChange(ChangeProc proc) { onChange_ = std::move(proc); }

  TMesh* getMesh() const { return mesh_; }
  bool empty() const { return mesh_ == nullptr; }
  bool animated() const;
  // The last frame's index: frames - 1, 0 without a mesh.
  int32_t keyCount() const;
  int32_t key() const { return key_; }
  // Kept within 0..keyCount.
  void setKey(int32_t value);

  // The animation attached to the mesh, or nil; the animation detaches
  // itself before it goes.
  TMeshKeyAnimation* animation() const { return animation_; }
  void setAnimation(TMeshKeyAnimation* animation) { animation_ = animation; }

  const WideString& fileName() const { return fileName_; }
  // Loads the named mesh through the cache (a name with ":" through the
  // engine's external manager, else the applet's own); the same text again
  // loads nothing.
  void setFileName(const WideString& name);

 private:
  Applet* ownerApplet() const;
  void releaseMesh();
  void setAnimated(bool) {}
  void setKeyCount(int32_t) {}

  WideString fileName_;
  TMesh* mesh_ = nullptr;
  ChangeProc onChange_;
  int32_t key_ = 0;
  TMeshKeyAnimation* animation_ = nullptr;
};
