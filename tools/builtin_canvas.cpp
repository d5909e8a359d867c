#include "tools/builtin_canvas.h"

namespace builtin_art {

namespace {
uint8_t Channel(Argb c, int shift) { return static_cast<uint8_t>((c >> shift) & 0xFF); }

float Clamp01(float t) { return std::min(1.0f, std::max(0.0f, t)); }

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  float dx = bx - ax, dy = by - ay;
  float length2 = dx * dx + dy * dy;
  float t = length2 > 0 ? Clamp01(((px - ax) * dx + (py - ay) * dy) / length2) : 0;
  float qx = ax + t * dx - px, qy = ay + t * dy - py;
  return std::sqrt(qx * qx + qy * qy);
}

bool InRoundedCorners(Box b, float r, float x, float y, bool bottomRounded) {
  if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) return false;
  float cx = x < b.left + r ? b.left + r : x > b.right - r ? b.right - r : x;
  float cy = y < b.top + r ? b.top + r : (bottomRounded && y > b.bottom - r) ? b.bottom - r : y;
  float dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= r * r;
}
}  // namespace

Argb Mix(Argb a, Argb b, float t) {
  t = Clamp01(t);
  Argb out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    float v = Channel(a, shift) + (Channel(b, shift) - Channel(a, shift)) * t;
    out |= static_cast<Argb>(std::lround(v)) << shift;
  }
  return out;
}

InsideTest RoundRect(Box box, float radius) {
  return [=](float x, float y) { return InRoundedCorners(box, radius, x, y, true); };
}

InsideTest TopRoundRect(Box box, float radius) {
  return [=](float x, float y) { return InRoundedCorners(box, radius, x, y, false); };
}

InsideTest Circle(float cx, float cy, float radius) {
  return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

InsideTest Ring(float cx, float cy, float inner, float outer) {
  return [=](float x, float y) {
    float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    return d2 <= outer * outer && d2 >= inner * inner;
  };
}

InsideTest Polygon(std::vector<float> xy) {
  return [xy = std::move(xy)](float x, float y) {
    bool inside = false;
    size_t n = xy.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

InsideTest Stroke(std::vector<float> xy, float width) {
  return [xy = std::move(xy), half = width / 2](float x, float y) {
    for (size_t i = 0; i + 3 < xy.size(); i += 2) {
      if (SegmentDistance(x, y, xy[i], xy[i + 1], xy[i + 2], xy[i + 3]) <= half) return true;
    }
    return false;
  };
}

Paint Solid(Argb c) {
  return [c](float, float) { return c; };
}

Paint VerticalGradient(Box box, Argb top, Argb bottom) {
  return [=](float, float y) { return Mix(top, bottom, (y - box.top) / box.height()); };
}

Paint DiagonalGradient(Box box, Argb from, Argb to) {
  return [=](float x, float y) {
    return Mix(from, to, ((x - box.left) / box.width() + (y - box.top) / box.height()) / 2);
  };
}

Paint RadialGradient(float cx, float cy, float radius, Argb centre, Argb edge) {
  return [=](float x, float y) {
    return Mix(centre, edge, std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / radius);
  };
}

void Canvas::blend(int x, int y, Argb c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
  Argb& d = pixels_[static_cast<size_t>(y * width_ + x)];
  float sa = Channel(c, 24) / 255.0f * coverage;
  float da = Channel(d, 24) / 255.0f;
  float oa = sa + da * (1 - sa);
  if (oa <= 0) {
    d = 0;
    return;
  }
  Argb out = static_cast<Argb>(std::lround(oa * 255)) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    float v = (Channel(c, shift) * sa + Channel(d, shift) * da * (1 - sa)) / oa;
    out |= static_cast<Argb>(std::lround(v)) << shift;
  }
  d = out;
}

void Canvas::fill(const Box& clip, const InsideTest& inside, const Paint& paint) {
  constexpr int kSamples = 4;
  int x0 = std::max(0, static_cast<int>(std::floor(clip.left)));
  int y0 = std::max(0, static_cast<int>(std::floor(clip.top)));
  int x1 = std::min(width_, static_cast<int>(std::ceil(clip.right)));
  int y1 = std::min(height_, static_cast<int>(std::ceil(clip.bottom)));
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          if (inside(x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples)) ++hits;
        }
      }
      if (hits) blend(x, y, paint(x + 0.5f, y + 0.5f), static_cast<float>(hits) / (kSamples * kSamples));
    }
  }
}

void Canvas::clear(const Box& box) {
  for (int y = std::max(0, static_cast<int>(box.top)); y < std::min(height_, static_cast<int>(box.bottom)); ++y) {
    for (int x = std::max(0, static_cast<int>(box.left)); x < std::min(width_, static_cast<int>(box.right)); ++x) {
      set(x, y, 0);
    }
  }
}

}  // namespace builtin_art
