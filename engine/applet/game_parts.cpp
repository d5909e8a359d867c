#include "engine/applet/game_parts.h"

#include "core/objects/engine.h"
#include "core/resources/resource_man.h"
#include "core/streams/object_file.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/media/font_object.h"
#include "engine/media/font_persistent.h"
#include "engine/media/material.h"
#include "engine/media/skin.h"
#include "engine/player/preferences.h"
#include "engine/player/score_table.h"
#include "engine/scene/default_cursor.h"
#include "engine/script_engine.h"
#include "platform/filters/filter.h"

namespace {
constexpr char16_t kDefaultSkinFile[] = u"defaultskin.qxml";

// Objects made here rather than read from a file are made known to scripts
// as a file's objects are, under a name of their own (class and identity),
// so that the games' global names stay theirs.
void ShowToScripts(Applet* applet, BaseObject* object) {
  if (TScriptEngine* engine = applet->scriptEngine()) {
    engine->exportObject(WideString(), AnsiToWide(object->className()), object);
  }
}
}  // namespace

AppletParts* NewGameParts(Applet* applet) { return new GameParts(applet); }

GameParts::~GameParts() {
  FreeAndNil(filter_);
  freePlayerFiles();
  freeOwnMaterials();
}

GameParts* GameParts::of(const Applet* applet) {
  return applet ? dynamic_cast<GameParts*>(applet->parts()) : nullptr;
}

// ---- the filter -----------------------------------------------------------------------------

bool GameParts::createFilter() {
  // A service of the applet: it knows its applet but is no child of the tree.
  filter_ = new TFilter();
  filter_->setApplet(applet());
  filter_->setHost(this);
  filter_->Create(nullptr);
  return true;
}

TPixmap* GameParts::createPixmap(TResourceMan* manager, const WideString& name) {
  return filter_ ? filter_->loadPixmap(manager, name) : nullptr;
}

TMesh* GameParts::createMesh(TResourceMan* manager, const WideString& name) {
  return filter_ ? filter_->loadMesh(manager, name) : nullptr;
}

TDevice* GameParts::filterDevice() { return applet()->device(); }

float GameParts::filterModelScale() { return applet()->modelScale(); }

// ---- materials ----------------------------------------------------------------------------

bool GameParts::createMaterials() {
  // A service of the applet: it knows its applet but is no child of the tree.
  materials_ = new Materials();
  materials_->setApplet(applet());
  materials_->Create(nullptr);
  ownsMaterials_ = true;
  return true;
}

void GameParts::loadMaterials() {
  Materials* own = nullptr;
  for (int i = 0; i < applet()->count() && !own; ++i) own = dynamic_cast<Materials*>(applet()->childAt(i));
  if (own) {
    LogInfo(u"Load material from main.qxml");
    freeOwnMaterials();
    materials_ = own;
    ownsMaterials_ = false;
    return;
  }
  if (!materials_) return;
  addMaterial(u"default", kDefaultMaterialGray, true);
  addMaterial(u"gui", 0xFFFFFFFFu, false);
}

void GameParts::addMaterial(const WideString& name, TColorARGB color, bool lighting) {
  auto* material = New<Material>(materials_);
  material->SetName(name);
  material->setLighting(lighting);
  material->setDiffuse(color);
  material->setAmbient(color);
  material->setSpecular(0xFFFFFFFFu);
  ShowToScripts(applet(), material);
}

BaseObject* GameParts::findMaterial(const WideString& name) {
  return materials_ ? materials_->getMaterial(name) : nullptr;
}

void GameParts::forgetMaterials(const Materials* materials) {
  if (materials != materials_) return;
  materials_ = nullptr;
  ownsMaterials_ = false;
}

void GameParts::freeOwnMaterials() {
  Materials* doomed = ownsMaterials_ ? materials_ : nullptr;
  materials_ = nullptr;
  ownsMaterials_ = false;
  if (doomed) doomed->Free();
}

void GameParts::freeServices() {
  FreeAndNil(filter_);
  freePlayerFiles();
  freeOwnMaterials();
}

bool GameParts::ownsAsService(const BaseObject* object) const {
  return object == filter_ || object == skin_ || object == preferences_ || object == scoreTable_ ||
         (ownsMaterials_ && object == materials_);
}

void GameParts::addScriptGlobals(ScriptGlobals& globals) {
  globals.materials = materials_;
  globals.filter = filter_;
  globals.preferences = preferences_;
  globals.scoreTable = scoreTable_;
}

// ---- preferences and scores ------------------------------------------------------------------

// Both are services of the applet: they know their applet, so that no script
// can put them into a tree (where a parent would free them a second time),
// but they are no children of it.
bool GameParts::createPreferences() {
  preferences_ = new Preferences();
  preferences_->setApplet(applet());
  preferences_->Create(nullptr);
  return true;
}

bool GameParts::createScoreTable() {
  scoreTable_ = new ScoreTable();
  scoreTable_->setApplet(applet());
  scoreTable_->Create(nullptr);
  return true;
}

void GameParts::loadScoreTable() {
  if (scoreTable_) scoreTable_->load();
}

void GameParts::storeScoreTable() {
  if (scoreTable_) scoreTable_->store();
}

void GameParts::loadPreferences() {
  if (preferences_) preferences_->load();
}

void GameParts::storePreferences() {
  if (preferences_) preferences_->store();
}

WideString GameParts::preference(const WideString& name) {
  return preferences_ ? preferences_->getValue(name) : WideString();
}

void GameParts::setPreference(const WideString& name, const WideString& value) {
  if (preferences_) preferences_->setValue(name, value);
}

void GameParts::freePlayerFiles() {
  FreeAndNil(scoreTable_);
  FreeAndNil(preferences_);
}

// ---- fonts ------------------------------------------------------------------------------------

void GameParts::loadFonts() {
  ensureFont(u"default");
  ensureFont(u"system");
}

void GameParts::ensureFont(const WideString& name) {
  if (applet()->findByClassAndName("Font", name)) return;
  // Created unnamed and named afterwards, then given its description: the
  // first font may be the applet's first child, whose arrival runs afterLoad.
  auto* font = New<Font>(applet());
  font->SetName(name);
  TFontPersistent* description = font->font();
  description->setFontName(WideString());
  description->setFamily(u"arial");
  description->setSize(10);
  description->setStyle(TFontStyles());
  ShowToScripts(applet(), font);
}

// ---- the default skin -----------------------------------------------------------------------

bool GameParts::loadDefaultSkin() {
  SomeEngine* engine = Engine();
  TResourceMan* builtIn = engine ? engine->embeddedResourceManager() : nullptr;
  if (!builtIn || !builtIn->streamExists(kDefaultSkinFile)) {
    LogError(u"Default skin not found: " + WideString(kDefaultSkinFile));
    return false;
  }
  // Read under the applet, so that it and its elements belong to it, then
  // taken out of the tree: a service like the others, neither a child that
  // scripts count nor a holder of names ("title", "button") that would hide
  // the game's own objects from findByName.
  BaseObject* loaded = LoadObjectFile(builtIn, kDefaultSkinFile, applet(), false, nullptr);
  if (loaded) applet()->removeChild(loaded);
  skin_ = dynamic_cast<Skin*>(loaded);
  if (!skin_) {
    if (loaded) loaded->Free();
    LogError(u"Default skin not loaded: " + WideString(kDefaultSkinFile));
    return false;
  }
  // Built into the program: never written into the applet's object file.
  skin_->setComponentStyle(csExternal);
  return true;
}

BaseObject* GameParts::defaultSkin() { return skin_; }

void GameParts::freeDefaultSkin() {
  Skin* skin = skin_;
  skin_ = nullptr;
  if (skin) skin->Free();
}

void GameParts::forgetSkin(const Skin* skin) {
  if (skin == skin_) skin_ = nullptr;
}

// ---- the cursor ----------------------------------------------------------------------------------

VisualObject* GameParts::createDefaultCursor(BaseObject* topLayer) { return MakeDefaultCursor(topLayer); }

// ---- the top layer ----------------------------------------------------------------------------------

void GameParts::fillTopLayer(BaseObject* topLayer) { particleRenderers_.create(topLayer); }

void GameParts::placeCursor(float x, float y) { PlaceCursorObject(applet()->cursorObject(), x, y); }
