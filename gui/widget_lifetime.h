#pragma once
// What widgets need around their handlers and the objects they make for
// themselves: a handler may free the widget that runs it, and a widget's own
// parts must never be written into an object file (the widget makes them
// again when it is read back).
#include "core/objects/base_object.h"
#include "engine/scene/position_object.h"

// Keeps a widget from being freed until the scope ends; a free asked for
// meanwhile happens then.
using KeepWidget = PositionObject::KeepAlive;

// True once the widget was disposed of or freed while kept: code that runs
// after a handler leaves it alone.
inline bool WidgetGone(const BaseObject* object) { return object->isDisposed() || object->freePending(); }

// A part a widget made for itself: storing its holder leaves it out.
inline void MarkSelfMade(BaseObject* part) { part->setComponentStyle(csExternal); }
