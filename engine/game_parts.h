#pragma once
// The applet's parts as the whole program provides them: each service of
// AppletParts that a part of the program has built is overridden here, so the
// applet itself never changes when a service arrives. Registration installs
// this class as the parts of every new applet.
//
// So far: the materials (the applet's own "default" and "gui", or the main
// object's Materials), the default "default" and "system" fonts, the
// built-in default skin, the default cursor, and the filter through which
// the cache loads pixmaps and meshes.
#include "engine/applet_parts.h"
#include "platform/filters/abstract_filter.h"

class Materials;
class Skin;
class TFilter;

class GameParts : public AppletParts, public TFilterHost {
 public:
  using AppletParts::AppletParts;
  ~GameParts() override;

  // The game parts of an applet, or nil (no applet, or other parts installed).
  static GameParts* of(const Applet* applet);

  bool createFilter() override;
  TFilter* filterObject() override { return filter_; }
  TPixmap* createPixmap(TResourceMan* manager, const WideString& name) override;
  TMesh* createMesh(TResourceMan* manager, const WideString& name) override;
  TDevice* filterDevice() override;
  float filterModelScale() override;
  TFilter* filter() const { return filter_; }

  bool createMaterials() override;
  void loadMaterials() override;
  BaseObject* findMaterial(const WideString& name) override;
  void loadFonts() override;
  bool loadDefaultSkin() override;
  BaseObject* defaultSkin() override;
  void forgetDefaultSkin() override;
  void addScriptGlobals(ScriptGlobals& globals) override;
  void freeServices() override;
  VisualObject* createDefaultCursor(BaseObject* topLayer) override;
  void placeCursor(float x, float y) override;

  Materials* materials() const { return materials_; }
  Skin* skin() const { return skin_; }
  // A group or skin that is being freed is no longer handed out.
  void forgetMaterials(const Materials* materials);
  void forgetSkin(const Skin* skin);

 private:
  void addMaterial(const WideString& name, TColorARGB color, bool lighting);
  void ensureFont(const WideString& name);
  void freeOwnMaterials();

  TFilter* filter_ = nullptr;
  Materials* materials_ = nullptr;
  // False when materials_ is the main object's own group, which the tree owns.
  bool ownsMaterials_ = false;
  Skin* skin_ = nullptr;
};

// The factory registration installs.
AppletParts* NewGameParts(Applet* applet);
