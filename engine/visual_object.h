#pragma once
// The object of the tree that can be drawn, hit-tested and given mouse, key and
// focus input. Containers route input to the object under the mouse, the
// captured object or the focused object.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/objects/base_object.h"

class Applet;
class Container;
class TDevice;

enum THitTest {
  htNone,
  htMove,
  htSizeLeft,
  htSizeRight,
  htSizeTop,
  htSizeBottom,
  htSizeTopLeft,
  htSizeTopRight,
  htSizeBottomLeft,
  htSizeBottomRight
};
Q_DECLARE_ENUM(THitTest)

// Bits of `visualFlags`.
constexpr uint8_t vfHitTestable = 1;  // children are searched by objectAt
constexpr uint8_t vfFocusable = 2;    // can become the focused object
constexpr uint8_t vfMirrored = 4;     // drawn during a mirror pass

// Marks the hide timer a fadeHide makes, so that show can find it.
constexpr int32_t kFadeHideTimerTag = 65518;

class VisualObject : public BaseObject {
  Q_OBJECT(VisualObject, BaseObject)

 public:
  void Loaded() override;
  void objectRemoved(BaseObject* object) override;
  void addChild(BaseObject* child) override;
  bool isHiddenVisual() const override { return !visible_; }

  // ---- virtual operations of visual objects --------------------------------
  virtual void applyTransform() {}
  virtual void drawDesignHighlight();
  virtual void invalidateTransform();
  virtual bool rayHit(const TVector4F& /*origin*/, const TVector4F& /*direction*/) { return false; }
  virtual void setVisible(bool value);
  virtual void drawSelf() {}
  virtual void drawChildren();
  virtual TPointF screenToLocalPoint(const TPointF& p) { return p; }
  virtual TPointF localToScreenPoint(const TPointF& p) { return p; }
  virtual TVector4F worldToLocal(const TVector4F& v) { return v; }
  virtual TVector4F localToWorld(const TVector4F& v) { return v; }
  virtual void focusGained();
  virtual void focusLost();
  virtual void mouseEnter();
  virtual void mouseLeave();
  virtual void draw();
  virtual void mouseDown(uint8_t button, uint8_t shift, float x, float y);
  virtual void mouseMove(uint8_t shift, float dx, float dy, float x, float y);
  virtual void mouseUp(uint8_t button, uint8_t shift, float x, float y);
  virtual void mouseWheel(uint8_t /*shift*/, int32_t /*delta*/) {}
  virtual void keyDown(uint16_t& /*key*/, uint16_t& /*character*/, uint8_t /*shift*/) {}
  virtual void keyUp(uint16_t& /*key*/, uint16_t& /*character*/, uint8_t /*shift*/) {}
  virtual THitTest hitTestAt(float x, float y);
  virtual VisualObject* objectAt(float x, float y);
  virtual bool pointInObject(float /*x*/, float /*y*/) { return false; }

  // ---- hooks of the frame walk for the classes above ------------------------
  // Whether the object itself is drawn this frame, with bounds culling on.
  virtual bool passesCulling() { return true; }
  // Render states, transform and material before drawSelf; answers whether a
  // wireframe debug pass follows.
  virtual bool prepareDraw(TDevice* /*device*/) { return false; }
  // The depth states of the wireframe pass (a positioned object's zTest).
  virtual void applyDepthStates(TDevice* /*device*/) {}
  // Physics bodies' bounds with the applet's debugDynamics.
  virtual void drawDynamicsDebug(TDevice* /*device*/) {}
  // Whether a point hits the object itself (a 3D object asks its pick ray).
  virtual bool hitsItself(float x, float y);
  // The box the design highlight frames.
  virtual TBoundBoxF boundingBox() { return TBoundBoxF{}; }

  // Set while a mirror pass draws: only mirrored objects take part.
  static bool mirrorPassRunning;

  // ---- published methods ---------------------------------------------------
  bool isVisible() const;
  void show();
  void hide() { setVisible(false); }
  void fadeShow();
  void fadeShowWait();
  void fadeHide();
  void fadeHideWait();
  void scheduleHide(float seconds);
  void scheduleShow(float seconds);
  void focus();
  void capture();
  void releaseCapture();

  // ---- properties ----------------------------------------------------------
  bool visible() const { return visible_; }
  bool hot() const { return hot_; }
  void setHot(bool value) { hot_ = value; }
  bool focused() const { return focused_; }
  void setFocused(bool value) { focused_ = value; }
  bool hotTrack() const { return hotTrack_; }
  void setHotTrack(bool value) { hotTrack_ = value; }
  bool designTrack() const { return designTrack_; }
  void setDesignTrack(bool value) { designTrack_ = value; }
  bool transparent() const { return transparent_; }
  void setTransparent(bool value) { transparent_ = value; }
  THitTest hitTest() const { return hitTest_; }
  void setHitTest(THitTest value) { hitTest_ = value; }
  uint8_t visualFlags() const { return visualFlags_; }
  void setVisualFlags(uint8_t flags) { visualFlags_ = flags; }
  bool mirrored() const { return (visualFlags_ & vfMirrored) != 0; }
  void setMirrored(bool value);
  float alpha() const { return alpha_; }
  virtual void setAlpha(float value);
  const WideString& material() const { return material_; }
  void setMaterial(const WideString& name);
  BaseObject* cachedMaterial() const { return cachedMaterial_; }
  void setCachedMaterial(BaseObject* material) { holdReference(cachedMaterial_, material); }
  // Whether an unknown material name of this object was reported (once per
  // object and name).
  bool materialNameReported() const { return materialNameReported_; }
  void setMaterialNameReported() { materialNameReported_ = true; }
  TColorARGB colorOverride() const { return colorOverride_; }
  void setColorOverride(TColorARGB color) { colorOverride_ = color; }
  VisualObject* prevCaptured() const { return prevCaptured_; }
  bool fadeHidePending() const { return fadeHidePending_; }

  // The nearest Container among the object and its ancestors.
  Container* findContainer();
  Applet* ownerApplet() const;

 private:
  enum Handler : size_t {
    kOnMouseMove,
    kOnMouseDown,
    kOnMouseUp,
    kOnMouseEnter,
    kOnMouseLeave,
    kOnSetFocus,
    kOnKillFocus,
    kHandlerCount
  };
  template <Handler H>
  const WideString& handler() const {
    return handlers_.get(H);
  }
  template <Handler H>
  void setHandler(const WideString& text) {
    handlers_.set(H, text);
  }
  // Runs one of the class's own handlers on a copy of its text: the handler
  // may change it.
  void runOwnHandler(Handler h) { runHandler(WideString(handlers_.get(h))); }

  HandlerTexts<kHandlerCount> handlers_;
  bool alphaStored() const { return alpha_ != 1.0f; }
  bool materialStored() const { return material_ != u"default"; }
  void setEventPoint(float dx, float dy, float x, float y);
  void drawPass();

  bool visible_ = true;
  // Stores a non-owning reference and watches its removal (objectRemoved
  // clears it), so only holders hear of a referenced object's end.
  template <class T>
  void holdReference(T*& slot, T* value) {
    if (slot == value) return;
    unwatchRemovalOf(slot);
    slot = value;
    watchRemovalOf(slot);
  }

  VisualObject* prevCaptured_ = nullptr;
  bool hot_ = false;
  bool focused_ = false;
  bool hotTrack_ = false;
  bool transparent_ = false;
  THitTest hitTest_ = htNone;
  uint8_t visualFlags_ = 0;
  float alpha_ = 1.0f;
  float pendingAlpha_ = -1.0f;
  bool designTrack_ = false;
  WideString material_ = u"default";
  bool fadeHidePending_ = false;
  TColorARGB colorOverride_ = 0xFFFFFFFFu;
  BaseObject* cachedMaterial_ = nullptr;
  bool materialNameReported_ = false;
};
