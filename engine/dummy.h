#pragma once
// A plain grouping node. It also stands in for every class an object file
// names that the program does not know, so the rest of the tree still loads.
#include "core/base_object.h"

class Dummy : public BaseObject {
  Q_OBJECT(Dummy, BaseObject)
};
