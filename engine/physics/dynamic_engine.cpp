#include "engine/physics/dynamic_engine.h"

#include <unordered_map>

#include "core/objects/class_builder.h"
#include "core/text/text.h"

Q_DEFINE_ENUM(TPositionObjectKind, "okScreen", "okSpace")

const ClassInfo& TDynamicEngine::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TDynamicEngine>("TDynamicEngine").build();
  return info;
}

TWorldHandle TDynamicEngine::GetWorld(TPositionObjectKind kind) {
  TWorldHandle& world = kind == okSpace ? spaceWorld_ : screenWorld_;
  if (!world) world = CreateWorld(kind);
  return world;
}

void TDynamicEngine::StepWorlds(float deltaTime) {
  if (screenWorld_) Step(screenWorld_, deltaTime);
  if (spaceWorld_) Step(spaceWorld_, deltaTime);
}

void TDynamicEngine::DestroyWorlds() {
  if (screenWorld_) DestroyWorld(screenWorld_);
  if (spaceWorld_) DestroyWorld(spaceWorld_);
  screenWorld_ = 0;
  spaceWorld_ = 0;
}

// ---- engine classes ------------------------------------------------------------------

namespace {
// Keyed by the lower-case class name, so lookups ignore case.
std::unordered_map<std::string, const ClassInfo*>& EngineClasses() {
  static std::unordered_map<std::string, const ClassInfo*> classes;
  return classes;
}

const ClassInfo*& BodyEngineClass() {
  static const ClassInfo* engineClass = nullptr;
  return engineClass;
}
}  // namespace

void RegisterDynamicEngine(const ClassInfo& engineClass) {
  EngineClasses()[LowerCaseAscii(engineClass.name())] = &engineClass;
}

const ClassInfo* FindDynamicEngine(std::string_view name) {
  auto found = EngineClasses().find(LowerCaseAscii(name));
  return found == EngineClasses().end() ? nullptr : found->second;
}

const ClassInfo* DynamicEngineClass() { return BodyEngineClass(); }

void SetDynamicEngineClass(const ClassInfo* engineClass) {
  if (engineClass) RegisterDynamicEngine(*engineClass);
  BodyEngineClass() = engineClass;
}

TDynamicEngine* CreateDynamicEngine(const ClassInfo& engineClass, TObject* owner) {
  if (!engineClass.inheritsFrom(TDynamicEngine::staticClassInfo()) || engineClass.isAbstract()) return nullptr;
  return static_cast<TDynamicEngine*>(engineClass.create(owner));
}
