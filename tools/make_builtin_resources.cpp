// Draws the built-in files and writes them as a C++ source file that defines
// BuiltinFiles() (core/resources/builtin_resources.h), so the program carries bytes made
// from the drawings in this folder rather than a stored blob.
//
//   make_builtin_resources <output.cpp> [<folder for copies of the files>]
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tools/builtin_skin.h"

namespace {
// The bytes as string-literal pieces: printable characters as they are,
// every other byte as a three-digit octal escape (which never swallows a
// following digit).
void WriteLiteral(std::ofstream& out, const std::string& bytes) {
  std::string line = "    \"";
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
      line += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\%03o", c);
      line += escape;
    }
    if (line.size() >= 200) {
      out << line << "\"\n";
      line = "    \"";
    }
  }
  out << line << "\"";
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output.cpp> [<copies folder>]\n", argv[0]);
    return 2;
  }
  using namespace builtin_art;
  const std::vector<std::pair<std::string, std::string>> files = {
      {"defaultskin.pixmap", PixmapFile(DrawDefaultSkin())},
      {"defaulticon.pixmap", PixmapFile(DrawDefaultIcon())},
      {"defaultpfx.pixmap", PixmapFile(DrawDefaultParticle())},
      {"defaultskin.qxml", DefaultSkinObjectFile()},
  };

  const std::string target = argv[1];
  const std::string temporary = target + ".part";
  {
    std::ofstream out(temporary, std::ios::binary);
    out << "// Written by tools/make_builtin_resources from the drawings in tools/builtin_skin.cpp.\n"
           "#include \"core/resources/builtin_resources.h\"\n\nnamespace {\n";
    for (size_t i = 0; i < files.size(); ++i) {
      out << "// " << files[i].first << ", " << files[i].second.size() << " bytes\n";
      out << "const char kFile" << i << "[] =\n";
      WriteLiteral(out, files[i].second);
      out << ";\n\n";
    }
    out << "const BuiltinFile kFiles[] = {\n";
    for (size_t i = 0; i < files.size(); ++i) {
      out << "    {\"" << files[i].first << "\", reinterpret_cast<const uint8_t*>(kFile" << i << "), "
          << files[i].second.size() << "},\n";
    }
    out << "};\n}  // namespace\n\nstd::span<const BuiltinFile> BuiltinFiles() { return kFiles; }\n";
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", temporary.c_str());
      return 1;
    }
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    std::fprintf(stderr, "cannot write %s\n", target.c_str());
    return 1;
  }
  if (argc > 2) {
    for (const auto& [name, bytes] : files) {
      std::ofstream copy(std::string(argv[2]) + "/" + name, std::ios::binary);
      copy.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
  }
  return 0;
}
