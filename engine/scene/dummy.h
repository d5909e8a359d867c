#pragma once
// A plain grouping node with a place of its own: what it holds is drawn and
// moved with it (the applet's top layer and cursor are dummies). It also
// stands in for every class an object file names that the program does not
// know, so the rest of the tree still loads. Once it holds a GUI object it
// lays its GUI children out over the applet's whole client area.
#include "engine/scene/position_object.h"

class Dummy : public PositionObject {
  Q_OBJECT(Dummy, PositionObject)

 public:
  // Culling never draws a dummy itself; its children are tested one by one.
  bool passesCulling() override { return false; }
  void addChild(BaseObject* child) override;
  void invalidateTransform() override;

  // Lays the GUI children out over the applet's visible area, against the
  // applet's previous size; only for a GUI holder of an applet with a window.
  void realignChildren();
  bool guiHolder() const { return guiHolder_; }

 private:
  bool guiHolder_ = false;
};
