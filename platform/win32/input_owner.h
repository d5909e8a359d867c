#pragma once
// What the input translation asks of the applet that owns a window: its event
// queue, its cursor choices and its pause. The platform sits below the applet,
// so the applet implements this next to TWindowOwner and the applet layer
// tells the translation how to find it (SetInputOwnerLookup); an owner that
// derives from both is found without a lookup.
#include "platform/win32/window_owner.h"

class TLowEvent;
class TWindow;

class TInputOwner {
 public:
  virtual ~TInputOwner() = default;

  // Whether the applet has its event queue (it has none while it is built).
  virtual bool HasEventQueue() const = 0;
  // Event.queueEvent: the queue takes the record over.
  virtual void QueueEvent(TLowEvent* event) = 0;
  // The applet's cursorSystem: the system's cursor is shown instead of the
  // applet's cursor sprite.
  virtual bool CursorSystem() const = 0;
  // Shows or hides the applet's cursor sprite.
  virtual void ShowCursorSprite(bool visible) = 0;
  // Applet.setPause: menus and moving or sizing the window pause the applet.
  virtual void SetPause(bool paused) = 0;
};

using TInputOwnerLookup = TInputOwner* (*)(TWindowOwner* owner);
// Installs (or with null removes) how an applet's input side is found.
void SetInputOwnerLookup(TInputOwnerLookup lookup);
// The input side of the window's applet, or null.
TInputOwner* InputOwnerOf(const TWindow& window);

// Posts a record to the window's applet; without an applet or without an
// event queue the record is freed, as the queue would never see it.
void PostToApplet(const TWindow& window, TLowEvent* event);
