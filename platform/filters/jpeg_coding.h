#pragma once
// JPEG coding over the program's streams: what the JPEG filter and the
// ".pixmap" file's JPEG planes use. Errors of the library raise EJPEG with
// the text "JPEG ERROR -- #", the library's message code, ": " and the
// message's text, from the program's own frames once libjpeg has been left.
#include "core/text/exceptions.h"
#include "platform/argb_image.h"
#include "platform/filters/jpeg_codec.h"

class TStream;

class EJPEG : public Exception {
  using Exception::Exception;
};

// Decodes the JPEG stream from the stream's position to its end (data that
// ends early decodes as far as it goes; a size the remaining bytes cannot
// hold is refused). `order` WordBytes reads a ".pixmap" colour plane.
TArgbImage decodeJpeg(TStream& source, JpegPlane order = JpegPlane::Colour);
// Decodes a ".pixmap" alpha plane into the alpha bytes of `image`; false,
// with `image` unchanged, when the plane is of another size.
bool decodeJpegAlphaInto(TStream& source, TArgbImage& image);

// Writes the plane of the image as a JPEG stream at the quality; the size is
// the image's own.
void encodeJpeg(const TArgbImage& image, TStream& destination, int quality, JpegPlane plane = JpegPlane::Colour);
