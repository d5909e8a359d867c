#include "core/objects/script_object.h"

#include "core/resources/resource_request.h"

#include "core/objects/applet_services.h"

const ClassInfo& Script::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Script>("Script").build();
  return info;
}

void Script::Loaded() {
  inherited::Loaded();
  if (fileName().empty() || scriptEntry_ || !applet()) return;
  if (AppletServices* services = GetAppletServices()) {
    ResourceRequest request(this, "fileName");
    scriptEntry_ = services->acquireFileEntry(applet(), fileName());
  }
}

void Script::Destroy() {
  if (scriptEntry_ && applet()) {
    if (AppletServices* services = GetAppletServices()) services->releaseFileEntry(applet(), scriptEntry_);
  }
  scriptEntry_ = nullptr;
  inherited::Destroy();
}
