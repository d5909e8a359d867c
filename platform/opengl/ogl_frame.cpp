// One frame on the OpenGL device: clearing, the frame defaults, the lights,
// the scene, and for a layered window the read-back into its bitmap.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "compat/win32/gl_context.h"
#include "core/system/log.h"
#include "platform/device_host.h"
#include "platform/device_window.h"
#include "platform/opengl/ogl_device.h"

namespace {
void ColorToFloats(TColorARGB c, float out[4]) {
  out[0] = static_cast<float>((c >> 16) & 0xFF) / 255;
  out[1] = static_cast<float>((c >> 8) & 0xFF) / 255;
  out[2] = static_cast<float>(c & 0xFF) / 255;
  out[3] = static_cast<float>(c >> 24) / 255;
}
}  // namespace

uint32_t TOGLDevice::DeviceColor(TColorARGB c) const {
  return (c & 0xFF00FF00) | ((c >> 16) & 0xFF) | ((c & 0xFF) << 16);
}

void TOGLDevice::ApplyFrameDefaults() {
  glShadeModel(GL_SMOOTH);
  glPolygonMode(GL_FRONT, GL_FILL);
  glEnable(GL_BLEND);
  glEnable(GL_ALPHA_TEST);
  SetRenderState(rsBlendAlpha);
  glEnable(GL_TEXTURE_2D);
  glFrontFace(GL_CCW);
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT, GL_DIFFUSE);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
  // Lit faces get light from the window's lights alone, as on the Direct3D
  // device: OpenGL's own scene ambient (a fifth of the material's ambient)
  // would make the same scene brighter here.
  const float noAmbient[4] = {0, 0, 0, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
  glEnable(GL_NORMALIZE);
}

// Each enabled light becomes a directional light shining from vector2
// towards vector1, placed under the projection it belongs to.
void TOGLDevice::ApplyLights() {
  const TLightTable& lights = windowParts().lights;
  for (int i = 0; i < kMaxWindowLights; ++i) {
    const TLightEntry& entry = lights.entries[i];
    if (!entry.enabled) continue;
    float colour[4];
    ColorToFloats(entry.ambient, colour);
    glLightfv(GL_LIGHT0 + i, GL_AMBIENT, colour);
    ColorToFloats(entry.diffuse, colour);
    glLightfv(GL_LIGHT0 + i, GL_DIFFUSE, colour);
    ColorToFloats(entry.specular, colour);
    glLightfv(GL_LIGHT0 + i, GL_SPECULAR, colour);
    SetRenderState(entry.screenSpace ? rs2D : rs3D);
    TVector4F towardsLight = VecNormalized(VecSub(entry.vector2, entry.vector1));
    const float position[4] = {towardsLight.x, towardsLight.y, towardsLight.z, 0};
    glLightfv(GL_LIGHT0 + i, GL_POSITION, position);
  }
}

void TOGLDevice::Render() {
  if (!ready()) return;
  bool layered = isLayered();
  if (!layered && framePending()) return;
  MakeCurrent();
  TWindowSize size = WindowAppliedSize(window());
  glViewport(0, 0, size.width, size.height);
  if (layered) {
    RenderLayered();
    setFramePending(true);
    return;
  }
  TColorARGB background = hostBackground();
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glClearDepth(1.0);
  glClearColor(static_cast<float>((background >> 16) & 0xFF) / 255, static_cast<float>((background >> 8) & 0xFF) / 255,
               static_cast<float>(background & 0xFF) / 255, 0);
  glClear(background != 0 ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_DEPTH_BUFFER_BIT);
  ApplyFrameDefaults();
  ApplyLights();
  RenderScene();
  FlushDrawing();
  setFramePending(true);
}

// The colour mask is opened before every clear, so the alpha of one frame
// never survives into the next.
void TOGLDevice::ClearOffscreen() {
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Rows bottom-up, as the window's bitmap keeps them.
void TOGLDevice::ReadFrame(uint32_t* destination) {
  FlushDrawing();
  TWindowSize size = WindowAppliedSize(window());
  if (!destination || size.width < 1 || size.height < 1) return;
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  if (gl_.bgra) {
    glReadPixels(0, 0, size.width, size.height, GL_BGRA, GL_UNSIGNED_BYTE, destination);
    return;
  }
  glReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_UNSIGNED_BYTE, destination);
  size_t count = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
  for (size_t i = 0; i < count; ++i) destination[i] = DeviceColor(destination[i]);
}

void TOGLDevice::RenderLayered() {
  offscreen_.Bind();
  uint32_t* bits = WindowLayeredBits(window());
  if (!gl_.blendFuncSeparate) {
    RenderLayeredTwoPass();
    return;
  }
  ClearOffscreen();
  ApplyFrameDefaults();
  ApplyLights();
  RenderScene();
  ReadFrame(bits);
  ClearOffscreen();
}

// Without separate alpha blending: one pass writes the alpha alone, a second
// the colours, and the two are put together.
void TOGLDevice::RenderLayeredTwoPass() {
  TWindowSize size = WindowAppliedSize(window());
  uint32_t* bits = WindowLayeredBits(window());
  size_t count = static_cast<size_t>(std::max(size.width, 0)) * static_cast<size_t>(std::max(size.height, 0));
  alphaPass_.assign(count, 0);
  ClearOffscreen();
  ApplyFrameDefaults();
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  alphaPassActive_ = true;
  ApplyLights();
  RenderScene();
  alphaPassActive_ = false;
  ReadFrame(alphaPass_.data());
  ClearOffscreen();
  ApplyFrameDefaults();
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  ApplyLights();
  RenderScene();
  ReadFrame(bits);
  ClearOffscreen();
  if (!bits) return;
  for (size_t i = 0; i < count; ++i) bits[i] = (bits[i] & 0xFFFFFF) | (alphaPass_[i] & 0xFF000000);
}

void TOGLDevice::Present() {
  FlushDrawing();
  if (!framePending()) return;
  if (ready() && !isLayered()) {
    MakeCurrent();
    SwapBuffers(dc_);
  }
  setFramePending(false);
}

void TOGLDevice::Resize() {
  if (!ready()) return;
  MakeCurrent();
  if (isLayered()) CreatePBuffer();
  TWindowSize size = WindowAppliedSize(window());
  glViewport(0, 0, size.width, size.height);
  BuildRenderStates();
  Render();
}

void TOGLDevice::CreatePBuffer() {
  if (!ready()) return;
  MakeCurrent();
  TWindowSize size = WindowAppliedSize(window());
  // The off-screen buffer has the window's pixel format.
  if (accelerated_) {
    LogInfo(W("OGL hardware accelerated mode"));
  } else {
    LogError(W("OGL software mode"));
  }
  offscreen_.Create(gl_, size.width, size.height);
}

// A frame rendered for the caller and read back top-down; the frame that may
// be waiting to be shown is left as it was.
bool TOGLDevice::RenderToARGB(uint32_t* destination) {
  TWindowSize size = WindowAppliedSize(window());
  if (!ready() || !destination || size.width < 1 || size.height < 1) return false;
  MakeCurrent();
  bool pending = framePending();
  setFramePending(false);
  if (isLayered()) {
    Render();
    std::vector<uint32_t> rows(static_cast<size_t>(size.width) * static_cast<size_t>(size.height));
    uint32_t* bits = WindowLayeredBits(window());
    if (bits) std::memcpy(rows.data(), bits, rows.size() * 4);
    for (int32_t y = 0; y < size.height; ++y) {
      std::memcpy(destination + static_cast<size_t>(y) * size.width,
                  rows.data() + static_cast<size_t>(size.height - 1 - y) * size.width,
                  static_cast<size_t>(size.width) * 4);
    }
  } else {
    Render();
    std::vector<uint32_t> rows(static_cast<size_t>(size.width) * static_cast<size_t>(size.height));
    ReadFrame(rows.data());
    for (int32_t y = 0; y < size.height; ++y) {
      std::memcpy(destination + static_cast<size_t>(y) * size.width,
                  rows.data() + static_cast<size_t>(size.height - 1 - y) * size.width,
                  static_cast<size_t>(size.width) * 4);
    }
  }
  setFramePending(pending);
  return true;
}
