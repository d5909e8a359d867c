#include "engine/applet_parts.h"

namespace {
AppletPartsFactory installedFactory = nullptr;
}

void SetAppletPartsFactory(AppletPartsFactory factory) { installedFactory = factory; }

AppletParts* NewAppletParts() { return installedFactory ? installedFactory() : new AppletParts(); }
