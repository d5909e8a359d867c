#include "engine/applet/applet_services_impl.h"

#include "core/objects/applet_services.h"
#include "core/resources/stream.h"
#include "core/streams/object_file_seams.h"
#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "engine/event.h"
#include "engine/script_engine.h"
#include "platform/device.h"

namespace {
Applet* AsApplet(BaseObject* applet) { return dynamic_cast<Applet*>(applet); }

class EngineAppletServices : public AppletServices {
 public:
  void runHandler(BaseObject* applet, BaseObject* self, const WideString& script) override {
    runNamedHandler(applet, self, script, {});
  }
  void runNamedHandler(BaseObject* applet, BaseObject* self, const WideString& script,
                       std::string_view handler) override {
    Applet* a = AsApplet(applet);
    if (!a || !a->scriptEngine()) return;
    Event* event = a->event();
    const double start = a->debugInfo() ? a->currentTime() : 0.0;
    if (event) event->pushThis(self);
    a->scriptEngine()->evaluateHandler(script, HandlerLabel(self, script, handler));
    // The handler may have ended the applet's services; look them up again.
    if (a->event()) a->event()->popThis();
    if (a->debugInfo()) a->addScriptTime(static_cast<float>(a->currentTime() - start));
  }
  bool isService(BaseObject* applet, const BaseObject* object) override {
    Applet* a = AsApplet(applet);
    return a && a->ownsAsService(object);
  }
  void scheduleFree(BaseObject* applet, BaseObject* object, double delay) override {
    if (Applet* a = AsApplet(applet); a && a->event()) a->event()->scheduleAction(object, 2, static_cast<float>(delay));
  }
  bool hasScriptEngine(BaseObject* applet) override {
    Applet* a = AsApplet(applet);
    return a && a->scriptEngine();
  }
  void exportObject(BaseObject* applet, BaseObject* object) override {
    if (Applet* a = AsApplet(applet); a && a->scriptEngine()) {
      a->scriptEngine()->exportObject(object->name(), AnsiToWide(object->className()), object);
    }
  }
  void removeExport(BaseObject* applet, BaseObject* object) override {
    if (Applet* a = AsApplet(applet); a && a->scriptEngine()) a->scriptEngine()->removeObject(object);
  }
  void* acquireFileEntry(BaseObject* applet, const WideString& fileName) override {
    Applet* a = AsApplet(applet);
    if (!a || !a->cache() || !a->resourceManager()) return nullptr;
    return a->cache()->getScript(a->resourceManager(), fileName);
  }
  void releaseFileEntry(BaseObject* applet, void* entry) override {
    if (Applet* a = AsApplet(applet); a && a->cache()) a->cache()->releaseScript(static_cast<TScript*>(entry));
  }
  void dropFileEntries(BaseObject* applet, const WideString& fileName) override {
    Applet* a = AsApplet(applet);
    if (a && a->cache() && a->resourceManager()) a->cache()->releaseFileStreams(a->resourceManager(), fileName);
  }
  TResourceMan* resourceManager(BaseObject* applet) override {
    Applet* a = AsApplet(applet);
    return a ? a->resourceManager() : nullptr;
  }
  void requestUpdate(BaseObject* applet) override {
    if (Applet* a = AsApplet(applet)) a->requestRedraw();
  }
  int appendSearchResult(BaseObject* applet, BaseObject* found) override {
    Applet* a = AsApplet(applet);
    return a && a->event() ? a->event()->appendParam(found) : 0;
  }
  void clearSearchResults(BaseObject* applet) override {
    if (Applet* a = AsApplet(applet); a && a->event()) a->event()->clearParamList();
  }
  WideString exchangeCustomText(BaseObject* applet, const WideString& text) override {
    Applet* a = AsApplet(applet);
    return a && a->event() ? a->event()->exchangeCustomText(text) : WideString();
  }
  bool effectInScript(BaseObject* applet) override {
    Applet* a = AsApplet(applet);
    return a && a->effectInScript();
  }
  bool isTerminated(BaseObject* applet) override {
    Applet* a = AsApplet(applet);
    return !a || a->terminated();
  }
  bool isPaused(BaseObject* applet) override {
    Applet* a = AsApplet(applet);
    return a && a->paused();
  }
  int runStep(BaseObject* applet) override {
    Applet* a = AsApplet(applet);
    return a ? a->runStep() : 0;
  }
  void showInspector(BaseObject* applet, BaseObject* object) override {
    if (Applet* a = AsApplet(applet); a && a->parts()) a->parts()->showInspector(object);
  }
  void storeObject(BaseObject* applet, BaseObject* object, const WideString& fileName) override {
    if (Applet* a = AsApplet(applet)) a->storeObject(object, fileName);
  }
  TStream* cachedObjectImage(BaseObject* applet, TResourceMan* manager, const WideString& name) override {
    Applet* a = AsApplet(applet);
    if (!a || !a->cache()) return nullptr;
    TStream* shared = a->cache()->getStream(manager, name);
    if (!shared) return nullptr;
    // The reader gets its own stream over a copy of the shared image.
    auto* copy = new TMemoryStream();
    const int64_t at = shared->Position();
    shared->SetPosition(0);
    copy->CopyFrom(*shared, shared->Size());
    shared->SetPosition(at);
    copy->SetPosition(0);
    // The use stays counted until the object goes (dropFileEntries).
    return copy;
  }
  void cacheObjectImage(BaseObject* applet, TResourceMan* manager, const WideString& name,
                        const std::vector<uint8_t>& image) override {
    Applet* a = AsApplet(applet);
    if (!a || !a->cache()) return;
    TMemoryStream stream(image);
    a->cache()->putStream(manager, name, &stream);
  }
};

bool RootHasDevice(BaseObject* root) {
  Applet* a = AsApplet(root);
  return a && a->device();
}
}  // namespace

void InstallAppletServices() {
  static EngineAppletServices services;
  SetAppletServices(&services);
  AppletHasDeviceHook = RootHasDevice;
}
