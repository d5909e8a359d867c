#pragma once
// PNG images of rendered frames.
#include <cstdint>
#include <span>
#include <vector>

// Encodes width x height ARGB words (rows top-down) as an 8-bit RGBA PNG.
// False, and nothing in `png`, when the size is not positive or the pixels
// hold fewer than width x height words.
bool EncodePng(int32_t width, int32_t height, std::span<const uint32_t> pixels, std::vector<uint8_t>& png);
