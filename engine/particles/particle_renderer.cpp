#include "engine/particles/particle_renderer.h"

#include <algorithm>
#include <cmath>

#include "core/geometry/coordinates.h"
#include "core/objects/engine.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "engine/media/pixmap_persistent.h"
#include "engine/particles/particle.h"
#include "engine/particles/particle_renderers.h"
#include "platform/device.h"

namespace {
constexpr char16_t kDefaultParticlePixmap[] = u"defaultpfx.pixmap";
constexpr float kSpunDepth = 0.9f;

// The two triangles of quad q of a batch starting at vertex `first`.
void WriteQuadIndices(uint16_t* out, int32_t first, int32_t q) {
  auto b = static_cast<uint16_t>(first + 4 * q);
  out[0] = static_cast<uint16_t>(b + 1);
  out[1] = b;
  out[2] = static_cast<uint16_t>(b + 3);
  out[3] = static_cast<uint16_t>(b + 3);
  out[4] = static_cast<uint16_t>(b + 2);
  out[5] = static_cast<uint16_t>(b + 1);
}

// The most quads one batch of the mesh can take.
int32_t QuadsPerBatch(const TMesh& mesh) {
  return std::min({std::min(mesh.vertexCount, kMaxIndexedVertices) / 4, mesh.indexCount / 6});
}

TVector4F Combine(const TVector4F& a, const TVector4F& b, float sa, float sb) {
  return MakeVector4F(a.x * sa + b.x * sb, a.y * sa + b.y * sb, a.z * sa + b.z * sb, 0);
}
}  // namespace

// What every quad of one pass shares: the corner offsets of an unspun quad
// of edge 1, in the order top-left, top-right, bottom-right, bottom-left.
struct ParticleRenderer::Pass {
  TPositionObjectKind kind = okScreen;
  TVector4F right{1, 0, 0, 0};
  TVector4F up{0, -1, 0, 0};

  Pass(TDevice& device, TPositionObjectKind passKind) : kind(passKind) {
    if (kind != okSpace) return;
    const TCameraRecord& camera = device.windowParts().camera;
    TVector4F side = VecCross(camera.direction, camera.up);
    if (VecLengthSq(side) == 0) return;
    side = VecNormalized(side);
    // The cross product points to the screen's left in the camera's frame.
    right = MakeVector4F(-side.x, -side.y, -side.z, 0);
    up = VecNormalized(VecCross(VecScale(camera.direction, -1), side));
    up.w = 0;
  }

  void write(TVertexPCT* out, const TParticle& particle, const TParticleLook& look, uint32_t color,
             const TRectF& uv) const {
    const float half = look.scale / 2;
    TVector4F r = VecScale(right, half);
    TVector4F u = VecScale(up, half);
    float depth = kind == okSpace ? particle.position.z : 0;
    if (look.spin != 0) {
      float s = 0, c = 1;
      SinCosF(DegreesToRadians(look.spin), s, c);
      const TVector4F spunRight = Combine(r, u, c, s);
      u = Combine(u, r, c, -s);
      r = spunRight;
      if (kind != okSpace) depth = kSpunDepth;
    }
    const TVector4F& p = particle.position;
    const auto corner = [&](float sr, float su, float tu, float tv) {
      return MakeVertexPCT(p.x + sr * r.x + su * u.x, p.y + sr * r.y + su * u.y,
                           kind == okSpace ? p.z + sr * r.z + su * u.z : depth, color, tu, tv);
    };
    out[0] = corner(-1, 1, uv.left, uv.top);
    out[1] = corner(1, 1, uv.right, uv.top);
    out[2] = corner(1, -1, uv.right, uv.bottom);
    out[3] = corner(-1, -1, uv.left, uv.bottom);
  }
};

const ClassInfo& ParticleRenderer::staticClassInfo() {
  using R = ParticleRenderer;
  static const ClassInfo info = ClassBuilder<R>("ParticleRenderer")
                                    .property("zWrite", &R::zWrite_).defaultValue(0)
                                    .property("zCull", &R::zCull_).defaultValue(0)
                                    .property("depthSort", &R::depthSort_).defaultValue(0)
                                    .property("pixmapFile", &R::pixmapFile, &R::setPixmapFile)
                                    .property("blendingMode", &R::blendingMode_).defaultValue(bmAdditive)
                                    .method("clearParticles", &R::clearParticles)
                                    .build();
  return info;
}

void ParticleRenderer::Create(TObject* owner) {
  inherited::Create(owner);
  blendingMode_ = bmAdditive;
  // A renderer read from a file may have named its own pixmap meanwhile.
  defaultPixmapPending_ = !pixmap_;
}

void ParticleRenderer::Destroy() {
  if (TParticleRenderers* renderers = ParticleRenderersOf(this)) renderers->forget(this);
  // The effects hear of the renderer's end through their watch.
  for (ParticleEffect* effect : effects_) unwatchRemovalOf(effect);
  effects_.clear();
  releasePixmap();
  inherited::Destroy();
}

void ParticleRenderer::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  auto found = std::find(effects_.begin(), effects_.end(), object);
  if (found != effects_.end()) effects_.erase(found);
}

void ParticleRenderer::addEffect(ParticleEffect* effect) {
  if (!effect || std::find(effects_.begin(), effects_.end(), effect) != effects_.end()) return;
  effects_.push_back(effect);
  watchRemovalOf(effect);
}

void ParticleRenderer::removeEffect(ParticleEffect* effect) {
  auto found = std::find(effects_.begin(), effects_.end(), effect);
  if (found == effects_.end()) return;
  effects_.erase(found);
  unwatchRemovalOf(effect);
}

void ParticleRenderer::clearParticles() {
  for (ParticleEffect* effect : effects_) effect->clearParticles();
}

// ---- the pixmap ------------------------------------------------------------------------

TPixmap* ParticleRenderer::pixmap() {
  if (defaultPixmapPending_) {
    defaultPixmapPending_ = false;
    SomeEngine* engine = Engine();
    acquirePixmap(engine ? engine->embeddedResourceManager() : nullptr, kDefaultParticlePixmap);
  }
  return pixmap_;
}

void ParticleRenderer::acquirePixmap(TResourceMan* manager, const WideString& name) {
  auto* applet = dynamic_cast<Applet*>(this->applet());
  if (!applet || !applet->cache() || !manager || name.empty()) return;
  pixmap_ = applet->cache()->getPixmap(manager, name);
  pixmapCached_ = pixmap_ != nullptr;
}

void ParticleRenderer::releasePixmap() {
  TPixmap* pixmap = pixmap_;
  const bool cached = pixmapCached_;
  defaultPixmapPending_ = false;
  pixmap_ = nullptr;
  pixmapCached_ = false;
  if (!pixmap || !cached) return;
  auto* applet = dynamic_cast<Applet*>(this->applet());
  if (applet && applet->cache()) applet->cache()->releasePixmap(pixmap);
}

void ParticleRenderer::lendPixmap(TPixmap* pixmap) {
  releasePixmap();
  pixmap_ = pixmap;
}

void ParticleRenderer::setPixmapFile(const AnsiString& name) {
  if (name == pixmapFile_) return;
  pixmapFile_ = name;
  releasePixmap();
  const WideString file = AnsiToWide(name);
  acquirePixmap(MediaManagerFor(dynamic_cast<Applet*>(applet()), file), file);
}

// ---- drawing -----------------------------------------------------------------------------

void ParticleRenderer::drawSelf() {
  auto* applet = dynamic_cast<Applet*>(this->applet());
  if (applet && applet->device()) drawParticles(*applet->device());
}

int32_t ParticleRenderer::drawParticles(TDevice& device) {
  const int32_t drawn = drawPass(device, okScreen) + drawPass(device, okSpace);
  device.AddParticles(drawn);
  return drawn;
}

int32_t ParticleRenderer::drawPass(TDevice& device, TPositionObjectKind kind) {
  std::vector<ParticleEffect*> pass;
  int64_t total = 0;
  for (ParticleEffect* effect : effects_) {
    auto* owner = dynamic_cast<PositionObject*>(effect->parent());
    if (!owner || owner->kind() != kind || effect->particleCount() == 0) continue;
    pass.push_back(effect);
    total += effect->particleCount();
  }
  TMesh* mesh = device.dynamicMesh();
  if (total == 0 || !mesh || QuadsPerBatch(*mesh) <= 0) return 0;
  applyStates(device, kind);
  const Pass shape(device, kind);
  int32_t written = 0;
  bool failed = false;
  // Effects in registration order, each one's particles last to first; a
  // batch is drawn whenever the mesh is full.
  size_t effectIndex = 0;
  int particleIndex = pass.empty() ? -1 : pass[0]->particleCount() - 1;
  while (!failed && written < total) {
    const auto batch = static_cast<int32_t>(std::min<int64_t>(total - written, QuadsPerBatch(*mesh)));
    void* vertexMemory = nullptr;
    uint16_t* indices = nullptr;
    if (!device.LockMeshVertex(mesh, batch * 4, vertexMemory)) break;
    if (!device.LockMeshIndex(mesh, batch * 6, indices)) {
      device.UnlockMeshVertex(mesh);
      break;
    }
    auto* vertex = static_cast<TVertexPCT*>(vertexMemory);
    const int32_t first = mesh->batchFirstVertex;
    int32_t quads = 0;
    while (quads < batch && effectIndex < pass.size()) {
      ParticleEffect* effect = pass[effectIndex];
      if (particleIndex < 0) {
        if (++effectIndex < pass.size()) particleIndex = pass[effectIndex]->particleCount() - 1;
        continue;
      }
      const TParticle& particle = *effect->particles()->particle(particleIndex--);
      TParticleLook look;
      effect->lookOf(particle, look);
      shape.write(vertex + 4 * quads, particle, look, device.DeviceColor(look.color), effect->rect()->getRect());
      WriteQuadIndices(indices + 6 * quads, first, quads);
      ++quads;
    }
    device.UnlockMeshIndex(mesh);
    device.UnlockMeshVertex(mesh);
    // A batch with places left unwritten is not drawn: they hold old vertices.
    failed = quads != batch;
    if (!failed) {
      device.DrawMesh(mesh);
      written += quads;
    }
  }
  if (written != total) {
    LogError(kind == okScreen ? u"Ivalid particle values " : u"Ivalid 3D particle values");
  }
  restoreStates(device);
  return written;
}

void ParticleRenderer::applyStates(TDevice& device, TPositionObjectKind kind) {
  device.SetRenderState(kind == okSpace ? rs3D : rs2D);
  device.SetPixmap(0, pixmap());
  device.SetRenderState(rsLightOff);
  device.SetRenderState(rsFilterLinear);
  device.SetRenderState(rsTextureModulate);
  device.SetWorldMatrix(getWorldMatrix());
  device.SetRenderState(zWrite_ ? rsDepthWriteOn : rsDepthWriteOff);
  device.SetRenderState(blendingMode_ == bmBlend ? rsBlendAlpha : rsBlendAdd);
}

void ParticleRenderer::restoreStates(TDevice& device) {
  if (blendingMode_ != bmBlend) device.SetRenderState(rsBlendAlpha);
  if (!zWrite_) device.SetRenderState(rsDepthWriteOn);
}
