#pragma once
// `Light`: one entry of the window's light table, taken when the light is
// made and given back when it is freed. The entry follows the light's world
// position at every transform change; a light in the 3D world shines from the
// world's origin towards its position, a light on the screen from the
// applet's centre. When all entries are taken the light stays disabled.
#include "engine/scene/position_object.h"

class TDevice;

class Light : public PositionObject {
  Q_OBJECT(Light, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void invalidateTransform() override;

  // The light-table entry, -1 for none.
  int32_t lightIndex() const { return lightIndex_; }
  bool enabled() const { return enabled_; }
  // Stores the switch; switching off darkens the entry at once, switching on
  // waits for the next transform change. A light without an entry stays off.
  void setEnabled(bool value);
  TColorARGB diffuse() const { return diffuse_; }
  void setDiffuse(TColorARGB value) { diffuse_ = value; }
  TColorARGB ambient() const { return ambient_; }
  void setAmbient(TColorARGB value) { ambient_ = value; }
  TColorARGB specular() const { return specular_; }
  void setSpecular(TColorARGB value) { specular_ = value; }

 private:
  WideString diffuseText() const { return ColorToText(diffuse_); }
  void setDiffuseText(const WideString& text) { diffuse_ = ColorFromText(text); }
  WideString ambientText() const { return ColorToText(ambient_); }
  void setAmbientText(const WideString& text) { ambient_ = ColorFromText(text); }
  WideString specularText() const { return ColorToText(specular_); }
  void setSpecularText(const WideString& text) { specular_ = ColorFromText(text); }
  bool diffuseStored() const { return diffuse_ != kWhiteLight; }
  bool ambientStored() const { return ambient_ != kBlackLight; }
  bool specularStored() const { return specular_ != kWhiteLight; }
  TDevice* device() const;
  // Writes the light into its entry, switched on or off.
  void sendEntry(bool on);

  static constexpr TColorARGB kWhiteLight = 0xFFFFFFFFu;
  static constexpr TColorARGB kBlackLight = 0xFF000000u;

  bool enabled_ = false;
  int32_t lightIndex_ = -1;
  TColorARGB diffuse_ = kWhiteLight;
  TColorARGB ambient_ = kBlackLight;
  TColorARGB specular_ = kWhiteLight;
};
