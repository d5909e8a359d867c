#include "core/core_registration.h"

#include "core/geometry/coordinates.h"
#include "core/objects/class_registry.h"
#include "core/objects/effect.h"
#include "core/objects/engine.h"
#include "core/objects/item.h"
#include "core/objects/proxy_object.h"
#include "core/objects/script_object.h"
#include "core/resources/resource_man_registration.h"
#include "core/streams/object_file.h"

void RegisterCoreClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({&BaseObject::staticClassInfo(), &Effect::staticClassInfo(), &SomeEngine::staticClassInfo()});
  RegisterClasses({&Script::staticClassInfo(), &ProxyObject::staticClassInfo(), &Item::staticClassInfo()});
  RegisterClasses({&TSpaceCoord::staticClassInfo(), &TPlaneCoord::staticClassInfo(),
                   &TPointPersistent::staticClassInfo(), &TRectPersistent::staticClassInfo()});
  RegisterResourceManagers();
  RegisterObjectFiles();
}
