#include "core/core_registration.h"

#include "core/class_registry.h"
#include "core/coordinates.h"
#include "core/effect.h"
#include "core/engine.h"
#include "core/item.h"
#include "core/object_file.h"
#include "core/proxy_object.h"
#include "core/resource_man_registration.h"
#include "core/script_object.h"

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
