#pragma once
// The root object of one running game: a Container that owns the platform
// window, the rendering device, the script engine, the resource cache, the
// event queue and the rest of the applet's services, and the object tree read
// from the main object file. The applet is where the window, the device and
// the object core meet: it serves them through TWindowOwner, TDeviceHost and
// the core's AppletServices.
//
// The services (event queue, cache, script engine and those of AppletParts)
// belong to the applet but are no part of its tree: they are never ticked,
// drawn or stored, and the applet frees each of them once.
#include <memory>
#include <vector>

#include "core/objects/applet_services.h"
#include "core/objects/variant.h"
#include "engine/applet/applet_parts.h"
#include "engine/container.h"
#include "platform/device_host.h"
#include "platform/win32/input_owner.h"
#include "platform/win32/window_owner.h"

class Event;
class TCache;
class TDynamicEngine;
class TDevice;
class TFilter;
class TPlatform;
class TRectPersistent;
class TResourceMan;
class TScriptEngine;
class TPixmap;
class TWindow;
class TLanguageTable;

enum TWindowStyle { systemStyle, maskStyle, layerStyle };
Q_DECLARE_ENUM(TWindowStyle)
enum TWindowPlace { normalPlace, topMost, desktopPlace };
Q_DECLARE_ENUM(TWindowPlace)

class Applet : public Container, public TWindowOwner, public TInputOwner, public TDeviceHost {
  Q_OBJECT(Applet, Container)

 public:
  Applet();
  ~Applet() override;
  void Create(TObject* owner) override;
  void Destroy() override;
  void addChild(BaseObject* child) override;
  void objectRemoved(BaseObject* object) override;
  void tick(double time, double delta) override;
  void invalidateTransform() override;
  bool adoptResourceManager(TResourceMan* manager) override;
  void dropAutoNames() override;
  void giveAutoNames() override;

  // ---- the frame loop ----------------------------------------------------------
  // One pass of the main loop: 0 when a frame ran, 1 when nothing was due, or
  // the milliseconds until the next frame is due.
  int32_t runStep();
  // One pending redraw (BaseObject.update).
  void requestRedraw() { ++updateCounter_; }
  int32_t updateCounter() const { return updateCounter_; }

  // ---- virtual window operations --------------------------------------------------
  virtual void createWindow();
  virtual void destroyWindow();
  virtual void updateWindow();
  virtual void repaint();
  virtual void activate();
  virtual void deactivate();
  virtual void toggleConsole();

  void applyScreenMode();
  void updateViewport();
  void windowResized();
  void realignChildren();
  // The whole client area in applet units, letterbox margins included.
  TRectF visibleArea() const;
  // Lays out a GUI holder Dummy's children over the visible area, against
  // the applet's size at its last layout.
  void alignGuiChildrenOf(BaseObject* holder);
  TRectF consoleRect() const;
  void setDebugValue(const WideString& name, const WideString& value);

  // ---- published methods -----------------------------------------------------------
  void terminate() { terminated_ = true; }
  BaseObject* newFromFile(const WideString& fileName, BaseObject* parent);
  BaseObject* newFromCache(const WideString& fileName, BaseObject* parent);
  BaseObject* newFromExtFile(const WideString& fileName, BaseObject* parent);
  BaseObject* newObject(const WideString& className, BaseObject* parent);
  BaseObject* startMission(const WideString& fileName, BaseObject* parent);
  BaseObject* editMission(const WideString& fileName, BaseObject* parent);
  // False (with the reason logged) when nothing was stored.
  bool storeObject(BaseObject* object, const WideString& fileName);
  void createBin(const WideString& fileName);
  void makepng(const WideString& fileName);
  void openUrl(const WideString& url);
  void sleep(float seconds);
  void showMessage(const WideString& text);
  void fadeScreenToColor(const WideString& color, float seconds);
  void fadeScreenToColorWait(const WideString& color, float seconds);
  void hideScreen(float seconds);
  void hideScreenWait(float seconds);
  void killParticles();
  void hideCursor() { ++cursorHideCount_; }
  void showCursor() { --cursorHideCount_; }
  WideString devices(int32_t index) const;
  // The text in the current language (collected while no table is loaded).
  WideString translate(const WideString& text);
  // The translated format text with one or two values put in.
  WideString format(const WideString& text, const Variant& first, const Variant& second);

  // ---- services and state ----------------------------------------------------------
  TWindow* window() const { return window_; }
  TDevice* device() const { return device_; }
  Event* event() const { return event_; }
  TCache* cache() const { return cache_; }
  TScriptEngine* scriptEngine() const { return scriptEngine_; }
  // The physics engine, made by the first object that wants a body; nil
  // until then. The applet owns it (a new one replaces and frees the old).
  TDynamicEngine* dynamicEngine() const { return dynamicEngine_; }
  void setDynamicEngine(TDynamicEngine* engine);
  TResourceMan* resourceManager() const { return resourceManager_; }
  // The object-file reader hands the applet the manager it was read through;
  // the applet owns it from then on.
  void setResourceManager(TResourceMan* manager);
  TPlatform* platform() const;
  AppletParts* parts() const { return parts_.get(); }
  BaseObject* topLayer() const { return topLayer_; }
  VisualObject* cursorObject() const { return cursor_; }
  // The cursor is watched: a script that frees it clears it here.
  void setCursorObject(VisualObject* cursor);
  // The event queue and the parts' own services (filter, materials, skin)
  // live outside the tree and are freed by the applet alone.
  bool ownsAsService(const BaseObject* object) const;
  TPixmap* defaultPixmap() const { return defaultPixmap_; }
  const WideString& lang() const;
  void setLang(const WideString& value);
  TLanguageTable* languageTable() const { return languageTable_.get(); }

  bool terminated() const { return terminated_; }
  bool paused() const { return pause_; }
  void setPause(bool value);
  bool active() const { return active_; }
  float time() const { return time_; }
  // Playback of recorded input (and scripts) set the applet's clock; the
  // frame-rate rule goes on counting from the time set.
  void setTime(float value) {
    time_ = value;
    timeShift_ = value - current_;
  }
  float deltaTime() const { return deltaTime_; }
  int32_t frameRate() const { return frameRate_; }
  void setFrameRate(int32_t rate) { frameRate_ = rate; }
  float scale() const { return scale_; }
  void setScale(float value);
  int32_t width() const { return width_; }
  void setWidth(int32_t value);
  int32_t height() const { return height_; }
  void setHeight(int32_t value);
  const WideString& title() const { return title_; }
  void setTitle(const WideString& value);
  const WideString& appname() const { return appname_; }
  // The folder below the application-data folder that holds the applet's
  // own files: appname, else the title, as one safe folder name.
  WideString dataFolderName() const;
  int32_t left() const { return left_; }
  void setLeft(int32_t value);
  int32_t top() const { return top_; }
  void setTop(int32_t value);
  TWindowPlace place() const { return place_; }
  void setPlace(TWindowPlace value);
  TWindowStyle style() const { return style_; }
  void setStyle(TWindowStyle value);
  bool cursorSystem() const { return cursorSystem_; }
  void setCursorSystem(bool value);
  void setMaskFile(const WideString& value);
  TRectPersistent* maskMargin() const { return maskMargin_; }
  void setMaskMargin(TRectPersistent* value);
  void setUsesList(const WideString& value);
  bool fullScreen() const { return fullScreen_; }
  void setFullScreen(bool value);
  const std::vector<WideString>& screenModes() const { return screenModes_; }
  WideString screenModesText() const;
  void setScreenModesText(const WideString& text);
  int32_t screenModeIndex() const { return screenModeIndex_; }
  void setScreenModeIndex(int32_t index);
  const WideString& screenMode() const { return screenMode_; }
  void setScreenMode(const WideString& value);
  void setDeviceName(const WideString& value);
  int32_t deviceIndex() const { return deviceIndex_; }
  void setDeviceIndex(int32_t index);
  int32_t deviceCount() const;
  bool autoScale() const { return autoScale_; }
  void setAutoScale(bool value) { autoScale_ = value; }
  int32_t autoScaleSizeX() const { return autoScaleSizeX_; }
  void setAutoScaleSizeX(int32_t value);
  int32_t autoScaleSizeY() const { return autoScaleSizeY_; }
  void setAutoScaleSizeY(int32_t value);
  void setAutoScaleSize(int32_t x, int32_t y) {
    setAutoScaleSizeX(x);
    setAutoScaleSizeY(y);
  }
  bool storePreferenses() const { return storePreferenses_; }
  bool consoleEnabled() const { return consoleEnabled_; }
  int32_t debugLevel() const { return debugLevel_; }
  void setDebugLevel(int32_t value);
  bool debugInfo() const { return debugInfo_; }
  void setDebugInfoVisible(bool value);
  const std::vector<std::pair<WideString, WideString>>& debugValues() const { return debugValues_; }
  bool boundsCulling() const { return boundsCulling_; }
  bool debugWireFrame() const { return debugWireFrame_; }
  bool debugDynamics() const { return debugDynamics_; }
  bool effectInScript() const { return effectInScript_; }
  bool lighting() const { return lighting_; }
  float modelScale() const { return modelScale_; }
  TColorARGB bkColor() const { return bkColor_; }
  void setBkColor(TColorARGB color) { bkColor_ = color; }
  // The drawing pass counts the objects it drew and culled.
  void countVisible() { ++visibleCount_; }
  void countInvisible() { ++invisibleCount_; }
  int32_t visibleCount() const { return visibleCount_; }
  int32_t invisibleCount() const { return invisibleCount_; }
  float scriptTime() const { return scriptTime_; }
  void addScriptTime(float seconds) { scriptTime_ += seconds; }
  // Letterbox margins and scale: a window pixel as an applet point.
  TPointF windowToApplet(float x, float y) const;
  int32_t marginX() const;
  int32_t marginY() const;
  // The material of that name among the applet's materials, or nil.
  BaseObject* findMaterial(const WideString& name);
  // The platform clock relative to the applet's start.
  float clock() const;

  // ---- TWindowOwner ----------------------------------------------------------------
  bool IsTerminated() const override { return terminated_; }
  bool IsFullScreen() const override { return fullScreen_; }
  void WindowResized() override { windowResized(); }
  bool HasDevice() const override { return device_ != nullptr; }
  void DeviceRender() override;
  void DevicePresent() override;
  void DeviceResize() override;
  bool DeviceRenderToARGB(uint32_t* pixels, int32_t width, int32_t height) override;
  void RecreateDevice() override;
  bool LoadPixmapARGB(const AnsiString& name, TArgbImage& image) override;
  bool LoadBuiltInPixmapARGB(const AnsiString& name, TArgbImage& image) override;
  bool WriteResource(const AnsiString& name, const std::vector<uint8_t>& bytes) override;

  // ---- TInputOwner ------------------------------------------------------------------
  bool HasEventQueue() const override { return event_ != nullptr; }
  void QueueEvent(TLowEvent* event) override;
  bool CursorSystem() const override { return cursorSystem_; }
  void ShowCursorSprite(bool visible) override;
  void SetPause(bool paused) override { setPause(paused); }

  // ---- TDeviceHost --------------------------------------------------------------------
  bool deviceLighting() override { return lighting_; }
  TColorARGB deviceBackground() override { return bkColor_; }
  float deviceScale() override { return scale_; }
  TPixmap* defaultSkinPixmap(TDevice* device) override;
  void drawScene(TDevice* device) override;
  bool isActive() override { return active_; }
  void requestUpdate() override { ++updateCounter_; }
  bool debugInfoVisible() override { return debugInfo_; }
  void setDebugInfo(const WideString& label, const WideString& value) override { setDebugValue(label, value); }
  double currentTime() override;
  void deviceReplaced(TDevice* device) override { device_ = device; }
  void reapplyWindowSize() override;
  TResourceMan* fontResourceManager() override { return resourceManager_; }
  TDevice* currentDevice() override { return device_; }
  TFilter* fontFilter() override;

 private:
  template <typename T>
  T* newService();
  bool createWindowAndDevice();
  void createServices();
  void loadDefaultResources();
  void runFirstChildLoad();
  void afterLoad();
  void createTopLayer();
  void loadStoredPreferences();
  void applyLoadedSettings();
  void registerScriptNames();
  void applyDeviceName(const WideString& name);
  void storeSettings();
  void saveLanguageTable();
  void freeServicesInOrder();
  void copyMaskToWindow();
  void updateCursor();
  void setClientSize(int32_t width, int32_t height);
  void resizeWindowToScale();
  int32_t scaledWidth() const;
  int32_t scaledHeight() const;

  bool scaleStored() const { return scale_ != 1.0f; }
  WideString bkColorText() const;
  void setBkColorText(const WideString& text);
  BaseObject* defaultSkin() const;

  std::unique_ptr<AppletParts> parts_;
  std::unique_ptr<TLanguageTable> languageTable_;
  // Published state.
  WideString usesList_;
  bool terminated_ = false;
  bool pause_ = false;
  float deltaTime_ = 0;
  float time_ = 0;
  // How far setTime put the applet time from the frame clock.
  float timeShift_ = 0;
  int32_t deviceIndex_ = -1;
  WideString deviceName_;
  float modelScale_ = 1.0f;
  bool consoleEnabled_ = true;
  bool effectInScript_ = false;
  bool boundsCulling_ = false;
  int32_t debugLevel_ = 0;
  bool debugInfo_ = false;
  bool debugWireFrame_ = false;
  bool debugDynamics_ = false;
  TColorARGB bkColor_ = 0xFF000000u;
  bool lighting_ = false;
  int32_t left_ = 100;
  int32_t top_ = 100;
  int32_t width_ = 801;
  int32_t height_ = 601;
  WideString title_ = u"untitled";
  WideString appname_;
  float scale_ = 1.0f;
  TWindowPlace place_ = normalPlace;
  AnsiString cursorFile_;
  bool cursorSystem_ = true;
  AnsiString iconFile_ = "icon.png";
  TWindowStyle style_ = systemStyle;
  int32_t frameRate_ = 0;
  bool storePreferenses_ = true;
  WideString maskFile_;
  TRectPersistent* maskMargin_ = nullptr;
  bool autoScale_ = false;
  int32_t autoScaleSizeX_ = 800;
  int32_t autoScaleSizeY_ = 600;
  bool fullScreen_ = false;
  std::vector<WideString> screenModes_;
  int32_t screenModeIndex_ = -1;
  WideString screenMode_;
  WideString onLoad_;
  WideString onFree_;
  WideString onKeyPress_;
  WideString onMouseWheel_;
  WideString onActivate_;
  WideString onDeactivate_;

  // Internal state.
  TWindow* window_ = nullptr;
  float startTime_ = 0;
  float previousPass_ = 0;
  float lastFrame_ = 0;
  float current_ = 0;
  bool active_ = true;
  TDevice* device_ = nullptr;
  Event* event_ = nullptr;
  TCache* cache_ = nullptr;
  TDynamicEngine* dynamicEngine_ = nullptr;
  TResourceMan* resourceManager_ = nullptr;
  TScriptEngine* scriptEngine_ = nullptr;
  int32_t updateCounter_ = 0;
  struct Viewport {
    float left = 0, top = 0, width = 0, height = 0, scale = 1;
  } viewport_;
  bool pendingFullScreen_ = false;
  WideString pendingDeviceName_;
  BaseObject* topLayer_ = nullptr;
  TPixmap* defaultPixmap_ = nullptr;
  VisualObject* cursor_ = nullptr;
  int32_t cursorHideCount_ = 0;
  bool firstChildPending_ = false;
  // Whether construction got past its window and device: only then were the
  // services, the tree and the settings made that destruction stores and frees.
  bool servicesMade_ = false;
  std::vector<std::pair<WideString, WideString>> debugValues_;
  float previousWidth_ = 801;
  float previousHeight_ = 601;
  float scriptTime_ = 0;
  int32_t visibleCount_ = 0;
  int32_t invisibleCount_ = 0;
};

// Lays a GUI holder's children (the applet's own, or a Dummy's) out over an
// area of the applet, moving corner-anchored children by the change of the
// area's right and bottom edge since the previous pair, which it updates; the
// GUI layout installs it (nothing until then).
extern void (*AlignChildrenHook)(BaseObject* holder, float& previousWidth, float& previousHeight, const TRectF& area);

// The applet an object belongs to, or nil.
Applet* AppletOf(const BaseObject* object);
