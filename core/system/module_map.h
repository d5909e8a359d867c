#pragma once
// Which loaded file (the program or a shared library) holds an address, from
// the process's own memory map. Safe on the crash path: it reads the map with
// plain system calls into a buffer on the stack, allocating nothing.
#include <cstddef>
#include <cstdint>

// Writes the file name (without its folder) of the mapping that holds the
// address; false when no named mapping holds it.
bool ModuleOfAddress(uintptr_t address, char* name, size_t capacity);
