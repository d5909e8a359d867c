#pragma once
// A real applet for the media tests: the program's own parts, except that
// the cache's pixmap and mesh makers (whose file formats come later) make
// real device pixmaps and meshes for a few known names and record every
// request. `MediaPaint` objects draw a pixmap persistent over their rect.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/applet/game_parts.h"
#include "engine/visual_object.h"
#include "tests/engine/applet_world.h"

class TDevice;
class TMesh;
class TPixmapPersistent;
class TResourceMan;

// What the stand-in makers were asked for.
struct MediaRequest {
  TResourceMan* manager;
  std::string name;
};

struct MediaMakers {
  // Pixmaps by name (without extension): size and the colour of each pixel.
  struct PixmapRecipe {
    int width;
    int height;
    std::function<uint32_t(int x, int y)> pixel;
  };
  std::map<std::string, PixmapRecipe> pixmaps;
  // Meshes by name: frame counts (meshes without vertices), or a maker that
  // builds the whole mesh on the device.
  std::map<std::string, int> meshes;
  std::map<std::string, std::function<TMesh*(TDevice& device)>> meshMakers;
  std::vector<MediaRequest> pixmapRequests;
  std::vector<MediaRequest> meshRequests;
};

// Installs parts with the stand-in makers for every applet made while alive.
class MediaPartsScope {
 public:
  explicit MediaPartsScope(MediaMakers& makers);
  ~MediaPartsScope();
  MediaPartsScope(const MediaPartsScope&) = delete;
  MediaPartsScope& operator=(const MediaPartsScope&) = delete;
};

// Draws `pixmap` (a TPixmapPersistent or TSkinPixmapPersistent it owns, made
// by `usePixmap`/`useSkinPixmap`) over (left, top, right, bottom) in 2D,
// with the object's material applied first.
class MediaPaint : public VisualObject {
  Q_OBJECT(MediaPaint, VisualObject)

 public:
  void Destroy() override;
  void drawSelf() override;
  TPixmapPersistent* usePixmap();
  TPixmapPersistent* useSkinPixmap();
  TRectF area{0, 0, 0, 0};
  TPixmapPersistent* pixmap = nullptr;
};

// A frame rendered and read back: width x height ARGB pixels, rows top-down.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Frame RenderFrame(Applet* applet);

// A MediaPaint child of the applet with material "gui".
MediaPaint* AddPaint(Applet* applet, const TRectF& area);

// Colours of the test pixmaps.
inline constexpr uint32_t kRed = 0xFFFF0000u;
inline constexpr uint32_t kGreen = 0xFF00FF00u;
inline constexpr uint32_t kBlue = 0xFF0000FFu;
inline constexpr uint32_t kWhite = 0xFFFFFFFFu;
// Whether two colours are within a few steps of each other in red, green and
// blue (a read-back frame says nothing about alpha).
bool Near(uint32_t a, uint32_t b, int tolerance = 6);
