#include "core/resource_man_registration.h"

#include "core/class_registry.h"
#include "core/embedded_res_man.h"
#include "core/engine.h"
#include "core/ext_resource_man.h"
#include "core/folder_resource_man.h"
#include "core/virtual_file_system_res_man.h"

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
