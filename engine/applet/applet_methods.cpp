// The applet's published factory and utility methods: objects from files and
// class names, storing and compiling object files, screenshots, waits, and
// the messages, fades and particles the top layer serves.
#include <algorithm>

#include "compat/win32/system.h"
#include "core/objects/class_registry.h"
#include "core/objects/effect.h"
#include "core/objects/engine.h"
#include "core/resources/ext_resource_man.h"
#include "core/streams/object_file.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/applet/applet_numbers.h"
#include "engine/cache/cache.h"
#include "engine/script_engine.h"
#include "platform/platform.h"

namespace {
// Names an unnamed object after its class and identity and makes it a
// script global of that name.
void NameAndExport(Applet* applet, BaseObject* object, bool logIt) {
  if (object->name().empty()) {
    object->SetName(AnsiToWide(object->className()) + DecimalText(reinterpret_cast<intptr_t>(object)));
  }
  if (TScriptEngine* engine = applet->scriptEngine()) {
    engine->exportObject(object->name(), AnsiToWide(object->className()), object);
  }
  if (logIt) LogInfo(u"Resiter variable " + object->name() + u" " + AnsiToWide(object->className()));
}

bool IsUsable(BaseObject* object) { return object && !object->isDisposed(); }

// Points the engine's external manager at the program's folder and makes it
// the applet's manager; both come back when the scope ends, also when the
// load in between fails.
class ProgramFolderScope {
 public:
  ProgramFolderScope(TExtResourceMan& external, TResourceMan*& appletManager)
      : external_(external), appletManager_(appletManager), savedRoot_(external.root()), savedManager_(appletManager) {
    external_.setRoot(ExtractFilePath(GetProgramFileName()));
    appletManager_ = &external_;
    // The program's folder is no place for binary twins.
    savedNoBinaryCache_ = NoBinaryCache;
    NoBinaryCache = true;
  }
  ~ProgramFolderScope() {
    NoBinaryCache = savedNoBinaryCache_;
    appletManager_ = savedManager_;
    external_.setRoot(savedRoot_);
  }
  ProgramFolderScope(const ProgramFolderScope&) = delete;
  ProgramFolderScope& operator=(const ProgramFolderScope&) = delete;

 private:
  TExtResourceMan& external_;
  TResourceMan*& appletManager_;
  std::string savedRoot_;
  TResourceMan* savedManager_;
  bool savedNoBinaryCache_ = false;
};
}  // namespace

BaseObject* Applet::newFromFile(const WideString& fileName, BaseObject* parent) {
  BaseObject* result = NewObjectFromFile(fileName, parent ? parent : this, false, nullptr);
  if (!IsUsable(result)) return result;
  NameAndExport(this, result, true);
  if (result->designTime()) {
    result->deleteChildren();
    result->removeExternal();
    result->setDesignTime(false);
    result->setFileNameQuiet(WideString());
    result->setFileNameQuiet(fileName);
    result->setDesignTime(true);
  }
  return result;
}

BaseObject* Applet::newFromCache(const WideString& fileName, BaseObject* parent) {
  BaseObject* result = NewObjectFromFile(fileName, parent ? parent : this, true, nullptr);
  if (!IsUsable(result)) return result;
  if (result->name().empty()) NameAndExport(this, result, false);
  if (result->designTime()) result->removeExternal();
  return result;
}

BaseObject* Applet::newFromExtFile(const WideString& fileName, BaseObject* parent) {
  SomeEngine* engine = Engine();
  TExtResourceMan* external = engine ? engine->externalResourceManager() : nullptr;
  if (!external) return nullptr;
  BaseObject* result = nullptr;
  {
    ProgramFolderScope scope(*external, resourceManager_);
    result = NewObjectFromFile(fileName, parent ? parent : this, false, external);
  }
  if (IsUsable(result)) NameAndExport(this, result, true);
  return result;
}

BaseObject* Applet::newObject(const WideString& className, BaseObject* parent) {
  BaseObject* result = CreateObjectByClassName(WideToAnsi(className), parent ? parent : this);
  if (IsUsable(result) && result->name().empty()) NameAndExport(this, result, false);
  return result;
}

BaseObject* Applet::startMission(const WideString& fileName, BaseObject* parent) {
  BaseObject* result = newFromFile(fileName, parent);
  const ClassInfo* mission = GetClass("Mission");
  if (IsUsable(result) && mission && result->inheritsFrom(*mission)) {
    if (const MethodInfo* start = result->classInfo().findMethod("start")) start->invoke(result, {});
  }
  return result;
}

BaseObject* Applet::editMission(const WideString& fileName, BaseObject* parent) {
  BaseObject* result = newFromFile(fileName, parent);
  if (IsUsable(result)) result->setDesignTime(true);
  return result;
}

bool Applet::storeObject(BaseObject* object, const WideString& fileName) {
  if (!object) return false;
  if (cache_ && resourceManager_) cache_->releaseFileStreams(resourceManager_, fileName);
  TResourceMan* manager = resourceManager_;
  if (IsAbsoluteResourceName(fileName)) {
    if (SomeEngine* engine = Engine()) manager = engine->externalResourceManager();
    LogInfo(u"Use external resource for file " + fileName);
  }
  return StoreObjectFile(manager, fileName, object);
}

void Applet::createBin(const WideString& fileName) { CompileObjectFile(resourceManager_, fileName); }

void Applet::makepng(const WideString& fileName) {
  if (platform() && window_) platform()->MakePng(window_, WideToAnsi(fileName));
}

void Applet::openUrl(const WideString& url) {
  if (platform()) platform()->openUrl(url);
}

void Applet::sleep(float seconds) {
  Effect* waiter = New<Effect>(this);
  waiter->setRunningTime(seconds);
  waiter->setLoop(false);
  waiter->setRunning(true);
  waiter->waitUntilStopped();
  // The wait ends early when the applet terminates; the effect may be gone then.
  if (BaseObject::isLive(waiter)) waiter->dispose();
}

void Applet::showMessage(const WideString& text) { parts_->showMessage(text); }

void Applet::fadeScreenToColor(const WideString& color, float seconds) {
  parts_->fadeScreenToColor(color, seconds, false);
}

void Applet::fadeScreenToColorWait(const WideString& color, float seconds) {
  parts_->fadeScreenToColor(color, seconds, true);
}

void Applet::hideScreen(float seconds) { parts_->hideScreen(seconds, false); }
void Applet::hideScreenWait(float seconds) { parts_->hideScreen(seconds, true); }
void Applet::killParticles() { parts_->killParticles(); }

BaseObject* Applet::findMaterial(const WideString& name) { return parts_ ? parts_->findMaterial(name) : nullptr; }

BaseObject* Applet::defaultSkin() const { return parts_ ? parts_->defaultSkin() : nullptr; }
