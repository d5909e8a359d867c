#include "gui/align_children.h"

#include <memory>
#include <vector>

#include "gui/gui_object.h"

namespace {
// The children that take part: visible GuiObjects, in list order.
std::vector<GuiObject*> Participants(int count, GuiChildAccessor child, BaseObject* holder) {
  std::vector<GuiObject*> list;
  for (int i = 0; i < count; ++i) {
    auto* gui = dynamic_cast<GuiObject*>(child(holder, i));
    if (gui && gui->visible()) list.push_back(gui);
  }
  return list;
}

void AnchorCorners(const std::vector<GuiObject*>& list, float& previousWidth, float& previousHeight, float right,
                   float bottom) {
  const float dW = right - previousWidth, dH = bottom - previousHeight;
  const bool widthChanged = right != previousWidth, heightChanged = bottom != previousHeight;
  for (GuiObject* c : list) {
    if (c->align() == gaTopRight && widthChanged) c->setX(c->x() + dW);
  }
  for (GuiObject* c : list) {
    if (c->align() == gaBottomRight && (widthChanged || heightChanged)) {
      c->setX(c->x() + dW);
      c->setY(c->y() + dH);
    }
  }
  for (GuiObject* c : list) {
    if (c->align() == gaBottomLeft && heightChanged) c->setY(c->y() + dH);
  }
  previousWidth = right;
  previousHeight = bottom;
}

// Places the children of two opposite sides, each taking its room from the
// free rectangle. `horizontal`: the first kind takes the left side and the
// second the right one, by width; else top and bottom, by height.
void PlaceSides(const std::vector<GuiObject*>& list, TRectF& f, TGuiAlign first, TGuiAlign second, bool horizontal) {
  for (GuiObject* c : list) {
    const float w = c->width(), h = c->height();
    if (c->align() == first) {
      if (horizontal) {
        c->setRect(MakeRectF(f.left, f.top, f.left + w, f.bottom));
        f.left += w;
      } else {
        c->setRect(MakeRectF(f.left, f.top, f.right, f.top + h));
        f.top += h;
      }
    } else if (c->align() == second) {
      if (horizontal) {
        c->setRect(MakeRectF(f.right - w, f.top, f.right, f.bottom));
        f.right -= w;
      } else {
        c->setRect(MakeRectF(f.left, f.bottom - h, f.right, f.bottom));
        f.bottom -= h;
      }
    }
  }
}

void Centre(const std::vector<GuiObject*>& list, const TRectF& f, TGuiAlign kind) {
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    GuiObject* c = *it;
    if (c->align() != kind) continue;
    const float w = c->width(), h = c->height();
    const float cx = f.left + (f.right - f.left - w) / 2, cy = f.top + (f.bottom - f.top - h) / 2;
    const float x = kind == gaVertCenter ? c->x() : cx;
    const float y = kind == gaHorzCenter ? c->y() : cy;
    c->setRect(MakeRectF(x, y, x + w, y + h));
  }
}

void Fill(const std::vector<GuiObject*>& list, const TRectF& area, TGuiAlign kind) {
  for (GuiObject* c : list) {
    if (c->align() == kind) c->setRect(area);
  }
}
}  // namespace

BaseObject* TreeChildAt(BaseObject* holder, int index) { return holder->childAt(index); }

void AlignChildren(float& previousWidth, float& previousHeight, int count, GuiChildAccessor child, BaseObject* holder,
                   float left, float top, float right, float bottom) {
  // Placing a child may run code that changes the holder's list (a child's
  // own layout, its handlers): the participants are taken once, and each is
  // kept alive while the passes run.
  const std::vector<GuiObject*> list = Participants(count, child, holder);
  std::vector<std::unique_ptr<PositionObject::KeepAlive>> keep;
  keep.reserve(list.size());
  for (GuiObject* c : list) keep.push_back(std::make_unique<PositionObject::KeepAlive>(c));
  TRectF f = MakeRectF(left, top, right, bottom);
  AnchorCorners(list, previousWidth, previousHeight, right, bottom);
  PlaceSides(list, f, gaMostLeft, gaMostRight, true);
  PlaceSides(list, f, gaTop, gaBottom, false);
  PlaceSides(list, f, gaLeft, gaRight, true);
  Centre(list, f, gaCenter);
  Centre(list, f, gaVertCenter);
  Centre(list, f, gaHorzCenter);
  Fill(list, f, gaClient);
  Fill(list, MakeRectF(left, top, right, bottom), gaContents);
}
