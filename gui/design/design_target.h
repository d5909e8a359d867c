#pragma once
// The program-wide state of the design tools: the design target (the object
// the gizmos move and turn) and the selection hook (what a design-time click
// selects through; the selection frame installs its select operation there).
//
// The target is a plain reference that the design tools watch: every tool
// that listens to it watches the target's removal, so a freed target is
// forgotten at once and never reached afterwards.
#include "core/objects/base_object.h"

// A design tool that follows the design target.
class DesignTargetListener {
 public:
  virtual ~DesignTargetListener() = default;
  // The object that watches the target's removal on the listener's behalf.
  virtual BaseObject* listenerObject() = 0;
  // The target changed (nil: no target any more).
  virtual void designTargetChanged(BaseObject* target) = 0;
};

// The object the gizmos manipulate, or nil.
BaseObject* DesignTarget();
// Makes `object` the target of every listening tool (again, when it is the
// target already: the tools take its place anew). Without a listening tool
// nothing could keep track of the object's end, so the target stays nil.
void SetDesignTarget(BaseObject* object);
void AddDesignTargetListener(DesignTargetListener* listener);
void RemoveDesignTargetListener(DesignTargetListener* listener);
// A listener heard that `object` is being destroyed.
void DesignObjectRemoved(BaseObject* object);

// The selection hook: an operation with the object it belongs to.
struct SelectionHook {
  void (*select)(BaseObject* tool, BaseObject* object) = nullptr;
  BaseObject* tool = nullptr;
};
void SetSelectionHook(const SelectionHook& hook);
const SelectionHook& CurrentSelectionHook();
// The tool is going: its hook goes with it.
void ClearSelectionHook(const BaseObject* tool);

// What a design-time click does with the clicked object: the selection hook
// selects it (in the frame, when there is one), and it becomes the target of
// the gizmos.
void SelectForDesign(BaseObject* object);

// Installs the design-time click (PositionObject's selection seam) and the
// script API's reading of the target.
void InstallDesignSelection();
