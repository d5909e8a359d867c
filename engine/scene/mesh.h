#pragma once
// `Mesh`: a loaded mesh drawn with its pixmap, as a still mesh, as the key
// frame its persistent names, or as the frames an attached animation effect
// plays (a finished animation keeps its last frame). It takes part in physics
// as the box around its mesh, once a mesh is loaded.
#include "engine/scene/position_object.h"

class TMeshPersistent;
class TPixmapPersistent;

class Mesh : public PositionObject {
  Q_OBJECT(Mesh, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void drawSelf() override;
  // The loaded mesh's own box; a point without a mesh.
  TBoundBoxF getBoundingBox() override;
  void createBody() override;
  void destroyBody() override;

  // Both are filled property by property from object files; assigning one
  // does nothing.
  TPixmapPersistent* pixmap() const { return pixmap_; }
  void setPixmap(TPixmapPersistent*) {}
  TMeshPersistent* mesh() const { return mesh_; }
  void setMesh(TMeshPersistent*) {}
  bool showBounds() const { return showBounds_; }
  void setShowBounds(bool value) { showBounds_ = value; }

 private:
  void drawFrames();

  TPixmapPersistent* pixmap_ = nullptr;
  TMeshPersistent* mesh_ = nullptr;
  bool showBounds_ = false;
};
