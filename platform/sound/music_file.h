#pragma once
// The file callback of a streamed music: the library reads the music's
// stream (a TStream given as the user value) through it, and closes it,
// which frees the stream.
#include <cstdint>

uint32_t MusicFileProc(uint32_t action, uint32_t param, void* buffer, void* user);
