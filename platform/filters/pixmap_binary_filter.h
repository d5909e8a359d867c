#pragma once
// ".pixmap", the system's own pixmap file (the layout is in
// pixmap_file_format.h): read in both forms, written in the raw form.
#include "platform/filters/abstract_filter.h"

class TStream;

class TPixmapBinaryFilter : public TPixmapFilter {
  Q_OBJECT(TPixmapBinaryFilter, TPixmapFilter)

 public:
  bool hasReadRGBA() const override { return true; }
  bool readRGBA(TResourceMan* manager, const WideString& name, TArgbImage& image) override;
  bool writePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap) override;
};

// Reads a ".pixmap" file from the stream's position. False for another
// signature; damaged data raises EReadError (or EJPEG from a plane).
bool ReadPixmapFile(TStream& stream, TArgbImage& image);

// The bytes of the raw form of the image.
std::vector<uint8_t> RawPixmapFile(const TArgbImage& image);
