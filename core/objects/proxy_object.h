#pragma once
// `ProxyObject`: a placeholder in an object file. Naming its file (`src`)
// loads that file as a sibling, puts the loaded object where the proxy stood
// among its parent's children and disposes the proxy.
#include "core/objects/base_object.h"

class ProxyObject : public BaseObject {
  Q_OBJECT(ProxyObject, BaseObject)

 public:
  // The proxy flag is a field default, so data read while the object is
  // still being constructed already loads in the proxy's way.
  ProxyObject() { setProxy(true); }
};
