#pragma once
// The filters at work without a display: a folder resource manager on a
// temporary folder, a device that keeps pixmaps and meshes in memory, the
// applet's TFilter serving both, and the log captured. Pictures are written
// with libpng and libjpeg themselves, models with lib3ds and a small MD3
// writer that follows the format.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/geometry/geometry.h"
#include "platform/device_fake_helpers.h"
#include "platform/filters/abstract_filter.h"
#include "platform/filters/filter.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

class TResourceMan;

class FilterWorld : public TFilterHost {
 public:
  FilterWorld();
  ~FilterWorld() override;

  TDevice* filterDevice() override { return device.get(); }
  float filterModelScale() override { return scale; }

  // The pixels of a pixmap, rows top-down; empty for nil.
  std::vector<uint32_t> pixels(TPixmap* pixmap);
  // Sets a file's modification time to `secondsAgo` before now.
  void age(const std::string& name, int secondsAgo);

  float scale = 1;
  TempDir dir;
  LogCapture log;
  TTestHost deviceHost;
  FakeDevicePtr device;
  std::unique_ptr<TResourceMan, FreeDeleter> manager;
  std::unique_ptr<TFilter, FreeDeleter> filter;
};

// ---- pictures written by the libraries themselves -----------------------------------

enum class PngKind { Rgb, Rgba, Palette, Grey, GreyAlpha };
struct PngOptions {
  PngKind kind = PngKind::Rgba;
  int bitDepth = 8;  // 8 or 16 (palette: 8)
  bool interlaced = false;
};
// The ARGB words (grey kinds take the green byte) as a PNG.
std::string PngFile(int width, int height, const std::vector<uint32_t>& argb, const PngOptions& options);

enum class JpegKind { Baseline, Progressive, Grey, Cmyk };
std::string JpegFile(int width, int height, const std::vector<uint32_t>& argb, JpegKind kind, int quality = 95);

// Blocks of plain colour, `block` pixels square, from `colours` in turn.
std::vector<uint32_t> Blocks(int width, int height, int block, const std::vector<uint32_t>& colours);

// ---- models ------------------------------------------------------------------------------

// An MD3 file as the format lays it out: each surface's vertex i of frame f
// lies at (i + f, s, -i) units (s the surface's number) in 1/64 steps, with
// the packed normal i x 37 + f and texture coordinate (i / 10, s / 2).
struct Md3Surface {
  int vertices = 0;
  std::vector<std::array<int32_t, 3>> triangles;
  int frames = -1;  // -1: the model's
};
std::string Md3File(int frames, const std::vector<Md3Surface>& surfaces, const char* ident = "IDP3",
                    int32_t version = 15);

// A 3DS file written by lib3ds, its mesh objects in the given order (lib3ds
// itself would sort them by name).
struct ThreeDsObject {
  std::string name;
  std::vector<TVector3F> points;
  std::vector<TTexCoord> texels;  // none or one per point
  std::vector<std::array<uint16_t, 3>> faces;
  bool hidden = false;
};
std::string ThreeDsFile(const std::vector<ThreeDsObject>& objects);

// Whether red, green, blue and alpha are each within `tolerance`.
bool NearArgb(uint32_t a, uint32_t b, int tolerance);
