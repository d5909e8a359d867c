#include "engine/applet/applet_parts.h"

#include "engine/applet/applet.h"
#include "engine/script_engine.h"
#include "platform/device.h"

namespace {
AppletPartsFactory installedFactory = nullptr;
}

void SetAppletPartsFactory(AppletPartsFactory factory) { installedFactory = factory; }

AppletParts* NewAppletParts(Applet* applet) {
  return installedFactory ? installedFactory(applet) : new AppletParts(applet);
}

TFont* AppletParts::createFont(const WideString& family, float size, int32_t style) {
  TDevice* device = applet_->device();
  return device ? device->CreateFont(WideToAnsi(family), size, style) : nullptr;
}

void AppletParts::destroyFont(TFont* font) {
  if (TDevice* device = applet_->device()) device->DestroyFont(font);
}

void AppletParts::destroyPixmap(TPixmap* pixmap) {
  if (TDevice* device = applet_->device()) device->DestroyPixmap(pixmap);
}

void AppletParts::destroyMesh(TMesh* mesh) {
  if (TDevice* device = applet_->device()) device->DestroyMesh(mesh);
}

TScript* AppletParts::createScript(TResourceMan* manager, const WideString& name) {
  TScriptEngine* engine = applet_->scriptEngine();
  return engine ? engine->loadScript(manager, name) : nullptr;
}

void AppletParts::freeScript(TScript* script) {
  // The engine that compiled the script frees it.
  if (script && script->engine()) script->engine()->freeScript(script);
}
