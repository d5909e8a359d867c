#include "core/objects/applet_services.h"

namespace {
AppletServices* installed = nullptr;
}

AppletServices* GetAppletServices() { return installed; }
void SetAppletServices(AppletServices* services) { installed = services; }
