#include "engine/program.h"
#include "engine/program_classes.h"

int main(int argc, char** argv) {
  RegisterProgramClasses();
  return RunProgram(argc, argv);
}
