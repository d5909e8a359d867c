#pragma once
// Materials: named sets of lighting colours that objects choose by name
// (`VisualObject.material`). Applying one hands the device its material
// record before the object draws; the diffuse colour is also the colour of
// all flat 2D drawing, so a colour override or an alpha below 1 tints and
// fades what follows.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/objects/base_object.h"

class VisualObject;

inline constexpr TColorARGB kDefaultMaterialGray = 0xFF969696u;
inline constexpr TColorARGB kDefaultMaterialSpecular = 0xFFFFFFFFu;

class Material : public BaseObject {
  Q_OBJECT(Material, BaseObject)

 public:
  // Hands the device {lighting, diffuse, ambient, specular}. A colour other
  // than kNoColor replaces diffuse; an alpha in [0, 1) scales the alpha byte
  // of all three colours.
  void apply(TColorARGB color, float alpha);

  bool lighting() const { return lighting_; }
  void setLighting(bool value) { lighting_ = value; }
  TColorARGB diffuse() const { return diffuse_; }
  TColorARGB ambient() const { return ambient_; }
  TColorARGB specular() const { return specular_; }
  void setDiffuse(TColorARGB color) { diffuse_ = color; }
  void setAmbient(TColorARGB color) { ambient_ = color; }
  void setSpecular(TColorARGB color) { specular_ = color; }

 private:
  WideString diffuseText() const { return ColorToText(diffuse_); }
  WideString ambientText() const { return ColorToText(ambient_); }
  WideString specularText() const { return ColorToText(specular_); }
  void setDiffuseText(const WideString& text) { diffuse_ = ColorFromText(text); }
  void setAmbientText(const WideString& text) { ambient_ = ColorFromText(text); }
  void setSpecularText(const WideString& text) { specular_ = ColorFromText(text); }
  bool diffuseStored() const { return diffuse_ != kDefaultMaterialGray; }
  bool ambientStored() const { return ambient_ != kDefaultMaterialGray; }
  bool specularStored() const { return specular_ != kDefaultMaterialSpecular; }

  bool lighting_ = false;
  TColorARGB diffuse_ = kDefaultMaterialGray;
  TColorARGB ambient_ = kDefaultMaterialGray;
  TColorARGB specular_ = kDefaultMaterialSpecular;
};

// The applet's materials: a group of Material objects.
class Materials : public BaseObject {
  Q_OBJECT(Materials, BaseObject)

 public:
  void Destroy() override;

  // The descendant of that name, or nil when it is absent or no Material.
  Material* getMaterial(const WideString& name);
  // Applies the descendant whose tag text is `tag`, unchanged (no colour,
  // alpha 1); nothing when there is none.
  void applyMaterial(const WideString& tag);
};

// The frame walk's material step for an object: resolves the object's
// material by name through its applet when none is cached yet, and applies
// it with the object's colour override and alpha. Nothing without one.
void ApplyObjectMaterial(VisualObject& object);
