#pragma once
// The ".pixmap" file: "PIXMAPB", width, height, the compressed flag, 508
// reserved bytes, then either the raw pixel words or two JPEG planes (the
// colour, whose first, second and third components are bytes 0, 1 and 2 of
// each pixel word, then the alpha as a grey picture at quality 30), each as
// an int32 byte count and its bytes. The JPEG form is written only at build time for
// the built-in pixmaps (the program writes the raw form), so this part needs
// nothing of the program beyond the JPEG codec.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/argb_image.h"

inline constexpr std::string_view kPixmapSignature = "PIXMAPB";
inline constexpr int64_t kPixmapReservedBytes = 508;
inline constexpr int64_t kPixmapHeaderBytes = 527;
inline constexpr int kAlphaPlaneQuality = 30;

// The file in the JPEG form, or empty when the image cannot be encoded.
std::string JpegPlanesPixmapFile(const TArgbImage& image, int colourQuality);
