#include "engine/program.h"
#include "engine/registration.h"

int main(int argc, char** argv) {
  RegisterAllClasses();
  return RunProgram(argc, argv);
}
