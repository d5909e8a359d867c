// Direct3D's fixed-function state as GL state, and the draws.
//
// Pixel centres: Direct3D puts them on whole screen coordinates, GL half a
// pixel further on; the viewport is moved by half a pixel (right and down on
// screen) so that the same vertex covers the same pixels. Depth: Direct3D
// projects to 0..1 and clips there; GL is asked to do the same (clip
// control). Drivers without float viewports or clip control get both from a
// correction after the projection instead.
#include <algorithm>
#include <cstring>

#include "compat/d3d8/internal/device.h"
#include "compat/d3d8/internal/settings.h"

namespace d3d8_internal {

namespace {
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      r.m[i][j] = sum;
    }
  }
  return r;
}

// A row-major matrix for row vectors is the column-major matrix GL applies
// to column vectors: the same sixteen floats.
void Load(GLenum mode, const D3DMATRIX& m) {
  glMatrixMode(mode);
  glLoadMatrixf(&m.m[0][0]);
}

void Colour(GLenum light, GLenum name, const D3DCOLORVALUE& c) {
  const float values[4] = {c.r, c.g, c.b, c.a};
  glLightfv(light, name, values);
}

void MaterialColour(GLenum name, const D3DCOLORVALUE& c) {
  const float values[4] = {c.r, c.g, c.b, c.a};
  glMaterialfv(GL_FRONT_AND_BACK, name, values);
}

GLenum CompareFunction(DWORD value) {
  switch (value) {
    case D3DCMP_NEVER:
      return GL_NEVER;
    case D3DCMP_LESS:
      return GL_LESS;
    case D3DCMP_EQUAL:
      return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
      return GL_LEQUAL;
    case D3DCMP_GREATER:
      return GL_GREATER;
    case D3DCMP_NOTEQUAL:
      return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
      return GL_GEQUAL;
    default:
      return GL_ALWAYS;
  }
}

GLenum BlendFactor(DWORD value) {
  switch (value) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
      return GL_SRC_ALPHA_SATURATE;
    default:
      return GL_ONE;
  }
}

GLenum BlendEquationOf(DWORD value) {
  switch (value) {
    case D3DBLENDOP_SUBTRACT:
      return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
      return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
      return GL_MIN;
    case D3DBLENDOP_MAX:
      return GL_MAX;
    default:
      return GL_FUNC_ADD;
  }
}

GLint MinFilter(DWORD min, DWORD mip) {
  bool linear = min == D3DTEXF_LINEAR || min == D3DTEXF_ANISOTROPIC;
  if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  if (mip == D3DTEXF_LINEAR) return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  return linear ? GL_LINEAR : GL_NEAREST;
}

GLint Wrap(DWORD address) {
  switch (address) {
    case D3DTADDRESS_MIRROR:
      return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
      return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
      return GL_CLAMP_TO_BORDER;
    default:
      return GL_REPEAT;
  }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST:
      return GL_POINTS;
    case D3DPT_LINELIST:
      return GL_LINES;
    case D3DPT_LINESTRIP:
      return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST:
      return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP:
      return GL_TRIANGLE_STRIP;
    default:
      return GL_TRIANGLE_FAN;
  }
}

// Vertices a number of primitives of a type takes; 0 for an unknown type.
uint64_t VerticesFor(D3DPRIMITIVETYPE type, uint64_t primitives) {
  switch (type) {
    case D3DPT_POINTLIST:
      return primitives;
    case D3DPT_LINELIST:
      return primitives * 2;
    case D3DPT_LINESTRIP:
      return primitives + 1;
    case D3DPT_TRIANGLELIST:
      return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return primitives + 2;
    default:
      return 0;
  }
}

// A stage argument as a GL combiner source and operand.
struct Source {
  GLint source;
  GLint operand;
};
Source SourceOf(DWORD argument, DWORD stage, bool alpha) {
  GLint source = GL_PRIMARY_COLOR;
  switch (argument & D3DTA_SELECTMASK) {
    case D3DTA_TEXTURE:
      source = GL_TEXTURE;
      break;
    case D3DTA_CURRENT:
      source = stage == 0 ? GL_PRIMARY_COLOR : GL_PREVIOUS;
      break;
    case D3DTA_TFACTOR:
      source = GL_CONSTANT;
      break;
    default:
      break;
  }
  bool complement = (argument & D3DTA_COMPLEMENT) != 0;
  if (alpha || (argument & D3DTA_ALPHAREPLICATE)) {
    return {source, complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA};
  }
  return {source, complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR};
}

// One half (colour or alpha) of a stage as a GL combiner.
void Combine(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, bool alpha) {
  const GLenum mode = alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB;
  const GLenum scale = alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE;
  const GLenum sources[2] = {static_cast<GLenum>(alpha ? GL_SOURCE0_ALPHA : GL_SOURCE0_RGB),
                             static_cast<GLenum>(alpha ? GL_SOURCE1_ALPHA : GL_SOURCE1_RGB)};
  const GLenum operands[2] = {static_cast<GLenum>(alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB),
                              static_cast<GLenum>(alpha ? GL_OPERAND1_ALPHA : GL_OPERAND1_RGB)};
  GLint combine = GL_MODULATE;
  float factor = 1;
  DWORD first = arg1, second = arg2;
  switch (op) {
    case D3DTOP_DISABLE:  // only the alpha half comes here: it passes on what it got
      combine = GL_REPLACE;
      first = D3DTA_CURRENT;
      break;
    case D3DTOP_SELECTARG1:
      combine = GL_REPLACE;
      break;
    case D3DTOP_SELECTARG2:
      combine = GL_REPLACE;
      first = arg2;
      break;
    case D3DTOP_MODULATE2X:
      factor = 2;
      break;
    case D3DTOP_MODULATE4X:
      factor = 4;
      break;
    case D3DTOP_ADD:
      combine = GL_ADD;
      break;
    default:
      break;
  }
  glTexEnvi(GL_TEXTURE_ENV, mode, combine);
  Source a = SourceOf(first, stage, alpha), b = SourceOf(second, stage, alpha);
  glTexEnvi(GL_TEXTURE_ENV, sources[0], a.source);
  glTexEnvi(GL_TEXTURE_ENV, operands[0], a.operand);
  glTexEnvi(GL_TEXTURE_ENV, sources[1], b.source);
  glTexEnvi(GL_TEXTURE_ENV, operands[1], b.operand);
  glTexEnvf(GL_TEXTURE_ENV, scale, factor);
}

// Direct3D transforms 2D texture coordinates as (u, v, 1, 0): the third row
// moves them. GL's (s, t, 0, 1) meets the same numbers in its fourth column.
void LoadTextureTransform(const D3DMATRIX& m, bool on) {
  float gl[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  if (on) {
    gl[0] = m.m[0][0];
    gl[1] = m.m[0][1];
    gl[4] = m.m[1][0];
    gl[5] = m.m[1][1];
    gl[12] = m.m[2][0];
    gl[13] = m.m[2][1];
  }
  glMatrixMode(GL_TEXTURE);
  glLoadMatrixf(gl);
}
}  // namespace

// ---- target, viewport, transforms -------------------------------------------------------------

UINT Device::targetHeight() const { return renderTarget_ ? renderTarget_->height() : 1; }

bool Device::BindTarget() {
  if (!core_->MakeCurrent() || !renderTarget_) return false;
  if (renderTarget_->onWindow()) {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (!(dirty_ & kDirtyTarget)) return true;
    glDrawBuffer(GL_BACK);
    dirty_ &= ~kDirtyTarget;
    // The window's framebuffer has only its own depth buffer.
    return !depthSurface_ || depthSurface_->onWindow();
  }
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, core_->drawFramebuffer);
  if (!(dirty_ & kDirtyTarget)) return true;
  glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, renderTarget_->texture(), 0);
  glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
  if (depthSurface_) {
    GLenum point = depthSurface_->format() == D3DFMT_D24S8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, point, GL_RENDERBUFFER, depthSurface_->PictureDepth());
  }
  glDrawBuffer(GL_COLOR_ATTACHMENT0);
  dirty_ &= ~kDirtyTarget;
  return glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// The GL viewport is twice the size of Direct3D's, around the same centre,
// and a scissor keeps drawing within Direct3D's: geometry is clipped at the
// viewport's pixel edges (as by a guard band), not half a pixel inside them.
// With float viewports the halving of clip coordinates is exact.
void Device::ApplyViewport() {
  const GLFeatures& gl = core_->gl;
  const D3DVIEWPORT8& vp = state_.viewport;
  auto height = static_cast<GLint>(targetHeight());
  GLint bottom = height - static_cast<GLint>(vp.Y + vp.Height);
  glDepthRange(vp.MinZ, vp.MaxZ);
  glScissor(static_cast<GLint>(vp.X), bottom, static_cast<GLsizei>(vp.Width), static_cast<GLsizei>(vp.Height));
  guard_ = Guard();
  if (gl.directCorrections()) {
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glViewportIndexedf(0, static_cast<float>(vp.X) + 0.5f - guard_.marginX,
                        static_cast<float>(bottom) - 0.5f - guard_.marginY, static_cast<float>(vp.Width) + 2 * guard_.marginX,
                        static_cast<float>(vp.Height) + 2 * guard_.marginY);
  } else {
    if (gl.clipControl) glClipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    auto marginX = static_cast<GLint>(guard_.marginX), marginY = static_cast<GLint>(guard_.marginY);
    glViewport(static_cast<GLint>(vp.X) - marginX, bottom - marginY, static_cast<GLsizei>(vp.Width) + 2 * marginX,
               static_cast<GLsizei>(vp.Height) + 2 * marginY);
  }
}

// Margins of half the viewport on each side where the driver takes such a
// viewport; whole pixels when the viewport's origin must be whole.
Device::GuardBand Device::Guard() const {
  const D3DVIEWPORT8& vp = state_.viewport;
  GuardBand guard;
  bool direct = core_->gl.directCorrections();
  if (2.0f * static_cast<float>(vp.Width) <= static_cast<float>(core_->gl.maxViewport)) {
    guard.marginX = direct ? static_cast<float>(vp.Width) / 2 : static_cast<float>(vp.Width / 2);
  }
  if (2.0f * static_cast<float>(vp.Height) <= static_cast<float>(core_->gl.maxViewport)) {
    guard.marginY = direct ? static_cast<float>(vp.Height) / 2 : static_cast<float>(vp.Height / 2);
  }
  return guard;
}

// After the projection: clip coordinates shrunk to the larger GL viewport;
// without float viewports and clip control also half a pixel right and down,
// and depth from 0..w to GL's -w..w.
D3DMATRIX Device::Correction() const {
  const D3DVIEWPORT8& vp = state_.viewport;
  float width = static_cast<float>(std::max<DWORD>(vp.Width, 1)) + 2 * guard_.marginX;
  float height = static_cast<float>(std::max<DWORD>(vp.Height, 1)) + 2 * guard_.marginY;
  D3DMATRIX c;
  c.m[0][0] = static_cast<float>(std::max<DWORD>(vp.Width, 1)) / width;
  c.m[1][1] = static_cast<float>(std::max<DWORD>(vp.Height, 1)) / height;
  c.m[2][2] = 1;
  c.m[3][3] = 1;
  if (!core_->gl.directCorrections()) {
    c.m[3][0] = 1.0f / width;
    c.m[3][1] = -1.0f / height;
    c.m[2][2] = 2;
    c.m[3][2] = -1;
  }
  return c;
}

void Device::ApplyTransforms() {
  Load(GL_PROJECTION, Multiply(state_.projection, Correction()));
  Load(GL_MODELVIEW, Multiply(state_.world, state_.view));
}

// ---- lighting ----------------------------------------------------------------------------------

// Lights are given in world space: they are placed under the view alone.
void Device::ApplyLights() {
  const auto& rs = state_.renderStates;
  if (rs[D3DRS_LIGHTING]) {
    glEnable(GL_LIGHTING);
  } else {
    glDisable(GL_LIGHTING);
  }
  D3DCOLOR ambient = rs[D3DRS_AMBIENT];
  const float global[4] = {static_cast<float>((ambient >> 16) & 0xFF) / 255,
                           static_cast<float>((ambient >> 8) & 0xFF) / 255, static_cast<float>(ambient & 0xFF) / 255,
                           static_cast<float>(ambient >> 24) / 255};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, global);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, rs[D3DRS_LOCALVIEWER] ? GL_TRUE : GL_FALSE);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, rs[D3DRS_SPECULARENABLE] ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
  Load(GL_MODELVIEW, state_.view);
  int used = 0;
  for (const auto& [index, slot] : state_.lights) {
    if (!slot.enabled || used >= 8) continue;
    const D3DLIGHT8& l = slot.light;
    GLenum light = GL_LIGHT0 + static_cast<GLenum>(used++);
    glEnable(light);
    Colour(light, GL_AMBIENT, l.Ambient);
    Colour(light, GL_DIFFUSE, l.Diffuse);
    Colour(light, GL_SPECULAR, l.Specular);
    if (l.Type == D3DLIGHT_DIRECTIONAL) {
      const float towards[4] = {-l.Direction.x, -l.Direction.y, -l.Direction.z, 0};
      glLightfv(light, GL_POSITION, towards);
      glLightf(light, GL_SPOT_CUTOFF, 180);
      glLightf(light, GL_CONSTANT_ATTENUATION, 1);
      glLightf(light, GL_LINEAR_ATTENUATION, 0);
      glLightf(light, GL_QUADRATIC_ATTENUATION, 0);
      continue;
    }
    const float position[4] = {l.Position.x, l.Position.y, l.Position.z, 1};
    glLightfv(light, GL_POSITION, position);
    bool noFalloff = l.Attenuation0 == 0 && l.Attenuation1 == 0 && l.Attenuation2 == 0;
    glLightf(light, GL_CONSTANT_ATTENUATION, noFalloff ? 1 : l.Attenuation0);
    glLightf(light, GL_LINEAR_ATTENUATION, l.Attenuation1);
    glLightf(light, GL_QUADRATIC_ATTENUATION, l.Attenuation2);
    if (l.Type == D3DLIGHT_SPOT) {
      const float direction[3] = {l.Direction.x, l.Direction.y, l.Direction.z};
      glLightfv(light, GL_SPOT_DIRECTION, direction);
      glLightf(light, GL_SPOT_CUTOFF, std::clamp(l.Phi * 90.0f / 3.14159265f, 0.0f, 90.0f));
    } else {
      glLightf(light, GL_SPOT_CUTOFF, 180);
    }
  }
  for (int i = used; i < 8; ++i) glDisable(GL_LIGHT0 + static_cast<GLenum>(i));
  dirty_ |= kDirtyTransforms;
}

// The material, and where lighting takes colours from: the vertex's diffuse
// colour stands for the material colours whose source says so.
void Device::ApplyMaterial(const FVFLayout& layout) {
  const auto& rs = state_.renderStates;
  bool normalise = rs[D3DRS_NORMALIZENORMALS] && layout.normal >= 0;
  if (normalise) {
    glEnable(GL_NORMALIZE);
  } else {
    glDisable(GL_NORMALIZE);
  }
  if (!rs[D3DRS_LIGHTING]) {
    glDisable(GL_COLOR_MATERIAL);
    return;
  }
  if (dirty_ & kDirtyMaterial) {
    const D3DMATERIAL8& m = state_.material;
    MaterialColour(GL_AMBIENT, m.Ambient);
    MaterialColour(GL_DIFFUSE, m.Diffuse);
    MaterialColour(GL_SPECULAR, rs[D3DRS_SPECULARENABLE] ? m.Specular : D3DCOLORVALUE{0, 0, 0, 0});
    MaterialColour(GL_EMISSION, m.Emissive);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m.Power, 0.0f, 128.0f));
    dirty_ &= ~kDirtyMaterial;
  }
  bool fromVertex = rs[D3DRS_COLORVERTEX] && layout.diffuse >= 0;
  bool diffuse = fromVertex && rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1;
  bool ambient = fromVertex && rs[D3DRS_AMBIENTMATERIALSOURCE] == D3DMCS_COLOR1;
  if (!diffuse && !ambient) {
    glDisable(GL_COLOR_MATERIAL);
    return;
  }
  glColorMaterial(GL_FRONT_AND_BACK, diffuse && ambient ? GL_AMBIENT_AND_DIFFUSE : (diffuse ? GL_DIFFUSE : GL_AMBIENT));
  glEnable(GL_COLOR_MATERIAL);
  // The vertex colours overwrite GL's material: it is set again next time.
  dirty_ |= kDirtyMaterial;
}

// ---- texture stages ---------------------------------------------------------------------------------

void Device::ApplyStages(const FVFLayout& layout, const uint8_t* vertices, UINT stride) {
  const GLFeatures& gl = core_->gl;
  int units = std::min<int>(D3D8_TEXTURE_STAGES, gl.textureUnits);
  int active = 0;
  while (active < units && state_.stageStates[active][D3DTSS_COLOROP] != D3DTOP_DISABLE) active += 1;
  bool stagesChanged = (dirty_ & kDirtyStages) != 0;
  for (int stage = 0; stage < units; ++stage) {
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
    glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
    if (stage >= active) {
      glDisable(GL_TEXTURE_2D);
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      continue;
    }
    const auto& ts = state_.stageStates[stage];
    glEnable(GL_TEXTURE_2D);
    Texture* texture = textures_[stage].get();
    glBindTexture(GL_TEXTURE_2D, texture ? texture->name() : whiteTexture_);
    if (texture) {
      texture->UseSampling(MinFilter(ts[D3DTSS_MINFILTER], ts[D3DTSS_MIPFILTER]),
                           ts[D3DTSS_MAGFILTER] == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR, Wrap(ts[D3DTSS_ADDRESSU]),
                           Wrap(ts[D3DTSS_ADDRESSV]));
    }
    if (stagesChanged) {
      glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
      DWORD factor = state_.renderStates[D3DRS_TEXTUREFACTOR];
      const float constant[4] = {static_cast<float>((factor >> 16) & 0xFF) / 255,
                                 static_cast<float>((factor >> 8) & 0xFF) / 255, static_cast<float>(factor & 0xFF) / 255,
                                 static_cast<float>(factor >> 24) / 255};
      glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, constant);
      Combine(static_cast<DWORD>(stage), ts[D3DTSS_COLOROP], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2], false);
      Combine(static_cast<DWORD>(stage), ts[D3DTSS_ALPHAOP], ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2], true);
      LoadTextureTransform(state_.textureTransforms[stage], ts[D3DTSS_TEXTURETRANSFORMFLAGS] == D3DTTFF_COUNT2);
    }
    // A stage reading a coordinate set the vertices do not have reads (0, 0).
    if (layout.texCoord >= 0 && (ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF) == 0) {
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, static_cast<GLsizei>(stride), vertices + layout.texCoord);
    } else {
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      glMultiTexCoord4f(GL_TEXTURE0 + static_cast<GLenum>(stage), 0, 0, 0, 1);
    }
  }
  glActiveTexture(GL_TEXTURE0);
  glClientActiveTexture(GL_TEXTURE0);
  glMatrixMode(GL_MODELVIEW);
  dirty_ &= ~kDirtyStages;
}

// ---- raster state -------------------------------------------------------------------------------------

void Device::ApplyRaster() {
  const auto& rs = state_.renderStates;
  // Culling by the winding seen on screen: the layer draws with GL's window
  // y pointing up the screen, so GL's counter-clockwise is the viewer's.
  if (rs[D3DRS_CULLMODE] == D3DCULL_NONE) {
    glDisable(GL_CULL_FACE);
  } else {
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_BACK : GL_FRONT);
  }
  GLenum fill = rs[D3DRS_FILLMODE] == D3DFILL_POINT ? GL_POINT : (rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL);
  glPolygonMode(GL_FRONT_AND_BACK, fill);
  glShadeModel(rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH);
  if (rs[D3DRS_ZENABLE] != D3DZB_FALSE && depthSurface_) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(CompareFunction(rs[D3DRS_ZFUNC]));
  } else {
    glDisable(GL_DEPTH_TEST);
  }
  glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
  if (rs[D3DRS_ALPHATESTENABLE]) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(CompareFunction(rs[D3DRS_ALPHAFUNC]), static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF) / 255);
  } else {
    glDisable(GL_ALPHA_TEST);
  }
  if (rs[D3DRS_ALPHABLENDENABLE]) {
    glEnable(GL_BLEND);
    glBlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
    glBlendEquation(BlendEquationOf(rs[D3DRS_BLENDOP]));
  } else {
    glDisable(GL_BLEND);
  }
  DWORD write = rs[D3DRS_COLORWRITEENABLE];
  glColorMask((write & D3DCOLORWRITEENABLE_RED) != 0, (write & D3DCOLORWRITEENABLE_GREEN) != 0,
              (write & D3DCOLORWRITEENABLE_BLUE) != 0, (write & D3DCOLORWRITEENABLE_ALPHA) != 0);
  if (rs[D3DRS_DITHERENABLE]) {
    glEnable(GL_DITHER);
  } else {
    glDisable(GL_DITHER);
  }
  glEnable(GL_SCISSOR_TEST);
}

// ---- vertex arrays -------------------------------------------------------------------------------------

void Device::ApplyArrays(const FVFLayout& layout, const uint8_t* vertices, UINT stride, UINT vertexCount) {
  auto step = static_cast<GLsizei>(stride);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, step, vertices);
  if (layout.normal >= 0) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, step, vertices + layout.normal);
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
    glNormal3f(0, 0, 0);
  }
  if (layout.diffuse < 0) {
    // Without a vertex colour Direct3D draws in opaque white.
    glDisableClientState(GL_COLOR_ARRAY);
    glColor4f(1, 1, 1, 1);
    return;
  }
  glEnableClientState(GL_COLOR_ARRAY);
  if (core_->gl.bgraVertexColours) {
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, step, vertices + layout.diffuse);
    return;
  }
  colourScratch_.resize(static_cast<size_t>(vertexCount) * 4);
  for (UINT i = 0; i < vertexCount; ++i) {
    const uint8_t* bgra = vertices + static_cast<size_t>(i) * stride + layout.diffuse;
    uint8_t* rgba = colourScratch_.data() + static_cast<size_t>(i) * 4;
    rgba[0] = bgra[2];
    rgba[1] = bgra[1];
    rgba[2] = bgra[0];
    rgba[3] = bgra[3];
  }
  glColorPointer(4, GL_UNSIGNED_BYTE, 0, colourScratch_.data());
}

bool Device::PrepareDraw(const FVFLayout& layout, const uint8_t* vertices, UINT stride, UINT vertexCount) {
  if (!BindTarget()) return false;
  if (dirty_ & kDirtyViewport) {
    ApplyViewport();
    dirty_ &= ~kDirtyViewport;
  }
  if (dirty_ & kDirtyLights) {
    ApplyLights();
    dirty_ &= ~kDirtyLights;
  }
  if (dirty_ & kDirtyTransforms) {
    ApplyTransforms();
    dirty_ &= ~kDirtyTransforms;
  }
  if (dirty_ & kDirtyRaster) {
    ApplyRaster();
    dirty_ &= ~kDirtyRaster;
  }
  ApplyMaterial(layout);
  ApplyStages(layout, vertices, stride);
  ApplyArrays(layout, vertices, stride, vertexCount);
  return true;
}

void Device::FinishDraw(const FVFLayout&) { CurrentCounts().drawn += 1; }

// ---- draws ------------------------------------------------------------------------------------------------

namespace {
HRESULT Refuse() {
  CurrentCounts().refused += 1;
  return D3DERR_INVALIDCALL;
}
}  // namespace

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
  FVFLayout layout;
  uint64_t count = VerticesFor(type, primitiveCount);
  if (!inScene_ || (count == 0 && primitiveCount > 0) || type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) {
    return Refuse();
  }
  if (primitiveCount == 0) return D3D_OK;
  if (!stream_ || stream_->locked() || !LayoutOf(fvf_, layout) || stride_ < UINT(layout.size)) return Refuse();
  if ((startVertex + count - 1) * stride_ + layout.size > stream_->length()) return Refuse();
  if (lost()) return D3D_OK;
  auto end = static_cast<UINT>(startVertex + count);
  if (!PrepareDraw(layout, stream_->data(), stride_, end)) return D3DERR_DRIVERINTERNALERROR;
  glDrawArrays(PrimitiveMode(type), static_cast<GLint>(startVertex), static_cast<GLsizei>(count));
  FinishDraw(layout);
  return D3D_OK;
}

// Every index is checked against the range the caller named, so a draw never
// reads past its vertices.
HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                     UINT primitiveCount) {
  FVFLayout layout;
  uint64_t count = VerticesFor(type, primitiveCount);
  if (!inScene_ || (count == 0 && primitiveCount > 0) || type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) {
    return Refuse();
  }
  if (primitiveCount == 0) return D3D_OK;
  if (!stream_ || !indices_ || stream_->locked() || indices_->locked() || !LayoutOf(fvf_, layout) ||
      stride_ < UINT(layout.size) || vertexCount == 0) {
    return Refuse();
  }
  int indexSize = indices_->indexSize();
  if ((uint64_t{startIndex} + count) * static_cast<uint64_t>(indexSize) > indices_->length()) return Refuse();
  uint64_t lastVertex = uint64_t{baseVertex_} + minIndex + vertexCount - 1;
  if (lastVertex * stride_ + static_cast<uint64_t>(layout.size) > stream_->length()) return Refuse();
  const uint8_t* indexBytes = indices_->data() + static_cast<size_t>(startIndex) * static_cast<size_t>(indexSize);
  for (uint64_t i = 0; i < count; ++i) {
    uint32_t index = 0;
    if (indexSize == 2) {
      uint16_t small = 0;
      std::memcpy(&small, indexBytes + i * 2, 2);
      index = small;
    } else {
      std::memcpy(&index, indexBytes + i * 4, 4);
    }
    if (index < minIndex || uint64_t{index} >= uint64_t{minIndex} + vertexCount) return Refuse();
  }
  if (lost()) return D3D_OK;
  const uint8_t* vertices = stream_->data() + static_cast<size_t>(baseVertex_) * stride_;
  if (!PrepareDraw(layout, vertices, stride_, minIndex + vertexCount)) return D3DERR_DRIVERINTERNALERROR;
  glDrawElements(PrimitiveMode(type), static_cast<GLsizei>(count),
                 indexSize == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT, indexBytes);
  FinishDraw(layout);
  return D3D_OK;
}

}  // namespace d3d8_internal
