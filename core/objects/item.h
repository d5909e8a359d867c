#pragma once
// `Item`: a plain node of the tree with nothing of its own, and the walk up
// the tree to the mission an object belongs to.
#include "core/objects/base_object.h"

class Item : public BaseObject {
  Q_OBJECT(Item, BaseObject)
};

// The object itself or its nearest ancestor that is a `Mission`, or nil. The
// mission class lives in the scene layer, so it is found by name.
BaseObject* FindEnclosingMission(BaseObject* object);
