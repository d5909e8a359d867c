#pragma once
// `Panel`: a plain holder that lays out and draws its children and nothing
// of its own.
#include "gui/gui_object.h"

class Panel : public GuiObject {
  Q_OBJECT(Panel, GuiObject)
};
