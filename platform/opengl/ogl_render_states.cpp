// Render states as display lists, recorded once per build and called when a
// state is switched on; the states that depend on what changes between
// builds (the view matrix, lighting and the lights that are on, blending) are
// applied directly.
#include "platform/device_host.h"
#include "platform/opengl/ogl_device.h"

namespace {
void LoadMatrix(GLenum mode, const TMatrix4F& m) {
  glMatrixMode(mode);
  glLoadMatrixf(m.m);
}
}  // namespace

void TOGLDevice::BuildRenderState(TRenderState state) {
  if (!ready() || state >= kRecordedStateCount) return;
  MakeCurrent();
  FlushDrawing();
  GLuint& list = lists_[state];
  if (!list) list = glGenLists(1);
  if (!list) return;
  stateHandles()[state] = list;
  glNewList(list, GL_COMPILE);
  RecordState(state);
  glEndList();
}

void TOGLDevice::RecordState(TRenderState state) {
  switch (state) {
    case rs2D:
      LoadMatrix(GL_PROJECTION, Projection2D());
      LoadMatrix(GL_TEXTURE, IdentityMatrix4F);
      LoadMatrix(GL_MODELVIEW, IdentityMatrix4F);
      break;
    case rs3D:
      LoadMatrix(GL_PROJECTION, Projection3D());
      LoadMatrix(GL_MODELVIEW, IdentityMatrix4F);
      break;
    case rsLightOn:  // applied directly: the applet's lighting switch may change after recording
      break;
    case rsLightOff:
      glDisable(GL_LIGHTING);
      break;
    case rsDepthTestOn:
      glEnable(GL_DEPTH_TEST);
      glDepthFunc(GL_LEQUAL);
      glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
      break;
    case rsDepthTestOff:
      glDisable(GL_DEPTH_TEST);
      break;
    case rsCullBack:
      glCullFace(GL_BACK);
      break;
    case rsCullFront:
      glCullFace(GL_FRONT);
      break;
    case rsFilterNearest:
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      break;
    case rsFilterLinear:
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
      break;
    case rsTextureOff:
      glDisable(GL_TEXTURE_2D);
      break;
    case rsTextureDecal:
      glEnable(GL_TEXTURE_2D);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
      break;
    case rsTextureModulate:
      glEnable(GL_TEXTURE_2D);
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
      break;
    default:  // depth writes are not switched on this device; blending is applied directly
      break;
  }
}

// The lights of the projection just switched to. Read from the window's table
// at every switch, so a light set after the states were built shines at once.
void TOGLDevice::ApplyWindowLights(bool screenSpace) {
  const TLightTable& lights = windowParts().lights;
  for (int i = 0; i < kMaxWindowLights; ++i) {
    const TLightEntry& entry = lights.entries[i];
    if (entry.enabled && entry.screenSpace == screenSpace) {
      glEnable(GL_LIGHT0 + i);
    } else {
      glDisable(GL_LIGHT0 + i);
    }
  }
}

void TOGLDevice::ApplyRenderState(TRenderState state) {
  if (!ready()) return;
  FlushDrawing();
  if ((state == rsTextureDecal || state == rsTextureModulate) && RenderStateOn(rsWireframe)) return;
  if (state < kRecordedStateCount && lists_[state]) glCallList(lists_[state]);
  bool separate = isLayered() && gl_.blendFuncSeparate;
  switch (state) {
    case rs2D:
      ApplyWindowLights(true);
      break;
    case rs3D:
      ApplyWindowLights(false);
      glMatrixMode(GL_MODELVIEW);
      glLoadMatrixf(windowParts().camera.view.m);
      break;
    case rsLightOn:
      if (hostLighting()) glEnable(GL_LIGHTING);
      break;
    case rsBlendAdd:
      if (alphaPassActive_) break;
      if (separate) {
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
      } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      }
      break;
    case rsBlendAlpha:
      if (alphaPassActive_) break;
      if (separate) {
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
      } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      }
      break;
    case rsWireframe:
      glPolygonMode(GL_FRONT, GL_LINE);
      break;
    case rsSolid:
      glPolygonMode(GL_FRONT, GL_FILL);
      break;
    default:
      break;
  }
}
