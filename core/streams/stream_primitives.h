#pragma once
// Typed reads and writes over a byte stream, shared by every binary file of
// the system (pixmaps, meshes, font caches, the archive). All values are
// little-endian and go through explicit byte handling, so the stored form
// never depends on the layout of a C++ type.
//
// Each read answers whether all of its bytes were there. What a short stream
// does not supply reads as zero, so a caller that ignores the answer still
// sees defined values; a caller that must tell a short file from a good one
// checks the answer (or asks StreamFits before reading a counted block).
#include <cstdint>

#include "core/resources/stream.h"
#include "core/text/text.h"

// True when `count` items of `itemSize` bytes fit in the bytes between the
// stream's position and its end. A negative count never fits. Readers call it
// with every count they take from a file before they allocate for it.
bool StreamFits(TStream& stream, int64_t count, int64_t itemSize = 1);

// n raw bytes.
bool StreamRead(TStream& stream, void* buffer, int64_t count);
bool StreamWrite(TStream& stream, const void* buffer, int64_t count);

// n items of 4 bytes (floats, vertex components, integers).
bool StreamReadDWords(TStream& stream, uint32_t* items, int64_t count);
bool StreamReadDWords(TStream& stream, int32_t* items, int64_t count);
bool StreamReadDWords(TStream& stream, float* items, int64_t count);
bool StreamWriteDWords(TStream& stream, const uint32_t* items, int64_t count);
bool StreamWriteDWords(TStream& stream, const int32_t* items, int64_t count);
bool StreamWriteDWords(TStream& stream, const float* items, int64_t count);

// n 32-bit pixels (colour values, alpha in the top byte).
bool StreamReadPixels(TStream& stream, uint32_t* pixels, int64_t count);

// n items of 2 bytes (UTF-16 code units).
bool StreamReadWords(TStream& stream, uint16_t* items, int64_t count);
bool StreamReadWords(TStream& stream, char16_t* items, int64_t count);
bool StreamWriteWords(TStream& stream, const uint16_t* items, int64_t count);
bool StreamWriteWords(TStream& stream, const char16_t* items, int64_t count);

// A boolean stored as a 4-byte integer: written 0 or 1, read as true when
// any bit is set.
bool StreamReadBool(TStream& stream, bool& value);
bool StreamReadBool(TStream& stream);
bool StreamWriteBool(TStream& stream, bool value);

// Signed 32-bit integer.
bool StreamReadInt(TStream& stream, int32_t& value);
int32_t StreamReadInt(TStream& stream);
bool StreamWriteInt(TStream& stream, int32_t value);

// float32.
bool StreamReadFloat(TStream& stream, float& value);
float StreamReadFloat(TStream& stream);
bool StreamWriteFloat(TStream& stream, float value);

// float64.
bool StreamReadDouble(TStream& stream, double& value);
double StreamReadDouble(TStream& stream);
bool StreamWriteDouble(TStream& stream, double value);

// An 8-bit string: int32 byte count, then the bytes (no terminator; count 0
// for the empty string). A negative count, or one larger than what remains,
// logs "Read error" and reads as the empty string with nothing taken beyond
// the count.
bool StreamReadString(TStream& stream, AnsiString& value);
AnsiString StreamReadString(TStream& stream);
bool StreamWriteString(TStream& stream, const AnsiString& value);
