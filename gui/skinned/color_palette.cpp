#include "gui/skinned/color_palette.h"

#include <cmath>
#include <string>

namespace {
constexpr int kGreyCount = 8;
constexpr int kHueCount = 11;
constexpr int kShadeCount = 8;

// Banker's rounding, as every other rounding of the program.
uint32_t Channel(double value) { return static_cast<uint32_t>(std::nearbyint(value * 255.0)); }

double HueChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 1.0 / 2) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }
}  // namespace

uint32_t HslToRgb(double hue, double saturation, double lightness) {
  if (saturation == 0) {
    const uint32_t grey = Channel(lightness);
    return Rgb(grey, grey, grey);
  }
  const double q = lightness < 0.5 ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
  const double p = 2 * lightness - q;
  return Rgb(Channel(HueChannel(p, q, hue + 1.0 / 3)), Channel(HueChannel(p, q, hue)),
             Channel(HueChannel(p, q, hue - 1.0 / 3)));
}

const std::vector<WideString>& ColorPaletteEntries() {
  static const std::vector<WideString> entries = [] {
    std::vector<WideString> list;
    auto add = [&](uint32_t rgb) { list.push_back(AnsiToWide(std::to_string(rgb))); };
    for (int i = 0; i < kGreyCount; ++i) {
      const uint32_t grey = Channel(static_cast<double>(i) / (kGreyCount - 1));
      add(Rgb(grey, grey, grey));
    }
    for (int i = 0; i < kHueCount; ++i) {
      for (int j = 1; j <= kShadeCount; ++j) {
        add(HslToRgb(static_cast<double>(i) / kHueCount, 0.5, static_cast<double>(j) / (kShadeCount + 1)));
      }
    }
    return list;
  }();
  return entries;
}
