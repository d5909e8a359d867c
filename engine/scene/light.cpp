#include "engine/scene/light.h"

#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "platform/device.h"

namespace {
// Entry 0 of the window's table is never handed out.
constexpr int kUsableLights = kMaxWindowLights - 1;
}  // namespace

const ClassInfo& Light::staticClassInfo() {
  using L = Light;
  static const ClassInfo info = ClassBuilder<L>("Light")
                                    .property("diffuse", &L::diffuseText, &L::setDiffuseText).storedWhen(&L::diffuseStored)
                                    .property("ambient", &L::ambientText, &L::setAmbientText).storedWhen(&L::ambientStored)
                                    .property("specular", &L::specularText, &L::setSpecularText).storedWhen(&L::specularStored)
                                    .property("enabled", &L::enabled, &L::setEnabled).defaultValue(1)
                                    .build();
  return info;
}

TDevice* Light::device() const {
  Applet* applet = ownerApplet();
  return applet ? applet->device() : nullptr;
}

// The entry is taken before the inherited construction, which may already
// read the light's stored switch.
void Light::Create(TObject* owner) {
  auto* parent = dynamic_cast<BaseObject*>(owner);
  auto* applet = parent ? dynamic_cast<Applet*>(parent->applet()) : nullptr;
  if (TDevice* lights = applet ? applet->device() : nullptr) {
    lightIndex_ = lights->AllocLight();
    enabled_ = lightIndex_ >= 0;
    if (!enabled_) {
      LogInfo(u"Light disabled. Only " + AnsiToWide(std::to_string(kUsableLights)) + u" light source supported");
    }
  }
  inherited::Create(owner);
}

void Light::Destroy() {
  if (TDevice* lights = device(); lights && lightIndex_ >= 0) lights->FreeLight(lightIndex_);
  lightIndex_ = -1;
  inherited::Destroy();
}

void Light::setEnabled(bool value) {
  enabled_ = value && lightIndex_ >= 0;
  if (!value && lightIndex_ >= 0) sendEntry(false);
}

void Light::invalidateTransform() {
  inherited::invalidateTransform();
  if (enabled_ && lightIndex_ >= 0) sendEntry(true);
}

void Light::sendEntry(bool on) {
  TDevice* lights = device();
  if (!lights) return;
  const bool onScreen = kind() == okScreen;
  TVector4F from = MakeVector4F(0, 0, 0, 1);
  if (Applet* applet = ownerApplet(); onScreen) {
    from = MakeVector4F(static_cast<float>(applet->width()) / 2, static_cast<float>(applet->height()) / 2, 0, 1);
  }
  lights->SetLight(lightIndex_, getWorldPosition(), from, diffuse_, specular_, ambient_, on, onScreen);
}
