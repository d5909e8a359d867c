#include "platform/win32/input_owner.h"

#include "platform/input_records.h"
#include "platform/win32/window.h"

namespace {
TInputOwnerLookup lookup = nullptr;
}  // namespace

void SetInputOwnerLookup(TInputOwnerLookup newLookup) { lookup = newLookup; }

TInputOwner* InputOwnerOf(const TWindow& window) {
  if (!window.applet) return nullptr;
  if (lookup) return lookup(window.applet);
  return dynamic_cast<TInputOwner*>(window.applet);
}

void PostToApplet(const TWindow& window, TLowEvent* event) {
  TInputOwner* owner = InputOwnerOf(window);
  if (owner && owner->HasEventQueue()) {
    owner->QueueEvent(event);
  } else if (event) {
    event->Free();
  }
}
