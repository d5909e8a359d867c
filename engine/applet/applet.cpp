// The applet's published description, its construction in nine steps, the
// loading of its own object file (afterLoad), storing and destruction.
#include "engine/applet/applet.h"

#include "compat/win32/system.h"
#include "core/geometry/coordinates.h"
#include "core/objects/engine.h"
#include "core/resources/ext_resource_man.h"
#include "core/resources/player_data_folder.h"
#include "core/resources/write_places.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet_numbers.h"
#include "engine/applet/language_table.h"
#include "engine/cache/cache.h"
#include "engine/event.h"
#include "engine/physics/dynamic_engine.h"
#include "engine/scene/dummy.h"
#include "engine/script_engine.h"
#include "platform/device.h"
#include "platform/device_registry.h"
#include "platform/platform.h"
#include "platform/win32/window.h"

Q_DEFINE_ENUM(TWindowStyle, "systemStyle", "maskStyle", "layerStyle")
Q_DEFINE_ENUM(TWindowPlace, "normalPlace", "topMost", "desktopPlace")

void (*AlignChildrenHook)(BaseObject* holder, float& previousWidth, float& previousHeight, const TRectF& area) =
    [](BaseObject*, float&, float&, const TRectF&) {};

Applet* AppletOf(const BaseObject* object) { return object ? dynamic_cast<Applet*>(object->applet()) : nullptr; }

const ClassInfo& Applet::staticClassInfo() {
  using A = Applet;
  static const ClassInfo info =
      ClassBuilder<A>("Applet")
          .property("usesList", &A::usesList_, &A::setUsesList)
          .readOnly("terminated", &A::terminated).stored(false)
          .property("pause", &A::paused, &A::setPause).stored(false)
          .property("deltaTime", &A::deltaTime_).stored(false)
          .property("time", &A::time, &A::setTime).stored(false)
          .property("lang", &A::lang, &A::setLang)
          .readOnly("defaultPixmap", &A::defaultPixmap).stored(false)
          .readOnly("defaultSkin", &A::defaultSkin).stored(false)
          .readOnly("deviceCount", &A::deviceCount).stored(false)
          .property("deviceIndex", &A::deviceIndex, &A::setDeviceIndex).stored(false)
          .property("deviceName", &A::deviceName_, &A::setDeviceName)
          .property("modelScale", &A::modelScale_)
          .property("consoleEnabled", &A::consoleEnabled_).defaultValue(1)
          .property("effectInScript", &A::effectInScript_).defaultValue(0)
          .property("boundsCulling", &A::boundsCulling_).defaultValue(0)
          .property("debugLevel", &A::debugLevel, &A::setDebugLevel).defaultValue(0)
          .property("debugInfo", &A::debugInfo, &A::setDebugInfoVisible).defaultValue(0)
          .property("debugWireFrame", &A::debugWireFrame_).defaultValue(0)
          .property("debugDynamics", &A::debugDynamics_).defaultValue(0)
          .property("bkColor", &A::bkColorText, &A::setBkColorText)
          .property("lighting", &A::lighting_).defaultValue(0)
          .property("left", &A::left, &A::setLeft)
          .property("top", &A::top, &A::setTop)
          .property("width", &A::width, &A::setWidth)
          .property("height", &A::height, &A::setHeight)
          .property("title", &A::title, &A::setTitle)
          .property("appname", &A::appname_)
          .property("scale", &A::scale, &A::setScale).storedWhen(&A::scaleStored)
          .property("place", &A::place, &A::setPlace).defaultValue(normalPlace)
          .property("cursorFile", &A::cursorFile_)
          .property("cursorSystem", &A::cursorSystem, &A::setCursorSystem).defaultValue(1)
          .property("iconFile", &A::iconFile_)
          .property("style", &A::style, &A::setStyle).defaultValue(systemStyle)
          .property("frameRate", &A::frameRate_).defaultValue(0)
          .property("storePreferenses", &A::storePreferenses_).defaultValue(1)
          .property("maskFile", &A::maskFile_, &A::setMaskFile)
          .property("maskMargin", &A::maskMargin, &A::setMaskMargin)
          .property("autoScale", &A::autoScale, &A::setAutoScale).defaultValue(0)
          .property("autoScaleSizeX", &A::autoScaleSizeX, &A::setAutoScaleSizeX).defaultValue(800)
          .property("autoScaleSizeY", &A::autoScaleSizeY, &A::setAutoScaleSizeY).defaultValue(600)
          .property("fullScreen", &A::fullScreen, &A::setFullScreen).defaultValue(0)
          .property("screenModes", &A::screenModesText, &A::setScreenModesText).stored(false)
          .property("screenModeIndex", &A::screenModeIndex, &A::setScreenModeIndex).stored(false)
          .property("screenMode", &A::screenMode_, &A::setScreenMode)
          .property("onLoad", &A::onLoad_)
          .property("onFree", &A::onFree_)
          .property("onKeyPress", &A::onKeyPress_)
          .property("onMouseWheel", &A::onMouseWheel_)
          .property("onActivate", &A::onActivate_)
          .property("onDeactivate", &A::onDeactivate_)
          .method("terminate", &A::terminate)
          .method("runStep", &A::runStep)
          .method("newFromFile", &A::newFromFile)
          .method("newFromCache", &A::newFromCache)
          .method("newFromExtFile", &A::newFromExtFile)
          .method("new", &A::newObject)
          .method("startMission", &A::startMission)
          .method("editMission", &A::editMission)
          .method("storeObject", &A::storeObject)
          .method("createBin", &A::createBin)
          .method("makepng", &A::makepng)
          .method("openUrl", &A::openUrl)
          .method("sleep", &A::sleep)
          .method("showMessage", &A::showMessage)
          .method("fadeScreenToColor", &A::fadeScreenToColor)
          .method("fadeScreenToColorWait", &A::fadeScreenToColorWait)
          .method("hideScreen", &A::hideScreen)
          .method("hideScreenWait", &A::hideScreenWait)
          .method("killParticles", &A::killParticles)
          .method("hideCursor", &A::hideCursor)
          .method("showCursor", &A::showCursor)
          .method("devices", &A::devices)
          .method("toggleConsole", &A::toggleConsole)
          .method("translate", &A::translate)
          .method("format", &A::format)
          .build();
  return info;
}

// ---- construction -------------------------------------------------------------------

Applet::Applet() = default;
Applet::~Applet() = default;

void Applet::Create(TObject* owner) {
  LogInfo(u"===== Start applet creation ======");
  parts_.reset(NewAppletParts(this));
  languageTable_ = std::make_unique<TLanguageTable>();
  setApplet(this);
  maskMargin_ = New<TRectPersistent>(this);
  previousWidth_ = static_cast<float>(width_);
  previousHeight_ = static_cast<float>(height_);
  startTime_ = platform() ? platform()->GetCurrentTime() : 0.0f;

  if (!createWindowAndDevice()) {
    // The rest of the construction is skipped: the object file is not read
    // into an applet that cannot show it, and the engine takes it out again.
    if (pendingReaderTarget == this) {
      pendingReader = nullptr;
      pendingReaderTarget = nullptr;
    }
    inherited::Create(owner);
    return;
  }
  servicesMade_ = true;
  LogInfo(u"Device was created successful");
  device_->SetCamera(MakeVector4F(0, -150, 0, 1), MakeVector4F(0, -1, 0, 1), MakeVector4F(0, 0, -1, 1));
  LogInfo(u"Camera set");
  createServices();
  loadDefaultResources();

  LogInfo(u"load main object and script");
  setLang(u"english");
  firstChildPending_ = true;
  inherited::Create(owner);  // the pending reader fills the applet here
  LogInfo(u"main object was loaded");
  parts_->loadFonts();
  // A file that gave the applet no children: the first default font would
  // have been its first child.
  if (firstChildPending_) runFirstChildLoad();
  LogInfo(u"Load fonts");
  parts_->loadMaterials();
  LogInfo(u"Load materials");
  repaint();
  if (platform() && window_) platform()->ResizeWindow(window_, -1, -1);
  invalidateTransform();
  LogInfo(u"End of the root object creation");
  runHandler(WideString(onLoad_));
}

bool Applet::createWindowAndDevice() {
  LogInfo(u"Create main window");
  createWindow();
  if (!window_) {
    LogError(u"Can't create main window");
    return false;
  }
  LogInfo(u"Main window created");
  if (!DeviceClasses().empty() && DefaultDeviceIndex() >= 0) {
    LogInfo(u"Create main device");
    setDeviceIndex(DefaultDeviceIndex());
  }
  if (!device_) {
    LogError(u"No suported devices registered");
    return false;
  }
  return true;
}

// A service of the applet: it knows its applet but is no child of the tree.
template <typename T>
T* Applet::newService() {
  T* service = new T();
  service->setApplet(this);
  service->Create(nullptr);
  return service;
}

void Applet::createServices() {
  if (const ClassInfo* engineClass = DefaultScriptEngineClass()) scriptEngine_ = CreateScriptEngine(*engineClass, this);
  if (scriptEngine_) {
    scriptEngine_->setDebugLevel(debugLevel_);
    LogInfo(u"ScriptEngine created");
  }
  cache_ = newService<TCache>();
  cache_->setCreators(parts_.get());
  cache_->setDebugValueSink([this](const WideString& n, const WideString& v) { setDebugValue(n, v); });
  LogInfo(u"Cache created");
  if (parts_->createFilter()) LogInfo(u"Filter created");
  event_ = newService<Event>();
  LogInfo(u"Event created");
  if (parts_->createMaterials()) LogInfo(u"Materials created");
  if (parts_->createPreferences()) LogInfo(u"Prefernces created");
  if (parts_->createScoreTable()) LogInfo(u"Score table created");
}

void Applet::loadDefaultResources() {
  SomeEngine* engine = Engine();
  TResourceMan* builtIn = engine ? engine->embeddedResourceManager() : nullptr;
  if (!defaultPixmap_ && builtIn) {
    defaultPixmap_ = cache_->getPixmap(builtIn, u"defaultskin.pixmap");
    if (defaultPixmap_) LogInfo(u"Default pixmap loaded");
  }
  if (!parts_->defaultSkin() && parts_->loadDefaultSkin()) LogInfo(u"Default skin loaded");
}

void Applet::addChild(BaseObject* child) {
  if (firstChildPending_) runFirstChildLoad();
  inherited::addChild(child);
  if (topLayer_ && child != topLayer_) topLayer_->bringToFront();
}

void Applet::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  // A script may free the top layer or the cursor (deleteChildren, dispose);
  // both are watched.
  if (object == topLayer_) topLayer_ = nullptr;
  if (object == cursor_) cursor_ = nullptr;
}

void Applet::runFirstChildLoad() {
  firstChildPending_ = false;
  LogInfo(u"Applet properties was loaded");
  afterLoad();
}

void Applet::afterLoad() {
  LogInfo(u"Create most top layer");
  createTopLayer();
  LogInfo(u"Set script vars");
  registerScriptNames();
  LogInfo(u"Set extResMan folder");
  if (SomeEngine* engine = Engine(); engine && engine->externalResourceManager()) {
    const std::string dataFolder = GameDataFolder(appname_.empty() ? title_ : appname_);
    engine->externalResourceManager()->setRoot(dataFolder);
    AddWritePlace(dataFolder);
  }
  parts_->showDebugForm(debugInfo_);
  if (style_ == maskStyle && platform() && window_) {
    copyMaskToWindow();
    platform()->ResizeWindow(window_, -1, -1);
  }
  LogInfo(u"Update window");
  updateWindow();
  LogInfo(u"Set icon");
  if (platform() && window_) platform()->SetIcon(window_, iconFile_);
  LogInfo(u"Show window");
  if (platform() && window_) platform()->ShowWindow(window_);
  LogInfo(u"Set device");
  if (!pendingDeviceName_.empty()) {
    WideString name;
    name.swap(pendingDeviceName_);
    applyDeviceName(name);
  }
  LogInfo(u"Load prefernces");
  if (storePreferenses_) loadStoredPreferences();
  updateViewport();
  // The setters below act at once. When the reader is still reading the
  // applet it is loading again afterwards; after a read that gave no child
  // the reader has finished, and the applet stays loaded.
  const bool reading = hasState(csLoading);
  clearComponentState(csLoading);
  applyLoadedSettings();
  LogInfo(u"After load complete");
  if (reading) setComponentState(csLoading);
}

void Applet::createTopLayer() {
  auto* layer = New<Dummy>(this);
  layer->SetName(u"mostTopLayer");
  layer->setComponentStyle(csTransient);
  topLayer_ = layer;
  parts_->fillTopLayer(layer);
  // A script may free the layer; its removal clears the pointer here.
  watchRemovalOf(topLayer_);
  if (!cursorFile_.empty()) {
    setCursorObject(dynamic_cast<VisualObject*>(newFromFile(AnsiToWide(cursorFile_), layer)));
  } else {
    setCursorObject(parts_->createDefaultCursor(layer));
  }
}

void Applet::setCursorObject(VisualObject* cursor) {
  if (cursor == cursor_) return;
  unwatchRemovalOf(cursor_);
  cursor_ = cursor;
  watchRemovalOf(cursor_);
}

bool Applet::ownsAsService(const BaseObject* object) const {
  return object && (object == event_ || (parts_ && parts_->ownsAsService(object)));
}

void Applet::registerScriptNames() {
  if (!scriptEngine_) return;
  ScriptGlobals globals;
  SomeEngine* engine = Engine();
  globals.engine = engine;
  globals.device = device_;
  globals.applet = this;
  globals.event = event_;
  globals.mostTop = topLayer_;
  globals.resMan = resourceManager_;
  if (engine) {
    globals.externalResMan = engine->externalResourceManager();
    globals.embeddedResMan = engine->embeddedResourceManager();
  }
  parts_->addScriptGlobals(globals);
  RegisterScriptNames(*scriptEngine_, globals);
  // Every tree class, also those of later units, can then be made with "new".
  RegisterScriptClasses(*scriptEngine_);
}

void Applet::loadStoredPreferences() {
  if (parts_->hasScoreTable()) {
    LogInfo(u"Score load");
    parts_->loadScoreTable();
  }
  if (!parts_->hasPreferences()) return;
  LogInfo(u"Prefenses load");
  parts_->loadPreferences();
  LogInfo(u"Prefenses loaded");
  const WideString soundVolume = parts_->preference(u"soundvolume");
  if (soundVolume.empty()) return;
  LogInfo(u"Set sound from pref");
  if (parts_->soundEngineClassRegistered() && !parts_->hasSoundEngine()) {
    LogInfo(u"Create SoundEngine");
    parts_->createSoundEngine();
  }
  LogInfo(u"Set volumes");
  // A damaged preference is logged and leaves the volumes as they are.
  if (std::optional<float> sound = ParseStoredFloat(u"soundvolume", soundVolume)) parts_->setSoundVolume(*sound);
  const WideString musicVolume = parts_->preference(u"musicvolume");
  if (std::optional<float> music = ParseStoredFloat(u"musicvolume", musicVolume)) parts_->setMusicVolume(*music);
}

void Applet::applyLoadedSettings() {
  LogInfo(u"Set lang");
  if (WideString lang = parts_->preference(u"lang"); !lang.empty()) setLang(lang);
  LogInfo(u"Set screenmode");
  if (WideString mode = parts_->preference(u"screenmode"); !mode.empty()) setScreenMode(mode);
  LogInfo(u"Set fullscreen");
  const WideString full = parts_->preference(u"fullscreen");
  if (!full.empty()) {
    setFullScreen(full == u"-1" || full == u"1" || SameTextAsciiW(full, u"true"));
  } else if (pendingFullScreen_) {
    setFullScreen(true);
  } else {
    applyScreenMode();
  }
}

// ---- storing ------------------------------------------------------------------------------

void Applet::dropAutoNames() {
  inherited::dropAutoNames();
  if (parts_) parts_->detachForStoring();
}

void Applet::giveAutoNames() {
  inherited::giveAutoNames();
  if (parts_) parts_->attachAfterStoring();
}

// ---- destruction -----------------------------------------------------------------------

void Applet::Destroy() {
  terminated_ = true;
  if (servicesMade_) {
    runHandler(WideString(onFree_));
    if (storePreferenses_) storeSettings();
    if (device_) device_->LogStatistics();
    saveLanguageTable();
  }
  deleteChildren();
  topLayer_ = nullptr;
  cursor_ = nullptr;
  if (parts_) parts_->freeDefaultSkin();
  freeServicesInOrder();
  LogInfo(u"Objects destroyed");
  destroyWindow();
  debugValues_.clear();
  parts_.reset();
  inherited::Destroy();
  LogInfo(u"===== Applet was destroyed ======");
}

void Applet::storeSettings() {
  parts_->storeScoreTable();
  parts_->setPreference(u"lang", lang());
  parts_->setPreference(u"screenmode", screenMode_);
  parts_->setPreference(u"fullscreen", fullScreen_ ? u"True" : u"False");
  parts_->setPreference(u"left", DecimalText(left_));
  parts_->setPreference(u"top", DecimalText(top_));
  float sound = 0, music = 0;
  if (parts_->soundVolumes(sound, music)) {
    parts_->setPreference(u"soundvolume", FloatToWideStr(sound));
    parts_->setPreference(u"musicvolume", FloatToWideStr(music));
  }
  parts_->storePreferences();
}

void Applet::freeServicesInOrder() {
  if (cache_ && defaultPixmap_) cache_->releasePixmap(defaultPixmap_);
  defaultPixmap_ = nullptr;
  FreeAndNil(cache_);
  FreeAndNil(dynamicEngine_);
  if (parts_) parts_->freeEngines();
  FreeAndNil(maskMargin_);
  FreeAndNil(resourceManager_);
  FreeAndNil(scriptEngine_);
  if (parts_) parts_->freeServices();
  FreeAndNil(event_);
  FreeAndNil(device_);
  screenModes_.clear();
  languageTable_.reset();
}

void Applet::setDynamicEngine(TDynamicEngine* engine) {
  if (engine == dynamicEngine_) return;
  FreeAndNil(dynamicEngine_);
  dynamicEngine_ = engine;
}

// ---- the resource manager --------------------------------------------------------------

bool Applet::adoptResourceManager(TResourceMan* manager) {
  if (!manager) return false;
  setResourceManager(manager);
  return true;
}

void Applet::setResourceManager(TResourceMan* manager) {
  if (manager == resourceManager_) return;
  FreeAndNil(resourceManager_);
  resourceManager_ = manager;
  // The manager puts the applet's language into "lang" names.
  if (resourceManager_) resourceManager_->setOwner(this);
}

TPlatform* Applet::platform() const { return Platform(); }

WideString Applet::dataFolderName() const {
  WideString name = SafeFolderName(appname_.empty() ? title_ : appname_);
  // An empty title must not make the whole application-data folder the game's.
  return name.empty() ? WideString(u"_") : name;
}
