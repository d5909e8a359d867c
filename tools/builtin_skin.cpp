#include "tools/builtin_skin.h"

#include <cstdio>
#include <map>

#include "platform/filters/pixmap_file_format.h"

namespace builtin_art {

namespace {
// The colour planes of the built-in pixmaps: near enough to the drawing that
// widgets and fills look as drawn.
constexpr int kColourQuality = 95;
}  // namespace

// No two elements share a pixel (but "edit" and "list", which look alike):
// an element stretched or tiled over a widget shows nothing of another. The
// first 16 x 16 block stays free for the texel plain fills sample, and "empty"
// lies alone in a transparent block, so that it draws nothing.
const std::vector<SkinElementLayout>& DefaultSkinLayout() {
  static const std::vector<SkinElementLayout> layout = {
      {"form", 4, 4, 210, 164, true, 31, 31, 35, 35, false},
      {"minform", 370, 14, 492, 134, true, 30, 30, 33, 33, true},
      {"title", 2, 302, 208, 338, true, 40, 30, 40, 10, false},
      {"widget", 404, 340, 437, 373, true, 4, 4, 4, 4, true},
      {"empty", 488, 488, 489, 489, false, 0, 0, 0, 0, true},
      {"graybutton", 14, 217, 141, 249, true, 8, 8, 8, 8, true},
      {"redbutton", 14, 257, 141, 289, true, 8, 8, 8, 8, true},
      {"button", 14, 400, 141, 432, true, 8, 8, 8, 8, true},
      {"bigbutton", 344, 260, 423, 298, true, 20, 0, 20, 0, true},
      {"unchecked", 163, 220, 188, 244, false, 0, 0, 0, 0, true},
      {"checked", 163, 249, 188, 273, false, 0, 0, 0, 0, true},
      {"list", 14, 174, 152, 204, true, 12, 12, 12, 12, true},
      {"selection", 164, 400, 280, 422, true, 10, 10, 10, 10, true},
      {"item", 344, 310, 395, 347, true, 6, 6, 6, 6, true},
      {"disabled", 432, 260, 501, 326, false, 0, 0, 0, 0, true},
      {"track", 53, 373, 235, 384, true, 4, 4, 4, 4, true},
      {"thumb", 14, 370, 36, 392, false, 0, 0, 0, 0, true},
      {"edit", 14, 174, 152, 204, true, 12, 12, 12, 12, true},
      {"dropdown", 212, 292, 333, 334, true, 7, 7, 15, 15, true},
      {"dropdownhot", 344, 390, 412, 412, true, 6, 6, 6, 6, true},
      {"dropdownglyph", 424, 394, 433, 401, false, 0, 0, 0, 0, true},
      {"closebtn", 344, 430, 357, 443, false, 0, 0, 0, 0, true},
      {"closebtnhot", 364, 430, 377, 444, false, 0, 0, 0, 0, true},
      {"flipbtn", 384, 430, 397, 443, false, 0, 0, 0, 0, true},
      {"flipbtnhot", 404, 430, 417, 444, false, 0, 0, 0, 0, true},
      {"tile", 221, 16, 359, 149, true, 9, 9, 9, 9, true},
      {"circle", 215, 166, 320, 271, false, 0, 0, 0, 0, true},
      {"help", 322, 177, 381, 236, false, 0, 0, 0, 0, true},
      {"warn", 397, 178, 460, 237, false, 0, 0, 0, 0, true},
      {"cursor", 0, 453, 48, 512, false, 0, 0, 0, 0, true},
  };
  return layout;
}

namespace {
// The palette: a dark, flat scheme, so that the default white text reads on
// every body that carries text; every element has its own hue.
constexpr Argb kInk = Rgb(0x2B3A4A);
constexpr Argb kGlyph = Rgb(0xE6EBF1);
constexpr Argb kField = Rgb(0x1C2630);
constexpr Argb kFieldEdge = Rgb(0x6A7A8A);
constexpr Argb kWhite = Rgb(0xFFFFFF);

Box BoxOf(const SkinElementLayout& e) {
  return {static_cast<float>(e.left), static_cast<float>(e.top), static_cast<float>(e.right),
          static_cast<float>(e.bottom)};
}

// A panel: a border of `border` pixels around a body, rounded.
void Panel(Canvas& c, Box b, float radius, float border, Argb edge, const Paint& body) {
  c.fill(b, RoundRect(b, radius), Solid(edge));
  Box inner = b.inset(border);
  c.fill(inner, RoundRect(inner, std::max(0.0f, radius - border)), body);
}

// A window: a soft shadow to the right and below (the larger right and
// bottom margins hold it), a frame and a body.
void Window(Canvas& c, Box b, Argb edge, Argb body) {
  Box frame{b.left, b.top, b.right - 4, b.bottom - 4};
  for (int i = 4; i >= 1; --i) {
    Box shadow = frame.moved(static_cast<float>(i), static_cast<float>(i));
    c.fill(shadow, RoundRect(shadow, 10), Solid(WithAlpha(0x000000, static_cast<uint8_t>(18 * (5 - i)))));
  }
  Panel(c, frame, 10, 3, edge, VerticalGradient(frame, Mix(body, kWhite, 0.12f), body));
}

void Button(Canvas& c, Box b, float radius, Argb top, Argb bottom, Argb edge) {
  Panel(c, b, radius, 1.5f, edge, VerticalGradient(b, top, bottom));
  Box shine{b.left + radius / 2, b.top + 2, b.right - radius / 2, b.top + 3};
  c.fill(shine, RoundRect(shine, 0.5f), Solid(WithAlpha(kWhite, 0x70)));
}

void CheckBox(Canvas& c, Box b, bool checked) {
  Box box{b.left + 3.5f, b.top + 3, b.left + 21.5f, b.top + 21};
  if (!checked) {
    Panel(c, box, 3, 2, Rgb(0x8899AA), Solid(kField));
    return;
  }
  Panel(c, box, 3, 1, Rgb(0x1F5A9A), Solid(Rgb(0x3A86D4)));
  c.fill(box, Stroke({box.left + 4, box.top + 9.5f, box.left + 7.5f, box.top + 13.5f, box.left + 14, box.top + 4.5f}, 3),
         Solid(kWhite));
}

void SmallButton(Canvas& c, Box b, Argb fill, bool cross) {
  Box face{b.left, b.top, b.left + 13, b.top + 13};
  c.fill(face, RoundRect(face, 3), Solid(fill));
  if (cross) {
    c.fill(face, Stroke({face.left + 3.5f, face.top + 3.5f, face.right - 3.5f, face.bottom - 3.5f}, 2), Solid(kWhite));
    c.fill(face, Stroke({face.right - 3.5f, face.top + 3.5f, face.left + 3.5f, face.bottom - 3.5f}, 2), Solid(kWhite));
  } else {
    c.fill(face, Stroke({face.left + 3.5f, face.bottom - 4, face.right - 3.5f, face.bottom - 4}, 2), Solid(kWhite));
  }
}

void HelpSign(Canvas& c, Box b) {
  float cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2, r = b.width() / 2 - 1;
  c.fill(b, Circle(cx, cy, r), RadialGradient(cx - 8, cy - 8, r * 1.6f, Rgb(0x6FB2EE), Rgb(0x1F5A9A)));
  // A question mark: an arc over the top, a short stem and a dot.
  std::vector<float> hook;
  for (int i = 0; i <= 12; ++i) {
    float a = 3.14159f * (1.0f + i / 8.0f);
    hook.push_back(cx + 9 * std::cos(a));
    hook.push_back(cy - 7 + 9 * std::sin(a));
  }
  hook.push_back(cx);
  hook.push_back(cy + 6);
  c.fill(b, Stroke(hook, 5), Solid(kWhite));
  c.fill(b, Circle(cx, cy + 14, 3.2f), Solid(kWhite));
}

void WarnSign(Canvas& c, Box b) {
  float cx = (b.left + b.right) / 2;
  c.fill(b, Polygon({cx, b.top + 2, b.right - 2, b.bottom - 3, b.left + 2, b.bottom - 3}), Solid(Rgb(0x8A6D00)));
  c.fill(b, Polygon({cx, b.top + 7, b.right - 7, b.bottom - 6, b.left + 7, b.bottom - 6}),
         VerticalGradient(b, Rgb(0xFFE066), Rgb(0xF5B700)));
  c.fill(b, Stroke({cx, b.top + 20, cx, b.top + 38}, 5), Solid(kInk));
  c.fill(b, Circle(cx, b.top + 46, 3), Solid(kInk));
}

void Cursor(Canvas& c, Box b) {
  auto at = [&](std::initializer_list<float> xy) {
    std::vector<float> points(xy);
    for (size_t i = 0; i < points.size(); i += 2) {
      points[i] = b.left + 2 + points[i] * 1.15f;
      points[i + 1] = b.top + 2 + points[i + 1] * 1.15f;
    }
    return points;
  };
  std::vector<float> arrow = at({0, 0, 0, 36, 9, 28, 15, 42, 21, 39, 15, 26, 27, 26});
  c.fill(b, Polygon(arrow), Solid(kWhite));
  arrow.push_back(arrow[0]);
  arrow.push_back(arrow[1]);
  c.fill(b, Stroke(arrow, 2), Solid(Rgb(0x101820)));
}

void Tile(Canvas& c, Box b) {
  Panel(c, b, 6, 2, Rgb(0x6E8F52), Solid(Rgb(0x2F3D27)));
  Box inner = b.inset(9);
  c.fill(inner,
         [inner](float x, float y) {
           return static_cast<int>(std::floor((x - inner.left + y - inner.top) / 6)) % 2 == 0;
         },
         Solid(Rgb(0x37482D)));
}

void Dropdown(Canvas& c, Box b) {
  Panel(c, b, 4, 1.5f, kFieldEdge, Solid(kField));
  Box button{b.right - 15, b.top + 1.5f, b.right - 1.5f, b.bottom - 1.5f};
  c.fill(button, RoundRect(button, 2.5f), VerticalGradient(button, Rgb(0x5A6775), Rgb(0x3A4550)));
  c.fill(Box{button.left - 1, button.top, button.left, button.bottom}, [](float, float) { return true; },
         Solid(kFieldEdge));
}

// Each element's drawing, by name.
void DrawElement(Canvas& c, const SkinElementLayout& e) {
  const std::string name = e.name;
  Box b = BoxOf(e);
  if (name == "form") {
    Window(c, b, Rgb(0x0F1720), Rgb(0x2A3746));
  } else if (name == "minform") {
    Window(c, b, Rgb(0x1B4F7A), Rgb(0x233C55));
  } else if (name == "title") {
    c.fill(b, TopRoundRect(b, 8), VerticalGradient(b, Rgb(0x3C74B4), Rgb(0x1F4F8A)));
    c.fill(Box{b.left + 6, b.top + 1, b.right - 6, b.top + 2}, [](float, float) { return true; },
           Solid(WithAlpha(kWhite, 0x80)));
  } else if (name == "widget") {
    Panel(c, b, 3, 1, Rgb(0x5A6B7D), Solid(Rgb(0x2E3A48)));
  } else if (name == "graybutton") {
    Button(c, b, 6, Rgb(0x6B7785), Rgb(0x47515D), Rgb(0x2B323A));
  } else if (name == "redbutton") {
    Button(c, b, 6, Rgb(0xC9403C), Rgb(0x8E2420), Rgb(0x6E1C19));
  } else if (name == "button") {
    Button(c, b, 6, Rgb(0x3A7CC4), Rgb(0x1F528E), Rgb(0x163F6C));
  } else if (name == "bigbutton") {
    Button(c, b, 12, Rgb(0x3E8E42), Rgb(0x25622A), Rgb(0x1B4E20));
  } else if (name == "unchecked" || name == "checked") {
    CheckBox(c, b, name == "checked");
  } else if (name == "list" || name == "edit") {
    Panel(c, b, 4, 1, kFieldEdge, Solid(kField));
    c.fill(Box{b.left + 3, b.top + 1, b.right - 3, b.top + 2}, [](float, float) { return true; },
           Solid(Rgb(0x111820)));
  } else if (name == "selection") {
    Panel(c, b, 4, 1, Rgb(0x5DA9F0), Solid(Rgb(0x245C9A)));
  } else if (name == "item") {
    Panel(c, b, 4, 1, Rgb(0x4E5D6E), Solid(Rgb(0x34414F)));
  } else if (name == "disabled") {
    Panel(c, b, 4, 1, Rgb(0x5A636C), Solid(Rgb(0x454D55)));
  } else if (name == "track") {
    Panel(c, b, 5, 1, Rgb(0x1E2833), Solid(Rgb(0x5A6773)));
  } else if (name == "thumb") {
    float cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    c.fill(b, Circle(cx, cy, 10.5f), Solid(Rgb(0x1F5A9A)));
    c.fill(b, Circle(cx, cy, 9), RadialGradient(cx - 3, cy - 3, 12, Rgb(0x8CC4F5), Rgb(0x2E7BCF)));
  } else if (name == "dropdown") {
    Dropdown(c, b);
  } else if (name == "dropdownhot") {
    Panel(c, b, 3, 1, Rgb(0x4C9BE8), Solid(Rgb(0x2C5F9E)));
  } else if (name == "dropdownglyph") {
    c.fill(b, Polygon({b.left + 0.5f, b.top + 1, b.right - 0.5f, b.top + 1, (b.left + b.right) / 2, b.bottom - 1}),
           Solid(kGlyph));
  } else if (name == "closebtn") {
    SmallButton(c, b, Rgb(0xD9534F), true);
  } else if (name == "closebtnhot") {
    SmallButton(c, b, Rgb(0xF2726E), true);
  } else if (name == "flipbtn") {
    SmallButton(c, b, Rgb(0x7F8C99), false);
  } else if (name == "flipbtnhot") {
    SmallButton(c, b, Rgb(0xA3B3C3), false);
  } else if (name == "tile") {
    Tile(c, b);
  } else if (name == "circle") {
    float cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    c.fill(b, Circle(cx, cy, b.width() / 2 - 0.5f), RadialGradient(cx - 15, cy - 15, 75, Rgb(0xFFE38A), Rgb(0xE8940A)));
  } else if (name == "help") {
    HelpSign(c, b);
  } else if (name == "warn") {
    WarnSign(c, b);
  } else if (name == "cursor") {
    Cursor(c, b);
  }
}

// The order the elements are drawn in (each in its own place).
const char* const kDrawOrder[] = {"form",      "minform",   "tile",       "circle",       "disabled",
                                  "item",      "title",     "list",       "edit",         "dropdown",
                                  "selection", "track",     "graybutton", "redbutton",    "button",
                                  "bigbutton", "widget",    "unchecked",  "checked",      "thumb",
                                  "help",      "warn",      "dropdownhot", "dropdownglyph", "closebtn",
                                  "closebtnhot", "flipbtn", "flipbtnhot", "cursor",       "empty"};

const SkinElementLayout& Element(const std::string& name) {
  for (const SkinElementLayout& e : DefaultSkinLayout()) {
    if (name == e.name) return e;
  }
  std::fprintf(stderr, "no skin element %s\n", name.c_str());
  std::abort();
}

std::string FloatText(float value) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.15f", static_cast<double>(value));
  return text;
}
}  // namespace

Canvas DrawDefaultSkin() {
  Canvas canvas(512, 512);
  for (const char* name : kDrawOrder) {
    const SkinElementLayout& e = Element(name);
    canvas.clear(BoxOf(e));
    DrawElement(canvas, e);
  }
  // Plain fills sample only the top-left texel: it must be opaque white. The
  // pixmap is carried with JPEG planes, which code the picture in blocks of
  // 16 x 16 pixels: the free pixels of the first block are opaque white and
  // its transparent ones white without alpha, so that the colour block is
  // uniform and the texel comes back exactly.
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (x < 4 || y < 4) canvas.set(x, y, kWhite);
      if (canvas.at(x, y) >> 24 == 0) canvas.set(x, y, WithAlpha(kWhite, 0));
    }
  }
  return canvas;
}

Canvas DrawDefaultIcon() {
  Canvas canvas(128, 128);
  Box b{4, 4, 124, 124};
  canvas.fill(b.moved(0, 2), RoundRect(b.moved(0, 2), 26), Solid(WithAlpha(0x000000, 0x40)));
  canvas.fill(b, RoundRect(b, 26), DiagonalGradient(b, Rgb(0x5DA9F0), Rgb(0x1F4F8A)));
  // A "Q": a ring with a tail.
  canvas.fill(b, Ring(62, 60, 22, 34), Solid(kWhite));
  canvas.fill(b, Stroke({76, 74, 96, 96}, 12), Solid(kWhite));
  return canvas;
}

Canvas DrawDefaultParticle() {
  Canvas canvas(256, 256);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      float dx = (x + 0.5f - 128) / 128, dy = (y + 0.5f - 128) / 128;
      float r2 = dx * dx + dy * dy;
      // A soft glow that reaches zero at the rim.
      float alpha = r2 >= 1 ? 0 : std::exp(-4.5f * r2) * (1 - r2);
      canvas.set(x, y, WithAlpha(kWhite, static_cast<uint8_t>(std::lround(255 * alpha))));
    }
  }
  return canvas;
}

std::string DefaultSkinObjectFile() {
  std::string text = "<?xml version=\"1.0\"?>\r\n";
  text += "<Skin   >\r\n";
  auto attribute = [&](const std::string& name, const std::string& value) {
    text += "     " + name + "=\"" + value + "\"\r\n";
  };
  for (const SkinElementLayout& e : DefaultSkinLayout()) {
    text += "  <SkinElement \r\n";
    attribute("name", e.name);
    attribute("pixmap.rect.left", FloatText(static_cast<float>(e.left)));
    attribute("pixmap.rect.top", FloatText(static_cast<float>(e.top)));
    attribute("pixmap.rect.right", FloatText(static_cast<float>(e.right)));
    attribute("pixmap.rect.bottom", FloatText(static_cast<float>(e.bottom)));
    if (e.hasMargins) {
      attribute("pixmap.margins.left", FloatText(static_cast<float>(e.marginLeft)));
      attribute("pixmap.margins.top", FloatText(static_cast<float>(e.marginTop)));
      attribute("pixmap.margins.right", FloatText(static_cast<float>(e.marginRight)));
      attribute("pixmap.margins.bottom", FloatText(static_cast<float>(e.marginBottom)));
    }
    if (!e.tile) attribute("pixmap.tile", "False");
    text += "    >\r\n";
    text += "  </SkinElement>\r\n";
  }
  text += "</Skin>\r\n";
  return text;
}

std::string PixmapFile(const Canvas& canvas) {
  const TArgbImage image{canvas.width(), canvas.height(), canvas.pixels()};
  return JpegPlanesPixmapFile(image, kColourQuality);
}

}  // namespace builtin_art
