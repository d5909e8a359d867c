#include "engine/program.h"
#include "gui/gui_registration.h"

int main(int argc, char** argv) {
  RegisterGuiClasses();
  return RunProgram(argc, argv);
}
