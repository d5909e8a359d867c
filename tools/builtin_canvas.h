#pragma once
// A small software canvas for drawing the built-in images at build time:
// 32-bit ARGB pixels (straight alpha), shapes given as "is this point inside"
// tests, painted with 4 x 4 supersampling for smooth edges.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace builtin_art {

using Argb = uint32_t;

constexpr Argb Rgb(uint32_t rgb) { return 0xFF000000u | rgb; }
constexpr Argb WithAlpha(Argb c, uint8_t alpha) { return (c & 0x00FFFFFFu) | (uint32_t{alpha} << 24); }
Argb Mix(Argb a, Argb b, float t);

struct Box {
  float left, top, right, bottom;
  float width() const { return right - left; }
  float height() const { return bottom - top; }
  Box inset(float by) const { return {left + by, top + by, right - by, bottom - by}; }
  Box moved(float dx, float dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

using InsideTest = std::function<bool(float x, float y)>;
using Paint = std::function<Argb(float x, float y)>;

InsideTest RoundRect(Box box, float radius);
// Rounded at the top corners only.
InsideTest TopRoundRect(Box box, float radius);
InsideTest Circle(float cx, float cy, float radius);
InsideTest Ring(float cx, float cy, float inner, float outer);
// A closed polygon (even-odd rule).
InsideTest Polygon(std::vector<float> xy);
// A stroke of the given width along the polyline.
InsideTest Stroke(std::vector<float> xy, float width);

Paint Solid(Argb c);
// From `top` at box.top to `bottom` at box.bottom.
Paint VerticalGradient(Box box, Argb top, Argb bottom);
Paint DiagonalGradient(Box box, Argb from, Argb to);
Paint RadialGradient(float cx, float cy, float radius, Argb centre, Argb edge);

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), 0) {}

  int width() const { return width_; }
  int height() const { return height_; }
  Argb at(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
  void set(int x, int y, Argb c) { pixels_[static_cast<size_t>(y * width_ + x)] = c; }
  const std::vector<Argb>& pixels() const { return pixels_; }

  // Paints the shape over what is there, within `clip` (whole pixels).
  void fill(const Box& clip, const InsideTest& inside, const Paint& paint);
  // Puts the colour over a pixel with the given share of coverage.
  void blend(int x, int y, Argb c, float coverage);
  // Clears a box to transparent.
  void clear(const Box& box);

 private:
  int width_, height_;
  std::vector<Argb> pixels_;
};

}  // namespace builtin_art
