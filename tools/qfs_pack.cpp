// Packs a game folder into a ".qfs" archive.
//
//   qfs_pack [-c] <folder> <archive.qfs>
//
// Without -c the archive is the plain image ("VFILEST"); with -c it is
// compressed ("CFILEST"). Names are stored as 8-bit text; a name that has no
// 8-bit form stops the packing.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/resources/archive_writer.h"

int main(int argc, char** argv) {
  bool compressed = false;
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "-c") == 0) {
    compressed = true;
    first = 2;
  }
  if (argc - first != 2) {
    std::fprintf(stderr, "usage: %s [-c] <folder> <archive.qfs>\n", argv[0]);
    return 2;
  }
  std::string error;
  if (!PackFolder(argv[first], argv[first + 1], compressed, error)) {
    std::fprintf(stderr, "qfs_pack: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
