#include "core/resources/resource_man_registration.h"

#include "core/objects/class_registry.h"
#include "core/objects/engine.h"
#include "core/resources/embedded_res_man.h"
#include "core/resources/ext_resource_man.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/virtual_file_system_res_man.h"

void RegisterResourceManagers() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({&TResourceMan::staticClassInfo(), &TFolderResourceMan::staticClassInfo(),
                   &TExtResourceMan::staticClassInfo(), &TEmbeddedResMan::staticClassInfo(),
                   &TVirtualFileSystemResMan::staticClassInfo()});
  EmbeddedResManClass = &TEmbeddedResMan::staticClassInfo();
  ArchiveResManClass = &TVirtualFileSystemResMan::staticClassInfo();
}
