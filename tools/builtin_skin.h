#pragma once
// The runtime's built-in files, drawn and written at build time: the default
// skin pixmap and the object file that cuts it into named elements, the
// window icon and the default particle image.
#include <string>
#include <vector>

#include "tools/builtin_canvas.h"

namespace builtin_art {

// One element of the default skin: its source rectangle in the 512 x 512
// pixmap, its nine-slice margins (when it has any), and whether its parts are
// tiled (the default) or stretched.
struct SkinElementLayout {
  const char* name;
  int left, top, right, bottom;
  bool hasMargins;
  int marginLeft, marginTop, marginRight, marginBottom;
  bool tile;
};

// The 30 elements, in file order.
const std::vector<SkinElementLayout>& DefaultSkinLayout();

Canvas DrawDefaultSkin();      // 512 x 512
Canvas DrawDefaultIcon();      // 128 x 128
Canvas DrawDefaultParticle();  // 256 x 256

// The skin's object file in XML form: one Skin holding a SkinElement per
// element, numbers written as float32 values with 15 decimals, CR LF lines.
std::string DefaultSkinObjectFile();

// A ".pixmap" file of the canvas in the form with JPEG planes, as the
// built-in pixmaps are carried: the colour plane and the alpha plane.
std::string PixmapFile(const Canvas& canvas);

}  // namespace builtin_art
