// Breaks the layering on purpose: the engine may not include the GUI.
#include "core/objects/object.h"
#include "gui/gui_object.h"
