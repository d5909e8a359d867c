#include "platform/device.h"

#include <algorithm>
#include <cstdio>

#include "core/system/log.h"
#include "platform/caret.h"
#include "platform/device_host.h"
#include "platform/device_window.h"

TDynamicMeshCapacity& DynamicMeshCapacity() {
  static TDynamicMeshCapacity capacity;
  return capacity;
}

void TFrameStatistics::AddFrame(float time) {
  now = time;
  timeInWindow += now - lastTime;
  lastTime = now;
  framesInWindow += 1;
  if (timeInWindow > 1) {
    fps = static_cast<float>(framesInWindow) / timeInWindow;
    maxFps = std::max(maxFps, fps);
    avgFps = (avgFps + fps) / 2;
    timeInWindow = 0;
    framesInWindow = 0;
  }
}

// ---- construction ---------------------------------------------------------------

void TDevice::CreateOnWindow(TWindow* window) {
  inherited::Create(WindowAppletObject(window));
  LogInfo(DeviceName() + W(" device manager stared"));
  screenModes_.clear();
  window_ = window;
  if (!host_) host_ = WindowDeviceHost(window);
  pixelOffset_ = 0;
}

void TDevice::Destroy() {
  FreeAndNil(ownParts_.caret);
  screenModes_.clear();
  LogInfo(DeviceName() + W(" device manager closed"));
  inherited::Destroy();
}

// ---- window and host ----------------------------------------------------------------

TDevicePartsRef TDevice::windowParts() { return WindowDeviceParts(window_, ownParts_); }

int32_t TDevice::windowWidth() const { return WindowAppliedSize(window_).width; }
int32_t TDevice::windowHeight() const { return WindowAppliedSize(window_).height; }

float TDevice::hostScale() const { return host_ ? host_->deviceScale() : 1.0f; }
bool TDevice::hostLighting() const { return host_ ? host_->deviceLighting() : true; }
TColorARGB TDevice::hostBackground() const { return host_ ? host_->deviceBackground() : 0; }
TPixmap* TDevice::defaultSkin() { return host_ ? host_->defaultSkinPixmap(this) : nullptr; }

// ---- registry of pixmaps and meshes -----------------------------------------------------

void TDevice::UnregisterPixmap(TPixmap* pixmap) {
  auto it = std::find(pixmaps_.begin(), pixmaps_.end(), pixmap);
  if (it != pixmaps_.end()) pixmaps_.erase(it);
  for (TPixmap*& bound : boundPixmaps_) {
    if (bound == pixmap) bound = nullptr;
  }
}

void TDevice::UnregisterMesh(TMesh* mesh) {
  auto it = std::find(meshes_.begin(), meshes_.end(), mesh);
  if (it != meshes_.end()) meshes_.erase(it);
  if (lastMesh_ == mesh) lastMesh_ = nullptr;
  if (dynamicMesh_ == mesh) dynamicMesh_ = nullptr;
  if (dynamicMesh2_ == mesh) dynamicMesh2_ = nullptr;
}

void TDevice::DestroyResources() {
  while (!pixmaps_.empty()) DestroyPixmap(pixmaps_.back());
  while (!meshes_.empty()) DestroyMesh(meshes_.back());
}

// ---- render states -------------------------------------------------------------------

void TDevice::SetRenderState(TRenderState state) {
  if (!IsRenderState(state) || stateFlags_[state]) return;
  stateChanges_ += 1;
  stateFlags_[state] = true;
  const TRenderStatePartners& partners = RenderStatePartners(state);
  for (int i = 0; i < partners.count; ++i) stateFlags_[partners.states[i]] = false;
  ApplyRenderState(state);
}

void TDevice::saveRenderState() {
  saveArea_.flags = stateFlags_;
  saveArea_.worldMatrix = worldMatrix_;
  saveArea_.material = material_;
}

// Flags are not cleared first: a state that is on now stays on.
void TDevice::restoreRenderState() {
  FlushDrawing();
  worldMatrix_ = saveArea_.worldMatrix;
  SetMaterial(saveArea_.material);
  for (int id = 0; id < kRenderStateCount; ++id) {
    if (saveArea_.flags[id]) SetRenderState(static_cast<TRenderState>(id));
  }
}

void TDevice::BuildRenderStates() {
  for (int id = 0; id < kRecordedStateCount; ++id) BuildRenderState(static_cast<TRenderState>(id));
}

// ---- matrices and colour ------------------------------------------------------------------

void TDevice::SetWorldMatrix(const TMatrix4F& matrix) {
  worldMatrix_ = matrix;
  if (stateFlags_[rs2D]) {
    worldMatrix_(3, 0) += pixelOffset_;
    worldMatrix_(3, 1) += pixelOffset_;
  }
}

void TDevice::SetColor(TColorARGB color) { SetMaterial(FlatMaterial(color)); }

// ---- frames ---------------------------------------------------------------------------

void TDevice::ResetFrameState() {
  if (dynamicMesh_) dynamicMesh_->resetBatch();
  if (dynamicMesh2_) dynamicMesh2_->resetBatch();
  triangleCount_ = 0;
  particleCount_ = 0;
  lastFormat_ = 8;
  stateChanges_ = 0;
  stateFlags_.fill(false);
  boundPixmaps_.fill(nullptr);
  lastMesh_ = nullptr;
  material_ = TMaterial{};
}

void TDevice::RenderScene() {
  FlushDrawing();
  ResetFrameState();
  SetWorldMatrix(IdentityMatrix4F);
  if (host_) host_->drawScene(this);
  DrawCaretQuad();
  statistics_.AddFrame(host_ ? static_cast<float>(host_->currentTime()) : statistics_.now);
  ShowDebugInfo();
}

void TDevice::DrawCaretQuad() {
  TCaret* caret = windowParts().caret;
  if (!caret || caret->showCount <= 0) return;
  SetWorldMatrix(caret->worldMatrix);
  SetColor(caret->CurrentColor());
  FillRectF(MakeRectF(static_cast<float>(caret->x), static_cast<float>(caret->y),
                      static_cast<float>(caret->x + caret->width), static_cast<float>(caret->y + caret->height)),
            1);
}

void TDevice::Redraw() {
  if (framePending_) Present();
  Render();
  if (framePending_) Present();
}

void TDevice::Tick(float deltaTime) {
  if (growRequested_) {
    GrowDynamicMesh();
    growRequested_ = false;
  }
  if (TCaret* caret = windowParts().caret) BlinkCaret(caret, deltaTime);
}

namespace {
WideString Formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return AnsiToWide(text);
}
WideString FormattedInt(const char* format, int32_t value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return AnsiToWide(text);
}
}  // namespace

void TDevice::ShowDebugInfo() {
  if (!host_ || !host_->debugInfoVisible()) return;
  host_->setDebugInfo(W("Render:"), DeviceName());
  host_->setDebugInfo(W("FPS:"), Formatted("%4.2f", statistics_.fps));
  host_->setDebugInfo(W("Avg FPS:"), Formatted("%4.2f", statistics_.avgFps));
  host_->setDebugInfo(W("Max FPS:"), Formatted("%4.2f", statistics_.maxFps));
  host_->setDebugInfo(W("Tri Count:"), FormattedInt("%6d", triangleCount_));
  host_->setDebugInfo(W("Buffer Size:"),
                      FormattedInt("%d", windowWidth()) + W("x") + FormattedInt("%d", windowHeight()));
  host_->setDebugInfo(W("Pixmap N:"), FormattedInt("%d", static_cast<int32_t>(pixmaps_.size())));
  host_->setDebugInfo(W("Mesh N:"), FormattedInt("%d", static_cast<int32_t>(meshes_.size())));
  host_->setDebugInfo(W("States:"), FormattedInt("%d", stateChanges_));
  host_->setDebugInfo(W("Particle Count:"), FormattedInt("%d", particleCount_));
}

void TDevice::LogStatistics() {
  LogInfo(W("==== Device statistics =========="));
  LogInfo(Formatted("Max FPS: %4.2f", statistics_.maxFps));
  LogInfo(Formatted("Avg FPS: %4.2f", statistics_.avgFps));
  LogInfo(W("==== Device statistics finish ==="));
}
