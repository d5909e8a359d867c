#include "platform/fonts/text_layout.h"

namespace {
bool EndsWord(char16_t c) { return c == u' ' || c == u',' || c == u'.'; }

// The run from `from` up to and including the next space, comma or full stop.
WideString NextWord(const WideString& text, size_t from) {
  size_t end = from;
  while (end < text.size() && !EndsWord(text[end])) ++end;
  if (end < text.size()) ++end;
  return text.substr(from, end - from);
}

std::vector<WideString> SplitLineBreaks(const WideString& text) {
  std::vector<WideString> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

class Layout {
 public:
  Layout(const TMeasureText& measure, float widthLimit) : measure_(measure), limit_(widthLimit) {}

  float width(const WideString& text) {
    int32_t count = 0;
    TPointF size;
    measure_(text, count, size, limit_);
    return size.x;
  }

  std::vector<WideString> wrap(const WideString& text, float w) {
    if (width(text) <= w) return {text};
    std::vector<WideString> lines;
    size_t pos = 0;
    while (pos < text.size()) {
      WideString line;
      while (pos < text.size() && width(line) < w) {
        WideString word = NextWord(text, pos);
        // A word wider than the rectangle stands alone.
        if (!line.empty() && width(line + word) > w) break;
        line += word;
        pos += word.size();
      }
      lines.push_back(line);
    }
    return lines;
  }

 private:
  const TMeasureText& measure_;
  float limit_;
};
}  // namespace

void LayoutText(TFont* font, uint8_t flags, const WideString& text, std::vector<TTextLine>& lines, int32_t& count,
                float widthLimit, const TMeasureText& measure, TRectF& rect) {
  lines.clear();
  count = 0;
  if (!measure) return;
  Layout layout(measure, widthLimit);
  float W = RectWidth(rect), H = RectHeight(rect);
  std::vector<WideString> texts =
      (flags & kTextWordWrap) && W > 5 ? layout.wrap(text, W) : SplitLineBreaks(text);
  float lineSpacing = font ? font->lineSpacing : 0;
  float widest = 0, total = 0;
  for (const WideString& line : texts) {
    int32_t fitting = 0;
    TPointF size;
    measure(line, fitting, size, widthLimit);
    count += fitting;
    lines.push_back({MakeRectF(0, 0, size.x, size.y + lineSpacing), line});
    widest = std::max(widest, size.x);
    total += lineSpacing + size.y;
  }

  if (flags & kTextRight) {
    rect.left = rect.right - widest;
  } else if (flags & kTextCentre) {
    rect.left += (W - widest) / 2;
    rect.right -= (W - widest) / 2;
  } else {
    rect.right = rect.left + widest;
  }
  if (flags & kTextBottom) {
    rect.top = rect.bottom - total;
  } else if (flags & kTextMiddle) {
    rect.top += (H - total) / 2;
    rect.bottom -= (H - total) / 2;
  } else {
    rect.bottom = rect.top + total;
  }

  float blockWidth = RectWidth(rect);
  float y = rect.top;
  for (TTextLine& line : lines) {
    float w = RectWidth(line.rect), h = RectHeight(line.rect);
    float x = rect.left;
    if (flags & kTextRight) {
      x += blockWidth - w;
    } else if (flags & kTextCentre) {
      x += (blockWidth - w) / 2;
    }
    line.rect = MakeRectF(x, y, x + w, y + h);
    y += h;
  }
}
