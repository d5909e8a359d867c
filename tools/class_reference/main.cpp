// Writes the class reference of every class the program registers.
//
//   class_reference <output.md>
#include <cstdio>
#include <fstream>

#include "program/program_classes.h"
#include "tools/class_reference/class_reference.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.md>\n", argv[0]);
    return 2;
  }
  RegisterProgramClasses();
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << ClassReferenceMarkdown();
  out.close();
  if (!out) {
    std::fprintf(stderr, "class_reference: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
