#include "gui/design/design_target.h"

#include <algorithm>
#include <vector>

#include "engine/scene/mission.h"
#include "engine/scene/position_object.h"

namespace {
struct DesignState {
  BaseObject* target = nullptr;
  std::vector<DesignTargetListener*> listeners;
  SelectionHook hook;
};

DesignState& State() {
  static DesignState state;
  return state;
}

void ClickSelects(PositionObject* object) { SelectForDesign(object); }

bool IsWithin(const BaseObject* object, const BaseObject* ancestor) {
  for (const BaseObject* o = object; o; o = o->parent()) {
    if (o == ancestor) return true;
  }
  return false;
}

// The tools never select themselves (a handle clicked at design time) nor
// what holds them (moving the top layer would carry the gizmo away with it).
bool BelongsToDesignTools(const BaseObject* object) {
  const DesignState& state = State();
  if (state.hook.tool && (IsWithin(object, state.hook.tool) || IsWithin(state.hook.tool, object))) return true;
  for (DesignTargetListener* listener : state.listeners) {
    const BaseObject* tool = listener->listenerObject();
    if (IsWithin(object, tool) || IsWithin(tool, object)) return true;
  }
  return false;
}
}  // namespace

BaseObject* DesignTarget() { return State().target; }

void SetDesignTarget(BaseObject* object) {
  DesignState& state = State();
  if (state.listeners.empty()) object = nullptr;
  BaseObject* old = state.target;
  state.target = object;
  // Listeners may come and go while they hear of the change: walk a copy.
  const std::vector<DesignTargetListener*> listeners = state.listeners;
  for (DesignTargetListener* listener : listeners) {
    if (old == object) break;
    BaseObject* watcher = listener->listenerObject();
    watcher->unwatchRemovalOf(old);
    watcher->watchRemovalOf(object);
  }
  // Selecting the target again tells the tools too: it may have moved.
  for (DesignTargetListener* listener : listeners) {
    if (std::find(state.listeners.begin(), state.listeners.end(), listener) == state.listeners.end()) continue;
    listener->designTargetChanged(state.target);
  }
}

void AddDesignTargetListener(DesignTargetListener* listener) {
  DesignState& state = State();
  if (std::find(state.listeners.begin(), state.listeners.end(), listener) != state.listeners.end()) return;
  state.listeners.push_back(listener);
  listener->listenerObject()->watchRemovalOf(state.target);
}

void RemoveDesignTargetListener(DesignTargetListener* listener) {
  DesignState& state = State();
  auto it = std::find(state.listeners.begin(), state.listeners.end(), listener);
  if (it == state.listeners.end()) return;
  state.listeners.erase(it);
  listener->listenerObject()->unwatchRemovalOf(state.target);
  // With nobody left to watch it, the target is forgotten.
  if (state.listeners.empty()) state.target = nullptr;
}

void DesignObjectRemoved(BaseObject* object) {
  if (object && object == State().target) SetDesignTarget(nullptr);
}

void SetSelectionHook(const SelectionHook& hook) { State().hook = hook; }

const SelectionHook& CurrentSelectionHook() { return State().hook; }

void ClearSelectionHook(const BaseObject* tool) {
  if (State().hook.tool == tool) State().hook = SelectionHook{};
}

void SelectForDesign(BaseObject* object) {
  if (object && BelongsToDesignTools(object)) return;
  const SelectionHook hook = State().hook;
  if (hook.select) hook.select(hook.tool, object);
  // The frame's onSelect runs a script, which may have freed the object.
  if (object && !BaseObject::isLive(object)) return;
  SetDesignTarget(object);
}

void InstallDesignSelection() {
  PositionObject::designSelectHook = &ClickSelects;
  Mission::designSelectedHook = &DesignTarget;
}
