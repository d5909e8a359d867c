#pragma once
// The four files the runtime carries inside itself: the default skin pixmap,
// the window icon, the default particle image and the skin's object file.
// Their bytes are drawn and written at build time (tools/builtin_skin.cpp)
// and compiled into the program; the embedded resource manager serves them.
#include <cstddef>
#include <cstdint>
#include <span>

struct BuiltinFile {
  const char* name;  // the resource name, e.g. "defaultskin.pixmap"
  const uint8_t* data;
  size_t size;  // the file's exact length
};

// The built-in files in registration order: "defaultskin.pixmap",
// "defaulticon.pixmap", "defaultpfx.pixmap", "defaultskin.qxml".
std::span<const BuiltinFile> BuiltinFiles();
