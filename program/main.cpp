#include "program/program.h"
#include "program/program_classes.h"

int main(int argc, char** argv) {
  RegisterProgramClasses();
  return RunProgram(argc, argv);
}
