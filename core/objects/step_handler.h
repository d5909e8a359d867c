#pragma once
// The program-wide step handler: runs one step of an applet (pump messages,
// run a frame if one is due, sleep as the frame rate asks). Every wait that
// must keep frames running calls it in a loop, so it is entered again from
// inside a tick; it keeps no state of its own.
#include <functional>

class BaseObject;

using StepHandlerProc = std::function<void(BaseObject* applet)>;
StepHandlerProc& StepHandler();
