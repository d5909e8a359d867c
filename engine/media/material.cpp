#include "engine/media/material.h"

#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/applet/game_parts.h"
#include "engine/visual_object.h"
#include "platform/device.h"

// ---- Material ---------------------------------------------------------------------

const ClassInfo& Material::staticClassInfo() {
  using M = Material;
  static const ClassInfo info = ClassBuilder<M>("Material")
                                    .property("lighting", &M::lighting_)
                                    .property("diffuse", &M::diffuseText, &M::setDiffuseText)
                                    .storedWhen(&M::diffuseStored)
                                    .property("ambient", &M::ambientText, &M::setAmbientText)
                                    .storedWhen(&M::ambientStored)
                                    .property("specular", &M::specularText, &M::setSpecularText)
                                    .storedWhen(&M::specularStored)
                                    .build();
  return info;
}

namespace {
TColorARGB FadedColor(TColorARGB color, float alpha) {
  const auto alphaByte = static_cast<float>(color >> 24);
  const auto faded = static_cast<uint32_t>(alpha * alphaByte);  // truncated toward zero
  return (color & 0x00FFFFFFu) | (faded << 24);
}
}  // namespace

void Material::apply(TColorARGB color, float alpha) {
  Applet* applet = AppletOf(this);
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return;
  TMaterial record{lighting_, diffuse_, ambient_, specular_};
  if (color != kNoColor) record.diffuse = color;
  if (alpha >= 0 && alpha < 1) {
    record.diffuse = FadedColor(record.diffuse, alpha);
    record.ambient = FadedColor(record.ambient, alpha);
    record.specular = FadedColor(record.specular, alpha);
  }
  device->SetMaterial(record);
}

// ---- Materials --------------------------------------------------------------------

const ClassInfo& Materials::staticClassInfo() {
  using M = Materials;
  static const ClassInfo info = ClassBuilder<M>("Materials")
                                    .method("getMaterial", &M::getMaterial)
                                    .method("applyMaterial", &M::applyMaterial)
                                    .build();
  return info;
}

void Materials::Destroy() {
  // The applet's parts must not hand out materials of a freed group.
  if (auto* parts = GameParts::of(AppletOf(this))) parts->forgetMaterials(this);
  inherited::Destroy();
}

Material* Materials::getMaterial(const WideString& name) { return dynamic_cast<Material*>(findByName(name)); }

void Materials::applyMaterial(const WideString& tag) {
  if (auto* material = dynamic_cast<Material*>(findByTagString(tag))) material->apply(kNoColor, 1.0f);
}

// ---- the frame walk's material step ---------------------------------------------

void ApplyObjectMaterial(VisualObject& object) {
  if (!object.cachedMaterial()) {
    Applet* applet = object.ownerApplet();
    object.setCachedMaterial(applet ? applet->findMaterial(object.material()) : nullptr);
    // "yelow" would apply nothing, frame after frame, without a word.
    if (!object.cachedMaterial() && applet && !object.materialNameReported() &&
        applet->findMaterial(u"default") && !object.material().empty()) {
      object.setMaterialNameReported();
      const WideString owner = object.name().empty() ? AnsiToWide(object.className()) : object.name();
      LogError(u"Material " + object.material() + u" not found, named by " + owner + u".material");
    }
  }
  if (auto* material = dynamic_cast<Material*>(object.cachedMaterial())) {
    material->apply(object.colorOverride(), object.alpha());
  }
}
