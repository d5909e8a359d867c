#include "gui/forms/panel.h"

const ClassInfo& Panel::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Panel>("Panel").build();
  return info;
}
