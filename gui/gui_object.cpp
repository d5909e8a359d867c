#include "gui/gui_object.h"

#include <algorithm>

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "engine/media/font_persistent.h"
#include "engine/scene/dummy.h"
#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"
#include "gui/align_children.h"
#include "platform/device.h"

namespace {
constexpr float kBodyDepth = 10.0f;
constexpr TColorARGB kDynamicBounds = 0xFFFF0000u;
constexpr TColorARGB kStaticBounds = 0xFF0000FFu;

// The parent lays its GUI children out again, whichever kind of holder it is.
void RealignParentOf(BaseObject* object) {
  BaseObject* parent = object->parent();
  if (auto* gui = dynamic_cast<GuiObject*>(parent)) {
    gui->realign();
  } else if (auto* dummy = dynamic_cast<Dummy*>(parent)) {
    dummy->realignChildren();
  } else if (auto* applet = dynamic_cast<Applet*>(parent)) {
    applet->realignChildren();
  }
}
}  // namespace

const ClassInfo& GuiObject::staticClassInfo() {
  using G = GuiObject;
  static const ClassInfo info = ClassBuilder<G>("GuiObject")
                                    .property("width", &G::width, &G::setWidth).floatDefault(70.0f)
                                    .property("height", &G::height, &G::setHeight).floatDefault(30.0f)
                                    .property("autoShow", &G::autoShow, &G::setAutoShow).defaultValue(0)
                                    .property("align", &G::align, &G::setAlign).defaultValue(gaTopLeft)
                                    .property("showInBounds", &G::showInBounds, &G::setShowInBounds).defaultValue(0)
                                    .method("realign", &G::realign)
                                    .build();
  return info;
}

// ---- life ------------------------------------------------------------------------------------

void GuiObject::Create(TObject* owner) {
  // The font and the defaults come before the inherited construction, which
  // may read the object's stored properties over them.
  auto* ownerObject = dynamic_cast<BaseObject*>(owner);
  font_ = New<TFontPersistent>(ownerObject ? ownerObject->applet() : nullptr);
  setHotTrack(true);
  setDesignTrack(true);
  setMaterial(u"gui");
  setVisualFlags(visualFlags() | vfHitTestable | vfFocusable);
  inherited::Create(owner);
}

void GuiObject::Destroy() {
  FreeAndNil(font_);
  inherited::Destroy();
}

void GuiObject::setFont(TFontPersistent* value) {
  if (value && font_) font_->Assign(*value);
}

// ---- layout ----------------------------------------------------------------------------------

void GuiObject::realign() {
  AlignChildren(previousWidth_, previousHeight_, count(), TreeChildAt, this, 0, 0, width_, height_);
}

void GuiObject::setRect(const TRectF& rect) {
  position()->setXYZ(rect.left, rect.top, 0);
  const float w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w != width_) {
    previousWidth_ = width_;
    width_ = w;
  }
  if (h != height_) {
    previousHeight_ = height_;
    height_ = h;
  }
  realign();
  update();
}

TRectF GuiObject::getBoundsRect() const { return MakeRectF(x(), y(), x() + width_, y() + height_); }

TRectF GuiObject::getClientRect() const { return MakeRectF(0, 0, width_, height_); }

void GuiObject::setWidth(float value) {
  if (value == width_) return;
  previousWidth_ = width_;
  width_ = value;
  realign();
  update();
}

void GuiObject::setHeight(float value) {
  if (value == height_) return;
  previousHeight_ = height_;
  height_ = value;
  realign();
  update();
}

void GuiObject::setText(const WideString& value) {
  if (value == text_) return;
  Applet* applet = ownerApplet();
  text_ = applet ? applet->translate(value) : value;
  update();
}

void GuiObject::setAlign(TGuiAlign value) {
  if (value == align_) return;
  align_ = value;
  RealignParentOf(this);
}

void GuiObject::setAutoShow(bool value) {
  if (value == autoShow_) return;
  autoShow_ = value;
  if (autoShow_) setVisible(!hot());
}

void GuiObject::setVisible(bool value) {
  if (value == visible()) return;
  inherited::setVisible(value);
  if (visible()) RealignParentOf(this);
}

void GuiObject::Loaded() {
  inherited::Loaded();
  if (auto* gui = dynamic_cast<GuiObject*>(parent())) {
    gui->realign();
  } else if (auto* dummy = dynamic_cast<Dummy*>(parent())) {
    dummy->realignChildren();
  }
}

void GuiObject::addChild(BaseObject* child) {
  inherited::addChild(child);
  realign();
}

void GuiObject::invalidateTransform() {
  inherited::invalidateTransform();
  realign();
}

// ---- input -----------------------------------------------------------------------------------

void GuiObject::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  focus();
}

void GuiObject::mouseEnter() {
  inherited::mouseEnter();
  if (hotTrack() && autoShow_) fadeShow();
}

void GuiObject::mouseLeave() {
  inherited::mouseLeave();
  if (hotTrack() && autoShow_) fadeHide();
}

bool GuiObject::pointInObject(float x, float y) {
  // A hidden autoShow widget is still hit, so that the mouse can bring it up.
  if (!visible() && !autoShow_) return false;
  const TPointF local = screenToLocalPoint(MakePointF(x, y));
  return local.x > 0 && local.x < width_ && local.y > 0 && local.y < height_;
}

bool GuiObject::rayHit(const TVector4F& origin, const TVector4F& direction) {
  TVector4F o = origin, d = direction;
  ToLocalRay(*this, o, d);
  const bool headsToPlane = (o.z < 0 && d.z > 0) || (o.z >= 0 && d.z < 0);
  if (!headsToPlane) return false;
  const float t = o.z / d.z;
  const float x = o.x - t * d.x, y = o.y - t * d.y;
  return x > 0 && x <= width_ && y > 0 && y <= height_;
}

// ---- drawing ---------------------------------------------------------------------------------

bool GuiObject::prepareDraw(TDevice* device) {
  inherited::prepareDraw(device);
  return false;
}

bool GuiObject::holdsWhole(const GuiObject& child) const {
  const TRectF r = child.getBoundsRect();
  auto inside = [this](float px, float py) { return px >= 0 && px <= width_ && py >= 0 && py <= height_; };
  return inside(r.left, r.top) && inside(r.right, r.top) && inside(r.right, r.bottom) && inside(r.left, r.bottom);
}

void GuiObject::drawChildren() {
  if (isDestroying()) return;
  const bool mirrorPass = mirrorPassRunning;
  for (int i = 0; i < count(); ++i) {
    auto* child = dynamic_cast<VisualObject*>(childAt(i));
    if (!child || !child->visible()) continue;
    if (mirrorPass && !child->mirrored()) continue;
    auto* gui = dynamic_cast<GuiObject*>(child);
    if (gui && gui->showInBounds_ && !holdsWhole(*gui)) continue;
    child->draw();
  }
}

void GuiObject::outlineClientRect() {
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return;
  device->SetRenderState(rs2D);
  device->SetRenderState(rsLightOff);
  device->SetRenderState(rsDepthTestOff);
  const TVector4F a = MakeVector4F(0, 0, 0, 1), b = MakeVector4F(width_, 0, 0, 1);
  const TVector4F c = MakeVector4F(width_, height_, 0, 1), d = MakeVector4F(0, height_, 0, 1);
  const TVector4F outline[8] = {a, b, b, c, c, d, d, a};
  device->DrawLine(outline, 8, 1);
}

void GuiObject::drawDesignHighlight() {
  if (!hot()) return;
  applyTransform();
  outlineClientRect();  // in the colour the device has
}

void GuiObject::drawBounds() {
  Applet* applet = ownerApplet();
  if (TDevice* device = applet ? applet->device() : nullptr) device->SetColor(dynamic() ? kDynamicBounds : kStaticBounds);
  outlineClientRect();
}

// ---- physics and bounds ----------------------------------------------------------------------

void GuiObject::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateBoxBody, MakeVector4F(width_, height_, kBodyDepth, 0));
}

void GuiObject::destroyBody() {
  RemoveShapeBody(*this, body_);
  inherited::destroyBody();
}

float GuiObject::getBoundingRadius() { return std::max(width_, height_) / 2; }

TBoundBoxF GuiObject::getBoundingBox() {
  TBoundBoxF box;
  box.min = MakeVector4F(0, 0, 0, 1);
  box.max = MakeVector4F(width_, height_, kBodyDepth, 1);
  return box;
}
