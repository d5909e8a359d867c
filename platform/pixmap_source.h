#pragma once
// The file a pixmap is being made for. Code that makes pixmaps from a file
// names the file around the making, so that a device that cannot make the
// texture says which file it was for ("Can't create texture for back.png")
// instead of leaving the author to guess among every picture of the game.
#include "core/text/text.h"

class PixmapSource {
 public:
  // The name must outlive the scope.
  explicit PixmapSource(const WideString& fileName);
  ~PixmapSource();
  PixmapSource(const PixmapSource&) = delete;
  PixmapSource& operator=(const PixmapSource&) = delete;

 private:
  const WideString& fileName_;
  PixmapSource* outer_;
  friend void LogCantCreateTexture();
};

// The devices' error line for a texture they cannot make: "Can't create
// texture", with " for <file>" inside a PixmapSource.
void LogCantCreateTexture();
