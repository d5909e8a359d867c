// The applet's running side: the pass the main loop runs (runStep) with the
// frame-rate rule, the frame itself (tick), the window operations, pause and
// activation.
#include <algorithm>

#include "compat/win32/system.h"
#include "core/objects/script_watch.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/applet/applet_numbers.h"
#include "engine/cache/cache.h"
#include "engine/event.h"
#include "engine/physics/dynamic_engine.h"
#include "platform/device.h"
#include "platform/platform.h"
#include "platform/win32/window.h"

float Applet::clock() const { return platform() ? platform()->GetCurrentTime() - startTime_ : 0.0f; }

double Applet::currentTime() { return platform() ? platform()->GetCurrentTime() : 0.0; }

int32_t Applet::runStep() {
  // A handler waiting for frames (a modal wait, an effect) is not running.
  NoteScriptWaitedForFrames();
  // A game that keeps a little more every frame ends, said once, in order.
  if (GameMemoryOverBound()) {
    terminate();
    return 1;
  }
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
  // A frame on every pass. When nothing asked for one the frame is empty, and
  // the caller rests a millisecond instead of spinning the processor.
  const bool wanted = updateCounter_ != 0;
  tick(time_, deltaTime_);
  return wanted ? 0 : 1;
}

void Applet::tick(double time, double delta) {
  if (updateCounter_ == 0) return;
  BusyScope busy(this);
  updateCounter_ = 0;
  updateCursor();
  visibleCount_ = 0;
  invisibleCount_ = 0;
  const double renderStart = debugInfo_ ? currentTime() : 0.0;
  repaint();
  if (debugInfo_) setDebugValue(u"Rendering", DebugSecondsText(currentTime() - renderStart));
  scriptTime_ = 0;
  const double tickStart = debugInfo_ ? currentTime() : 0.0;
  inherited::tick(time, delta);
  runHandler(WideString(onTick()));
  if (device_) device_->Tick(static_cast<float>(delta));
  if (event_) event_->processQueue();
  if (dynamicEngine_) dynamicEngine_->StepWorlds(static_cast<float>(delta));
  if (debugInfo_) {
    setDebugValue(u"Objects", DecimalText(static_cast<int64_t>(BaseObject::liveObjectCount())));
    setDebugValue(u"Scripting", DebugSecondsText(scriptTime_));
    setDebugValue(u"DeltaTime", DebugSecondsText(delta));
    setDebugValue(u"ProcessTick", DebugSecondsText(currentTime() - tickStart));
    if (window_) setDebugValue(u"Wnd Size:", DecimalText(window_->appliedWidth) + u"x" + DecimalText(window_->appliedHeight));
    setDebugValue(u"Vis/Invis", DecimalText(visibleCount_) + u"/" + DecimalText(invisibleCount_));
    if (cache_) cache_->logStatistics();
  }
  // The frame's handlers may have ended the applet and its services.
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
    parts_->placeCursor(x, y);
  }
  cursor_->bringToFront();
}

// ---- window operations ---------------------------------------------------------------------

int32_t Applet::scaledWidth() const { return std::max(kMinimumSize, RoundHalfEven(static_cast<float>(width_) * scale_)); }

int32_t Applet::scaledHeight() const {
  return std::max(kMinimumSize, RoundHalfEven(static_cast<float>(height_) * scale_));
}

void Applet::resizeWindowToScale() {
  if (platform() && window_) platform()->ResizeWindow(window_, scaledWidth(), scaledHeight());
}

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
  window_ = platform()->CreateWindow(this, className() + "Wnd", title_, static_cast<TWindowKind>(style_), scaledWidth(),
                                     scaledHeight(), left_, top_);
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
  window_->place = static_cast<TWindowStacking>(place_);
  window_->title = title_;
  platform()->UpdateWindowState(window_);
}

void Applet::activate() {
  LogInfo(u"activate");
  setPause(false);
  if (event_ && event_->mouseAsquired() && platform() && window_) platform()->AcquireMouse(window_);
  runHandler(WideString(onActivate_));
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
  if (!consoleEnabled_ || !parts_) return;
  parts_->toggleConsole();
}

void Applet::setPause(bool value) {
  if (value == pause_) return;
  if (pause_ && !value) {
    // Resuming restarts the clocks, so the pause is no long frame.
    current_ = previousPass_ = lastFrame_ = clock();
    deltaTime_ = 0;
  }
  pause_ = value;
  if (parts_) parts_->setSoundPause(value);
}
