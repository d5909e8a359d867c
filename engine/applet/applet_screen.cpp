// The applet's screen side: full screen and screen modes, automatic scaling
// with letterbox margins, the mapping of window pixels to applet units, the
// alignment of the children over the visible area, and the setters of the
// properties that touch the window or the device.
#include <algorithm>

#include "core/geometry/coordinates.h"
#include "core/resources/resource_man.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/applet/applet_numbers.h"
#include "engine/scene/dummy.h"
#include "engine/script_engine.h"
#include "platform/device.h"
#include "platform/device_registry.h"
#include "platform/platform.h"
#include "platform/win32/window.h"

namespace {
// The device's mode that is the desktop's own, or -1 for the desktop itself.
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

void Applet::setClientSize(int32_t width, int32_t height) {
  window_->width = width;
  window_->height = height;
  window_->backBufferWidth = width;
  window_->backBufferHeight = height;
}

void Applet::applyScreenMode() {
  if (firstChildPending_ || !window_ || !device_) return;
  const auto modeW = static_cast<float>(device_->ScreenModeWidth(screenModeIndex_));
  const auto modeH = static_cast<float>(device_->ScreenModeHeight(screenModeIndex_));
  if (autoScale_) {
    // The setters keep the design size at least 1.
    const auto sizeX = static_cast<float>(autoScaleSizeX_);
    const auto sizeY = static_cast<float>(autoScaleSizeY_);
    if (fullScreen_) {
      scale_ = SaneScale(std::min(modeH / sizeY, modeW / sizeX));
      setClientSize(std::max(kMinimumSize, RoundHalfEven(modeW / sizeX * static_cast<float>(width_))),
                    std::max(kMinimumSize, RoundHalfEven(modeH / sizeY * static_cast<float>(height_))));
      window_->marginX = RoundHalfEven((static_cast<float>(window_->width) - sizeX * scale_) / 2);
      window_->marginY = RoundHalfEven((static_cast<float>(window_->height) - sizeY * scale_) / 2);
    } else {
      scale_ = SaneScale(viewport_.scale);
      setClientSize(scaledWidth(), scaledHeight());
      window_->marginX = window_->marginY = 0;
    }
  } else {
    window_->marginX = window_->marginY = 0;
    if (fullScreen_) {
      width_ = SaneSize(RoundHalfEven(modeW / scale_), u"width");
      height_ = SaneSize(RoundHalfEven(modeH / scale_), u"height");
    } else if (viewport_.width > 0 && viewport_.height > 0) {
      // The window's client area in applet units: taking the pixels as they
      // stand would grow the window by the scale on every pass.
      width_ = SaneSize(RoundHalfEven(viewport_.width / scale_), u"width");
      height_ = SaneSize(RoundHalfEven(viewport_.height / scale_), u"height");
    }
    realignChildren();
    if (parts_) parts_->placeConsole(consoleRect());
    setClientSize(scaledWidth(), scaledHeight());
  }
  if (screenModeIndex_ >= 0 && screenModeIndex_ < static_cast<int32_t>(screenModes_.size())) {
    screenMode_ = screenModes_[static_cast<size_t>(screenModeIndex_)];
  }
  device_->FullScreen(fullScreen_, screenModeIndex_);
  LogInfo(FloatToWideStr(window_->width) + u"x" + FloatToWideStr(window_->height) + u":" +
          FloatToWideStr(window_->backBufferWidth) + u"x" + FloatToWideStr(window_->backBufferHeight));
  if (!fullScreen_ && platform()) {
    platform()->ReposWindow(window_, RoundHalfEven(viewport_.left), RoundHalfEven(viewport_.top));
    platform()->ResizeWindow(window_, window_->width, window_->height);
  }
  realignChildren();
}

void Applet::windowResized() {
  if (!device_ || !window_) return;
  if (!fullScreen_) {
    left_ = window_->left;
    top_ = window_->top;
    if (style_ != layerStyle) {
      const int32_t w = RoundHalfEven(static_cast<float>(window_->appliedWidth) / scale_);
      const int32_t h = RoundHalfEven(static_cast<float>(window_->appliedHeight) / scale_);
      // A window shrunk to nothing keeps the last real size.
      if ((w != width_ || h != height_) && w >= kMinimumSize && h >= kMinimumSize) {
        previousWidth_ = static_cast<float>(width_);
        previousHeight_ = static_cast<float>(height_);
        width_ = w;
        height_ = h;
        realignChildren();
      }
    }
    updateViewport();
  }
  if (parts_) parts_->placeConsole(consoleRect());
}

TRectF Applet::consoleRect() const {
  const float mx = static_cast<float>(marginX()) / scale_, my = static_cast<float>(marginY()) / scale_;
  return MakeRectF(-mx, -my, static_cast<float>(width_) + mx, static_cast<float>(height_) / 2);
}

namespace {
// Every GUI holder Dummy below `object` lays its children out from the size
// the applet had before: a Dummy's GUI covers the screen, so it follows each
// change of the screen's size as the applet's own GUI children do.
void RealignGuiHolders(BaseObject* object, float fromWidth, float fromHeight, const TRectF& area) {
  for (int i = 0; i < object->count(); ++i) {
    BaseObject* child = object->childAt(i);
    if (auto* dummy = dynamic_cast<Dummy*>(child); dummy && dummy->guiHolder()) {
      float width = fromWidth, height = fromHeight;
      AlignChildrenHook(dummy, width, height, area);
    }
    RealignGuiHolders(child, fromWidth, fromHeight, area);
  }
}
}  // namespace

void Applet::realignChildren() {
  const float fromWidth = previousWidth_, fromHeight = previousHeight_;
  const TRectF area = visibleArea();
  AlignChildrenHook(this, previousWidth_, previousHeight_, area);
  if (window_) RealignGuiHolders(this, fromWidth, fromHeight, area);
}

TRectF Applet::visibleArea() const {
  const float mx = static_cast<float>(marginX()) / scale_, my = static_cast<float>(marginY()) / scale_;
  return MakeRectF(-mx, -my, static_cast<float>(width_) + mx, static_cast<float>(height_) + my);
}

void Applet::alignGuiChildrenOf(BaseObject* holder) {
  // The applet's pair is only read: moving a holder's anchored children does
  // not use up the change that the applet's own children still follow.
  float width = previousWidth_, height = previousHeight_;
  AlignChildrenHook(holder, width, height, visibleArea());
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
  if (device_ && window_) {
    resizeWindowToScale();
    device_->Resize();
  }
}

void Applet::setWidth(int32_t value) {
  value = SaneSize(value, u"width");
  if (value == width_) return;
  previousWidth_ = static_cast<float>(width_);
  width_ = value;
  realignChildren();
  resizeWindowToScale();
}

void Applet::setHeight(int32_t value) {
  value = SaneSize(value, u"height");
  if (value == height_) return;
  previousHeight_ = static_cast<float>(height_);
  height_ = value;
  realignChildren();
  resizeWindowToScale();
}

void Applet::setAutoScaleSizeX(int32_t value) { autoScaleSizeX_ = SaneSize(value, u"autoScaleSizeX"); }
void Applet::setAutoScaleSizeY(int32_t value) { autoScaleSizeY_ = SaneSize(value, u"autoScaleSizeY"); }

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

void Applet::setPlace(TWindowPlace value) {
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
  if (window_ && !value.empty()) window_->maskFile = WideToAnsi(value);
}

void Applet::setMaskMargin(TRectPersistent* value) {
  if (value && maskMargin_ && value != maskMargin_) maskMargin_->Assign(*value);
  copyMaskToWindow();
}

void Applet::copyMaskToWindow() {
  if (!window_ || !maskMargin_) return;
  const TRectF r = maskMargin_->getRect();
  window_->maskLeft = r.left;
  window_->maskTop = r.top;
  window_->maskRight = r.right;
  window_->maskBottom = r.bottom;
  if (!maskFile_.empty()) window_->maskFile = WideToAnsi(maskFile_);
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
    WideString line = TrimW(ExtractTokenW(rest, u"\n"));
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
  LogInfo(u"set screenModeIndex " + DecimalText(index));
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
  const int index = FindDeviceClass(value);
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

WideString Applet::devices(int32_t index) const {
  if (index < 0 || index >= deviceCount()) return WideString();
  const TDeviceClass& cls = DeviceClasses()[static_cast<size_t>(index)];
  return cls.deviceName ? cls.deviceName() : WideString();
}

WideString Applet::bkColorText() const { return ColorToText(bkColor_); }
void Applet::setBkColorText(const WideString& text) { bkColor_ = ColorFromText(text); }

void Applet::setDebugLevel(int32_t value) {
  debugLevel_ = value;
  if (scriptEngine_) scriptEngine_->setDebugLevel(value);
}

void Applet::setDebugInfoVisible(bool value) {
  debugInfo_ = value;
  if (scriptEngine_) {
    // The script engine reports its collector's figures while the form shows.
    if (value) {
      scriptEngine_->setDebugValueSink([this](const WideString& n, const WideString& v) { setDebugValue(n, v); });
    } else {
      scriptEngine_->setDebugValueSink(nullptr);
    }
  }
  if (parts_ && topLayer_) parts_->showDebugForm(value);
}
