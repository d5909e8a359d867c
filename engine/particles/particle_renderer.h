#pragma once
// `ParticleRenderer`: draws the particles of the effects registered with it,
// in bulk: every particle one quad in the device's shared dynamic mesh, one
// draw for the 2D effects and one for the 3D effects (more only when the
// mesh cannot hold them all). The applet keeps three in its top layer, for
// alpha-blended, additive and depth-tested effects.
//
// Its pixmap comes from the applet's cache (the built-in particle image
// unless `pixmapFile` names another) and goes back to it, so the cache
// alone decides when the device destroys it. The built-in image is fetched
// when the renderer first draws or is asked for its pixmap: a game without
// particles never decodes it, and its first frame does not wait for it.
#include <cstdint>
#include <vector>

#include "engine/particles/particle_effect.h"
#include "engine/scene/position_object.h"

class TDevice;
class TPixmap;

class ParticleRenderer : public PositionObject {
  Q_OBJECT(ParticleRenderer, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void objectRemoved(BaseObject* object) override;
  void drawSelf() override;
  // Particles lie anywhere: the renderer is never culled.
  bool passesCulling() override { return true; }

  // Draws the particles on the device; answers the quads drawn, which the
  // device's particle counter also gets.
  int32_t drawParticles(TDevice& device);
  // Frees every particle of every registered effect.
  void clearParticles();

  // Registration, kept by the effects (ParticleEffect::registerWith).
  void addEffect(ParticleEffect* effect);
  void removeEffect(ParticleEffect* effect);
  const std::vector<ParticleEffect*>& effects() const { return effects_; }

  TPixmap* pixmap();
  // Draws with a pixmap its caller keeps (a renderer without an applet);
  // the renderer never gives it back anywhere.
  void lendPixmap(TPixmap* pixmap);
  const AnsiString& pixmapFile() const { return pixmapFile_; }
  void setPixmapFile(const AnsiString& name);
  TBlendingMode blendingMode() const { return blendingMode_; }
  void setBlendingMode(TBlendingMode value) { blendingMode_ = value; }
  bool zWrite() const { return zWrite_; }
  void setZWrite(bool value) { zWrite_ = value; }

 protected:
  bool mirroredAtStart() const override { return false; }

 private:
  struct Pass;
  int32_t drawPass(TDevice& device, TPositionObjectKind kind);
  void applyStates(TDevice& device, TPositionObjectKind kind);
  void restoreStates(TDevice& device);
  void releasePixmap();
  void acquirePixmap(TResourceMan* manager, const WideString& name);

  std::vector<ParticleEffect*> effects_;
  bool zWrite_ = false;
  bool zCull_ = false;
  bool depthSort_ = false;
  TPixmap* pixmap_ = nullptr;
  bool pixmapCached_ = false;
  // The built-in image is still to be fetched on first use.
  bool defaultPixmapPending_ = false;
  AnsiString pixmapFile_;
  TBlendingMode blendingMode_ = bmAdditive;
};
