#include "engine/applet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "compat/win32/system.h"
#include "core/coordinates.h"
#include "core/effect.h"
#include "core/engine.h"
#include "core/ext_resource_man.h"
#include "core/log.h"
#include "core/object_file.h"
#include "core/step_handler.h"
#include "core/text_helpers.h"
#include "engine/applet_parts.h"
#include "engine/cache.h"
#include "engine/event.h"
#include "engine/script_engine.h"
#include "platform/device.h"
#include "platform/device_registry.h"
#include "platform/platform.h"
#include "platform/input_records.h"
#include "platform/win32/window.h"

Q_DEFINE_ENUM(TWindowStyle, "systemStyle", "maskStyle", "layerStyle")
Q_DEFINE_ENUM(TWindowPlaceKind, "normalPlace", "topMost", "desktopPlace")

namespace {
constexpr float kMinimumScale = 0.01f;
constexpr int32_t kMinimumSize = 1;

// A scale or size from a file or a script never divides by zero.
float SaneScale(float value) {
  if (std::isfinite(value) && value >= kMinimumScale) return value;
  LogError(u"Invalid scale " + FloatToWideStr(value) + u", using " + FloatToWideStr(kMinimumScale));
  return kMinimumScale;
}

int32_t SaneSize(int32_t value, const char16_t* what) {
  if (value >= kMinimumSize) return value;
  LogError(WideString(u"Invalid ") + what + u" " + AnsiToWide(std::to_string(value)));
  return kMinimumSize;
}

WideString Decimal(int64_t value) { return AnsiToWide(std::to_string(value)); }

// Debug-form times: "%8.5f".
WideString FormatSeconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof(text), "%8.5f", seconds);
  return AnsiToWide(text);
}

// The device's mode that is the desktop's, or -1 for the desktop itself.
int32_t CurrentModeIndex(const TDevice& device) {
  const auto& modes = device.screenModes();
  for (size_t i = 0; i < modes.size(); ++i) {
    const auto index = static_cast<int32_t>(i);
    if (device.ScreenModeWidth(index) == device.desktopWidth() &&
        device.ScreenModeHeight(index) == device.desktopHeight()) {
      return index;
    }
  }
  return -1;
}
}  // namespace

void (*AlignChildrenHook)(Applet* applet, float previousWidth, float previousHeight, const TRectF& area) =
    [](Applet*, float, float, const TRectF&) {};

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
          .property("lang", &A::lang_)
          .readOnly("deviceCount", &A::deviceCount).stored(false)
          .property("deviceIndex", &A::deviceIndex, &A::setDeviceIndex).stored(false)
          .property("deviceName", &A::deviceName_, &A::setDeviceName)
          .property("modelScale", &A::modelScale_)
          .property("consoleEnabled", &A::consoleEnabled_).defaultValue(1)
          .property("effectInScript", &A::effectInScript_).defaultValue(0)
          .property("boundsCulling", &A::boundsCulling_).defaultValue(0)
          .property("debugLevel", &A::debugLevel_).defaultValue(0)
          .property("debugInfo", &A::debugInfo_).defaultValue(0)
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
          .property("autoScale", &A::autoScale_).defaultValue(0)
          .property("autoScaleSizeX", &A::autoScaleSizeX_).defaultValue(800)
          .property("autoScaleSizeY", &A::autoScaleSizeY_).defaultValue(600)
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
          .method("storeObject", &A::storeObject)
          .method("createBin", &A::createBin)
          .method("makepng", &A::makepng)
          .method("openUrl", &A::openUrl)
          .method("sleep", &A::sleep)
          .method("hideCursor", &A::hideCursor)
          .method("showCursor", &A::showCursor)
          .method("devices", &A::devices)
          .method("toggleConsole", &A::toggleConsole)
          .build();
  return info;
}

// ---- construction -------------------------------------------------------------------

void Applet::Create(TObject* owner) {
  LogInfo(u"===== Start applet creation ======");
  setApplet(this);
  maskMargin_ = New<TRectPersistent>(this);
  previousWidth_ = static_cast<float>(width_);
  previousHeight_ = static_cast<float>(height_);
  startTime_ = platform() ? platform()->GetCurrentTime() : 0.0f;

  LogInfo(u"Create main window");
  createWindow();
  if (!window_) {
    LogError(u"Can't create main window");
    inherited::Create(owner);
    return;
  }
  LogInfo(u"Main window created");
  if (DeviceClasses().empty() || DefaultDeviceIndex() < 0) {
    LogError(u"No suported devices registered");
    inherited::Create(owner);
    return;
  }
  LogInfo(u"Create main device");
  setDeviceIndex(DefaultDeviceIndex());
  if (!device_) {
    LogError(u"No suported devices registered");
    inherited::Create(owner);
    return;
  }
  LogInfo(u"Device was created successful");
  device_->SetCamera(MakeVector4F(0, -150, 0, 1), MakeVector4F(0, -1, 0, 1), MakeVector4F(0, 0, -1, 1));
  LogInfo(u"Camera set");
  createServices();

  LogInfo(u"load main object and script");
  lang_ = u"english";
  firstChildPending_ = true;
  inherited::Create(owner);  // the pending reader fills the applet here
  LogInfo(u"main object was loaded");
  parts_->loadFonts(this);
  LogInfo(u"Load fonts");
  parts_->loadMaterials(this);
  LogInfo(u"Load materials");
  if (firstChildPending_) {
    // A file that gave the applet no children still gets its top layer.
    firstChildPending_ = false;
    LogInfo(u"Applet properties was loaded");
    afterLoad();
  }
  repaint();
  if (platform() && window_) platform()->ResizeWindow(window_, -1, -1);
  invalidateTransform();
  LogInfo(u"End of the root object creation");
  runHandler(WideString(onLoad_));
}

void Applet::createServices() {
  if (const ClassInfo* engineClass = DefaultScriptEngineClass()) {
    scriptEngine_ = CreateScriptEngine(*engineClass, this);
    if (scriptEngine_) LogInfo(u"ScriptEngine created");
  }
  // The services belong to the applet but are no part of its tree: they are
  // never ticked, drawn or stored, and are freed once, by the applet.
  cache_ = New<TCache>(this);
  removeChild(cache_);
  cache_->setCreators(parts_.get());
  cache_->setDebugValueSink([this](const WideString& n, const WideString& v) { setDebugValue(n, v); });
  LogInfo(u"Cache created");
  parts_->createFilter(this);
  event_ = New<Event>(this);
  removeChild(event_);
  event_->setApplet(this);
  LogInfo(u"Event created");
  parts_->createMaterials(this);
  parts_->createPreferences(this);
  parts_->loadDefaultSkin(this);
}

void Applet::addChild(BaseObject* child) {
  if (firstChildPending_) {
    firstChildPending_ = false;
    LogInfo(u"Applet properties was loaded");
    afterLoad();
  }
  inherited::addChild(child);
  if (topLayer_ && child != topLayer_) topLayer_->bringToFront();
}

void Applet::afterLoad() {
  LogInfo(u"Create most top layer");
  topLayer_ = parts_->createTopLayer(this);
  LogInfo(u"Set script vars");
  registerScriptNames();
  LogInfo(u"Set extResMan folder");
  if (SomeEngine* engine = Engine(); engine && engine->externalResourceManager()) {
    const WideString folderName = SafeFolderName(appname_.empty() ? title_ : appname_);
    engine->externalResourceManager()->setRoot(GetAppDataPath() + WideToUtf8(folderName) + "/");
  }
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
  parts_->loadPreferences(this);
  updateViewport();
  clearComponentState(csLoading);
  applyLoadedSettings();
  LogInfo(u"After load complete");
  setComponentState(csLoading);
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
  parts_->addScriptGlobals(this, globals);
  RegisterScriptNames(*scriptEngine_, globals);
}

void Applet::applyLoadedSettings() {
  LogInfo(u"Set lang");
  parts_->applyPreferredLanguage(this);
  LogInfo(u"Set screenmode");
  parts_->applyPreferredScreenMode(this);
  LogInfo(u"Set fullscreen");
  std::optional<bool> preferred = parts_->preferredFullScreen(this);
  if (preferred) {
    setFullScreen(*preferred);
  } else if (pendingFullScreen_) {
    setFullScreen(true);
  } else {
    applyScreenMode();
  }
}

// ---- destruction -----------------------------------------------------------------------

void Applet::Destroy() {
  terminated_ = true;
  runHandler(WideString(onFree_));
  if (parts_) parts_->storePreferences(this);
  if (device_) device_->LogStatistics();
  if (parts_) parts_->saveLanguageTable(this);
  deleteChildren();
  topLayer_ = nullptr;
  cursor_ = nullptr;
  if (cache_ && defaultPixmap_) cache_->releasePixmap(defaultPixmap_);
  defaultPixmap_ = nullptr;
  FreeAndNil(cache_);
  if (parts_) parts_->freeServices(this);
  FreeAndNil(maskMargin_);
  FreeAndNil(resourceManager_);
  FreeAndNil(scriptEngine_);
  FreeAndNil(event_);
  FreeAndNil(device_);
  LogInfo(u"Objects destroyed");
  destroyWindow();
  parts_.reset();
  inherited::Destroy();
  LogInfo(u"===== Applet was destroyed ======");
}

bool Applet::adoptResourceManager(TResourceMan* manager) {
  if (!manager) return false;
  setResourceManager(manager);
  return true;
}

void Applet::setResourceManager(TResourceMan* manager) {
  if (manager == resourceManager_) return;
  FreeAndNil(resourceManager_);
  resourceManager_ = manager;
}

TPlatform* Applet::platform() const { return Platform(); }

// ---- the frame loop ---------------------------------------------------------------------

float Applet::clock() const { return platform() ? platform()->GetCurrentTime() - startTime_ : 0.0f; }

double Applet::currentTime() { return platform() ? platform()->GetCurrentTime() : 0.0; }

int32_t Applet::runStep() {
  if (platform() && window_ && !platform()->WindowVisible(window_)) return 1;
  if (pause_) {
    if (cursor_) cursor_->hide();
    if (event_) event_->processQueue();
    repaint();
    if (device_) device_->Present();
    Sleep(100);
    return 1;
  }
  previousPass_ = current_;
  current_ = clock();
  deltaTime_ = current_ - previousPass_;
  if (deltaTime_ < 1e-6f) deltaTime_ = 1e-6f;
  time_ += deltaTime_;
  if (frameRate_ == -1) {
    if (updateCounter_ <= 0) return 1;
    tick(time_, deltaTime_);
    return 0;
  }
  if (frameRate_ > 0) {
    const float interval = 1.0f / static_cast<float>(frameRate_);
    const float elapsed = current_ - lastFrame_;
    if (interval > elapsed) return RoundHalfEven((interval - elapsed) * 1000.0);
    deltaTime_ = elapsed;
    time_ = lastFrame_ + elapsed + timeShift_;
    tick(time_, deltaTime_);
    lastFrame_ = current_;
    return 0;
  }
  tick(time_, deltaTime_);
  return 0;
}

void Applet::tick(double time, double delta) {
  if (updateCounter_ == 0) return;
  BusyScope busy(this);
  updateCounter_ = 0;
  updateCursor();
  visibleCount_ = 0;
  invisibleCount_ = 0;
  const double renderStart = currentTime();
  repaint();
  if (debugInfo_) setDebugValue(u"Rendering", FormatSeconds(currentTime() - renderStart));
  scriptTime_ = 0;
  const double tickStart = currentTime();
  inherited::tick(time, delta);
  runHandler(WideString(onTick()));
  if (device_) device_->Tick(static_cast<float>(delta));
  if (event_) event_->processQueue();
  if (parts_) parts_->stepPhysics(this, static_cast<float>(delta));
  if (debugInfo_) {
    setDebugValue(u"Objects", Decimal(static_cast<int64_t>(BaseObject::liveObjects().size())));
    setDebugValue(u"Scripting", FormatSeconds(scriptTime_));
    setDebugValue(u"DeltaTime", FormatSeconds(delta));
    setDebugValue(u"ProcessTick", FormatSeconds(currentTime() - tickStart));
    if (window_) {
      setDebugValue(u"Wnd Size:", Decimal(window_->appliedWidth) + u"x" + Decimal(window_->appliedHeight));
    }
    setDebugValue(u"Vis/Invis", Decimal(visibleCount_) + u"/" + Decimal(invisibleCount_));
    if (cache_) cache_->logStatistics();
  }
  if (device_) device_->Present();
  if (topLayer_ && count() > 0 && childAt(count() - 1) != topLayer_) topLayer_->bringToFront();
}

void Applet::updateCursor() {
  if (!cursor_) return;
  const bool acquired = event_ && event_->mouseAsquired();
  const bool show = !acquired && cursorHideCount_ == 0 && !cursorSystem_;
  if (!show) {
    cursor_->hide();
    return;
  }
  cursor_->show();
  if (platform() && window_) {
    const TPointF p = platform()->curMousePos(window_);
    const float x = static_cast<float>(RoundHalfEven((p.x - static_cast<float>(marginX())) / scale_));
    const float y = static_cast<float>(RoundHalfEven((p.y - static_cast<float>(marginY())) / scale_));
    parts_->placeCursor(this, x, y);
  }
  cursor_->bringToFront();
}

// ---- window operations ---------------------------------------------------------------------

void Applet::repaint() {
  if (!device_ || !platform() || !window_) return;
  if (style_ == layerStyle) {
    platform()->UpdateWindow(window_, static_cast<float>(width_) * scale_, static_cast<float>(height_) * scale_);
  } else {
    platform()->UpdateWindow(window_, 0, 0);
  }
}

void Applet::createWindow() {
  if (!platform()) return;
  window_ = platform()->CreateWindow(this, className() + "Wnd", title_, static_cast<TWindowKind>(style_),
                                     RoundHalfEven(width_ * scale_), RoundHalfEven(height_ * scale_), left_, top_);
  if (window_ && !window_->handle) {
    // A record without a system window is no window.
    platform()->DestroyWindow(window_);
    window_ = nullptr;
  }
}

void Applet::destroyWindow() {
  if (window_ && platform()) platform()->DestroyWindow(window_);
  window_ = nullptr;
}

void Applet::updateWindow() {
  if (!window_ || !platform()) return;
  window_->place = static_cast<TWindowPlace>(place_);
  window_->title = title_;
  platform()->UpdateWindowState(window_);
}

void Applet::activate() {
  LogInfo(u"activate");
  setPause(false);
  if (event_ && event_->mouseAsquired() && platform() && window_) platform()->AcquireMouse(window_);
  if (const PropInfo* p = classInfo().findProperty("onActivate")) runHandler(GetWideStrProp(this, *p));
  active_ = true;
  LogInfo(u"activated");
}

void Applet::deactivate() {
  LogInfo(u"deactivate");
  active_ = false;
  if (event_ && event_->mouseAsquired() && platform() && window_) platform()->AcquireDisable(window_);
  runHandler(WideString(onDeactivate_));
  setPause(true);
  LogInfo(u"deactivatet");
}

void Applet::toggleConsole() {
  if (!consoleEnabled_) return;
  parts_->toggleConsole(this);
}

void Applet::setPause(bool value) {
  if (value == pause_) return;
  if (pause_ && !value) {
    // Resuming restarts the clocks, so the pause is no long frame.
    current_ = previousPass_ = lastFrame_ = clock();
    deltaTime_ = 0;
  }
  pause_ = value;
  parts_->setSoundPause(this, value);
}

// ---- screen modes -----------------------------------------------------------------------------

int32_t Applet::marginX() const { return window_ ? window_->marginX : 0; }
int32_t Applet::marginY() const { return window_ ? window_->marginY : 0; }

TPointF Applet::windowToApplet(float x, float y) const {
  return MakePointF((x - static_cast<float>(marginX())) / scale_, (y - static_cast<float>(marginY())) / scale_);
}

void Applet::updateViewport() {
  viewport_.scale = scale_;
  if (!window_) return;
  viewport_.left = static_cast<float>(window_->left);
  viewport_.top = static_cast<float>(window_->top);
  viewport_.width = static_cast<float>(window_->appliedWidth);
  viewport_.height = static_cast<float>(window_->appliedHeight);
}

void Applet::applyScreenMode() {
  if (firstChildPending_ || !window_ || !device_) return;
  const float modeW = static_cast<float>(device_->ScreenModeWidth(screenModeIndex_));
  const float modeH = static_cast<float>(device_->ScreenModeHeight(screenModeIndex_));
  int32_t clientW, clientH;
  if (autoScale_) {
    const float sizeX = static_cast<float>(std::max(autoScaleSizeX_, kMinimumSize));
    const float sizeY = static_cast<float>(std::max(autoScaleSizeY_, kMinimumSize));
    if (fullScreen_) {
      scale_ = SaneScale(std::min(modeH / sizeY, modeW / sizeX));
      clientW = RoundHalfEven(modeW / sizeX * static_cast<float>(width_));
      clientH = RoundHalfEven(modeH / sizeY * static_cast<float>(height_));
      window_->marginX = RoundHalfEven((static_cast<float>(clientW) - sizeX * scale_) / 2);
      window_->marginY = RoundHalfEven((static_cast<float>(clientH) - sizeY * scale_) / 2);
    } else {
      scale_ = SaneScale(viewport_.scale);
      clientW = RoundHalfEven(static_cast<float>(width_) * scale_);
      clientH = RoundHalfEven(static_cast<float>(height_) * scale_);
      window_->marginX = window_->marginY = 0;
    }
  } else {
    window_->marginX = window_->marginY = 0;
    if (fullScreen_) {
      width_ = SaneSize(RoundHalfEven(modeW / scale_), u"width");
      height_ = SaneSize(RoundHalfEven(modeH / scale_), u"height");
    } else if (viewport_.width > 0 && viewport_.height > 0) {
      width_ = SaneSize(RoundHalfEven(viewport_.width), u"width");
      height_ = SaneSize(RoundHalfEven(viewport_.height), u"height");
    }
    realignChildren();
    clientW = RoundHalfEven(static_cast<float>(width_) * scale_);
    clientH = RoundHalfEven(static_cast<float>(height_) * scale_);
  }
  window_->backBufferWidth = clientW;
  window_->backBufferHeight = clientH;
  if (screenModeIndex_ >= 0 && screenModeIndex_ < static_cast<int32_t>(screenModes_.size())) {
    screenMode_ = screenModes_[static_cast<size_t>(screenModeIndex_)];
  }
  device_->FullScreen(fullScreen_, screenModeIndex_);
  LogInfo(FloatToWideStr(clientW) + u"x" + FloatToWideStr(clientH) + u":" + FloatToWideStr(window_->backBufferWidth) +
          u"x" + FloatToWideStr(window_->backBufferHeight));
  if (!fullScreen_ && platform()) {
    platform()->ReposWindow(window_, RoundHalfEven(viewport_.left), RoundHalfEven(viewport_.top));
    platform()->ResizeWindow(window_, clientW, clientH);
  }
  realignChildren();
}

void Applet::windowResized() {
  if (!device_ || !window_) return;
  if (!fullScreen_) {
    if (style_ != layerStyle) {
      left_ = window_->left;
      top_ = window_->top;
      const int32_t w = RoundHalfEven(static_cast<float>(window_->appliedWidth) / scale_);
      const int32_t h = RoundHalfEven(static_cast<float>(window_->appliedHeight) / scale_);
      if ((w != width_ || h != height_) && w >= kMinimumSize && h >= kMinimumSize) {
        previousWidth_ = static_cast<float>(width_);
        previousHeight_ = static_cast<float>(height_);
        width_ = w;
        height_ = h;
        realignChildren();
      }
    } else {
      left_ = window_->left;
      top_ = window_->top;
    }
    updateViewport();
  }
}

TRectF Applet::consoleRect() const {
  const float mx = static_cast<float>(marginX()) / scale_, my = static_cast<float>(marginY()) / scale_;
  return MakeRectF(-mx, -my, static_cast<float>(width_) + mx, static_cast<float>(height_) / 2);
}

void Applet::realignChildren() {
  const float mx = static_cast<float>(marginX()) / scale_, my = static_cast<float>(marginY()) / scale_;
  const TRectF area = MakeRectF(-mx, -my, static_cast<float>(width_) + mx, static_cast<float>(height_) + my);
  AlignChildrenHook(this, previousWidth_, previousHeight_, area);
  previousWidth_ = static_cast<float>(width_);
  previousHeight_ = static_cast<float>(height_);
}

void Applet::invalidateTransform() {
  inherited::invalidateTransform();
  realignChildren();
}

void Applet::setDebugValue(const WideString& name, const WideString& value) {
  for (auto& entry : debugValues_) {
    if (entry.first == name) {
      entry.second = value;
      return;
    }
  }
  debugValues_.emplace_back(name, value);
}

// ---- setters -------------------------------------------------------------------------------------

void Applet::setScale(float value) {
  value = SaneScale(value);
  if (value == scale_) return;
  scale_ = value;
  if (device_ && platform() && window_) {
    platform()->ResizeWindow(window_, RoundHalfEven(width_ * scale_), RoundHalfEven(height_ * scale_));
    device_->Resize();
  }
}

void Applet::setWidth(int32_t value) {
  value = SaneSize(value, u"width");
  if (value == width_) return;
  previousWidth_ = static_cast<float>(width_);
  width_ = value;
  realignChildren();
  if (platform() && window_) platform()->ResizeWindow(window_, RoundHalfEven(width_ * scale_), RoundHalfEven(height_ * scale_));
}

void Applet::setHeight(int32_t value) {
  value = SaneSize(value, u"height");
  if (value == height_) return;
  previousHeight_ = static_cast<float>(height_);
  height_ = value;
  realignChildren();
  if (platform() && window_) platform()->ResizeWindow(window_, RoundHalfEven(width_ * scale_), RoundHalfEven(height_ * scale_));
}

void Applet::setLeft(int32_t value) {
  if (value == left_) return;
  left_ = value;
  if (platform() && window_) platform()->ReposWindow(window_, left_, top_);
}

void Applet::setTop(int32_t value) {
  if (value == top_) return;
  top_ = value;
  if (platform() && window_) platform()->ReposWindow(window_, left_, top_);
}

void Applet::setPlace(TWindowPlaceKind value) {
  if (value == place_) return;
  place_ = value;
  updateWindow();
}

void Applet::setTitle(const WideString& value) {
  if (value == title_) return;
  title_ = value;
  updateWindow();
}

void Applet::setStyle(TWindowStyle value) {
  if (value < systemStyle || value > layerStyle) value = systemStyle;
  if (value == style_) return;
  style_ = value;
  if (window_ && platform()) {
    window_->kind = static_cast<TWindowKind>(style_);
    platform()->RecreateWnd(window_);
  }
}

void Applet::setCursorSystem(bool value) {
  if (value == cursorSystem_) return;
  cursorSystem_ = value;
  update();
}

void Applet::setMaskFile(const WideString& value) {
  maskFile_ = value;
  if (window_) window_->maskFile = WideToAnsi(value);
}

void Applet::setMaskMargin(TRectPersistent* value) {
  if (value && maskMargin_) maskMargin_->Assign(*value);
  copyMaskToWindow();
}

void Applet::copyMaskToWindow() {
  if (!window_ || !maskMargin_) return;
  const TRectF r = maskMargin_->getRect();
  window_->maskLeft = r.left;
  window_->maskTop = r.top;
  window_->maskRight = r.right;
  window_->maskBottom = r.bottom;
  window_->maskFile = WideToAnsi(maskFile_);
}

void Applet::setUsesList(const WideString& value) {
  usesList_ = value;
  if (!value.empty() && resourceManager_) resourceManager_->setUsesList(value);
}

void Applet::setFullScreen(bool value) {
  if (hasState(csLoading)) {
    pendingFullScreen_ = value;
    return;
  }
  if (value == fullScreen_) return;
  if (value) updateViewport();
  fullScreen_ = value;
  applyScreenMode();
}

WideString Applet::screenModesText() const {
  WideString text;
  for (const WideString& mode : screenModes_) text += mode + u"\r\n";
  return text;
}

void Applet::setScreenModesText(const WideString& text) {
  screenModes_.clear();
  WideString rest = text;
  while (!rest.empty()) {
    WideString line = ExtractTokenW(rest, u"\n");
    if (!line.empty()) screenModes_.push_back(line);
  }
}

void Applet::setScreenMode(const WideString& value) {
  if (value == screenMode_) return;
  screenMode_ = value;
  LogInfo(u"set screnMode " + value);
  for (size_t i = 0; i < screenModes_.size(); ++i) {
    if (SameTextAsciiW(screenModes_[i], value)) {
      setScreenModeIndex(static_cast<int32_t>(i));
      applyScreenMode();
      return;
    }
  }
}

void Applet::setScreenModeIndex(int32_t index) {
  LogInfo(u"set screenModeIndex " + Decimal(index));
  const bool inRange = index >= 0 && index < static_cast<int32_t>(screenModes_.size());
  if (hasState(csLoading) || !fullScreen_) {
    screenModeIndex_ = index;
    if (inRange) screenMode_ = screenModes_[static_cast<size_t>(index)];
    return;
  }
  if (index == screenModeIndex_) return;
  screenModeIndex_ = index;
  if (inRange) screenMode_ = screenModes_[static_cast<size_t>(index)];
  applyScreenMode();
}

void Applet::setDeviceName(const WideString& value) {
  if (hasState(csLoading)) {
    pendingDeviceName_ = value;
    return;
  }
  applyDeviceName(value);
}

void Applet::applyDeviceName(const WideString& value) {
  if (value == deviceName_) return;
  deviceName_ = value;
  int index = FindDeviceClass(value);
  if (index >= 0) setDeviceIndex(index);
}

int32_t Applet::deviceCount() const { return static_cast<int32_t>(DeviceClasses().size()); }

void Applet::setDeviceIndex(int32_t index) {
  if (index == deviceIndex_ || index < 0 || index >= deviceCount() || !window_) return;
  const TDeviceClass& cls = DeviceClasses()[static_cast<size_t>(index)];
  TDevice* made = device_ ? TDevice::RecreateDevice(device_, cls) : CreateDeviceOfClass(cls, window_, this);
  if (!made) return;
  deviceIndex_ = index;
  device_ = made;
  screenModes_ = device_->screenModes();
  screenModeIndex_ = CurrentModeIndex(*device_);
}

WideString Applet::bkColorText() const { return ColorToText(bkColor_); }
void Applet::setBkColorText(const WideString& text) { bkColor_ = TextToColor(text); }

WideString Applet::devices(int32_t index) const {
  if (index < 0 || index >= deviceCount()) return WideString();
  const TDeviceClass& cls = DeviceClasses()[static_cast<size_t>(index)];
  return cls.deviceName ? cls.deviceName() : WideString();
}

// ---- factories and utilities -------------------------------------------------------------------

namespace {
// Names an unnamed object after its class and identity and makes it a script global.
void NameAndExport(Applet* applet, BaseObject* object, bool logIt) {
  if (object->name().empty()) object->SetName(AnsiToWide(object->className()) + Decimal(reinterpret_cast<intptr_t>(object)));
  if (TScriptEngine* engine = applet->scriptEngine()) {
    engine->exportObject(object->name(), AnsiToWide(object->className()), object);
  }
  if (logIt) LogInfo(u"Resiter variable " + object->name() + u" " + AnsiToWide(object->className()));
}
}  // namespace

BaseObject* Applet::newFromFile(const WideString& fileName, BaseObject* parent) {
  BaseObject* result = NewObjectFromFile(fileName, parent ? parent : this, false, nullptr);
  if (!result || result->isDisposed()) return result;
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
  if (!result || result->isDisposed()) return result;
  if (result->name().empty()) NameAndExport(this, result, false);
  if (result->designTime()) result->removeExternal();
  return result;
}

BaseObject* Applet::newFromExtFile(const WideString& fileName, BaseObject* parent) {
  SomeEngine* engine = Engine();
  TExtResourceMan* external = engine ? engine->externalResourceManager() : nullptr;
  if (!external) return nullptr;
  // Resolved against the program's own folder, without writing binary twins there.
  const std::string savedRoot = external->root();
  external->setRoot(ExtractFilePath(GetProgramFileName()));
  NoBinaryCache = true;
  BaseObject* result = NewObjectFromFile(fileName, parent ? parent : this, false, external);
  NoBinaryCache = false;
  external->setRoot(savedRoot);
  if (result && !result->isDisposed()) NameAndExport(this, result, true);
  return result;
}

BaseObject* Applet::newObject(const WideString& className, BaseObject* parent) {
  BaseObject* result = CreateObjectByClassName(WideToAnsi(className), parent ? parent : this);
  if (result && result->name().empty()) NameAndExport(this, result, false);
  return result;
}

void Applet::storeObject(BaseObject* object, const WideString& fileName) {
  if (!object) return;
  if (cache_ && resourceManager_) cache_->releaseFileStreams(resourceManager_, fileName);
  TResourceMan* manager = resourceManager_;
  if (fileName.find(u':') != WideString::npos && !SameTextAsciiW(fileName, u"main.qxml")) {
    if (SomeEngine* engine = Engine()) manager = engine->externalResourceManager();
    LogInfo(u"Use external resource for file " + fileName);
  }
  StoreObjectFile(manager, fileName, object);
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
  const auto& live = BaseObject::liveObjects();
  if (std::find(live.begin(), live.end(), waiter) != live.end()) waiter->dispose();
}

BaseObject* Applet::findMaterial(const WideString& name) { return parts_->findMaterial(this, name); }

void Applet::dropAutoNames() { inherited::dropAutoNames(); }
void Applet::giveAutoNames() { inherited::giveAutoNames(); }

// ---- what the window asks of the applet ------------------------------------------------------

void Applet::DeviceRender() {
  if (device_) device_->Render();
}

void Applet::DevicePresent() {
  if (device_) device_->Present();
}

void Applet::DeviceResize() {
  if (device_) device_->Resize();
}

bool Applet::DeviceRenderToARGB(uint32_t* pixels, int32_t width, int32_t height) {
  if (!device_ || !window_ || width != window_->appliedWidth || height != window_->appliedHeight) return false;
  return device_->RenderToARGB(pixels);
}

void Applet::RecreateDevice() {
  if (!device_ || deviceIndex_ < 0) return;
  device_ = TDevice::RecreateDevice(device_, DeviceClasses()[static_cast<size_t>(deviceIndex_)]);
}

namespace {
bool ReadPixmapARGB(TDevice* device, TPixmap* pixmap, TArgbImage& image) {
  if (!device || !pixmap) return false;
  image.width = pixmap->width();
  image.height = pixmap->height();
  image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  const TPixmapRect whole{0, 0, image.width, image.height};
  if (!device->LockPixmapRectARGB(pixmap, whole, true, bits, pitch)) return false;
  for (int32_t y = 0; y < image.height; ++y) {
    const uint32_t* row = bits + static_cast<ptrdiff_t>(y) * (pitch / 4);
    std::copy(row, row + image.width, image.pixels.begin() + static_cast<ptrdiff_t>(y) * image.width);
  }
  device->UnlockPixmap(pixmap);
  return true;
}
}  // namespace

bool Applet::LoadPixmapARGB(const AnsiString& name, TArgbImage& image) {
  if (!cache_ || !resourceManager_) return false;
  TPixmap* pixmap = cache_->getPixmap(resourceManager_, AnsiToWide(name));
  bool ok = ReadPixmapARGB(device_, pixmap, image);
  if (pixmap) cache_->releasePixmap(pixmap);
  return ok;
}

bool Applet::LoadBuiltInPixmapARGB(const AnsiString& name, TArgbImage& image) {
  SomeEngine* engine = Engine();
  if (!cache_ || !engine || !engine->embeddedResourceManager()) return false;
  TPixmap* pixmap = cache_->getPixmap(engine->embeddedResourceManager(), AnsiToWide(name));
  bool ok = ReadPixmapARGB(device_, pixmap, image);
  if (pixmap) cache_->releasePixmap(pixmap);
  return ok;
}

bool Applet::WriteResource(const AnsiString& name, const std::vector<uint8_t>& bytes) {
  if (!resourceManager_) return false;
  TStream* out = nullptr;
  try {
    out = resourceManager_->createStream(AnsiToWide(name), fmCreate);
  } catch (const Exception&) {
    return false;
  }
  if (!out) return false;
  bool ok = out->Write(bytes.data(), static_cast<int64_t>(bytes.size())) == static_cast<int64_t>(bytes.size());
  if (auto* file = dynamic_cast<TFileStream*>(out)) ok = file->Close() && ok;
  out->Free();
  return ok;
}

// ---- what the input translation asks of the applet -------------------------------------------

void Applet::QueueEvent(TLowEvent* event) {
  if (event_) {
    event_->queueEvent(event);
  } else if (event) {
    event->Free();
  }
}

void Applet::ShowCursorSprite(bool visible) {
  if (!cursor_) return;
  if (visible) {
    cursor_->show();
  } else {
    cursor_->hide();
  }
}

// ---- what the device asks of the applet ----------------------------------------------------------

TPixmap* Applet::defaultSkinPixmap(TDevice*) {
  if (!defaultPixmap_ && cache_) {
    if (SomeEngine* engine = Engine(); engine && engine->embeddedResourceManager()) {
      defaultPixmap_ = cache_->getPixmap(engine->embeddedResourceManager(), u"defaultskin.pixmap");
    }
  }
  return defaultPixmap_;
}

void Applet::drawScene(TDevice*) { draw(); }

void Applet::reapplyWindowSize() {
  if (platform() && window_) platform()->ResizeWindow(window_, -1, -1);
}
