#pragma once
// `GuiObject`: the base of every widget. A flat rectangle of `width` x
// `height` whose position is its top-left corner, drawn in the screen
// projection, with a text, a font and an alignment by which its GUI parent
// places it. It lays its own GUI children out by AlignChildren whenever its
// size, its transform or its children change.
//
// Local frame: origin at the top-left corner, x to the right, y downwards;
// the client rectangle is (0, 0, width, height).
#include "engine/scene/position_object.h"
#include "gui/gui_align.h"

class TFontPersistent;

class GuiObject : public PositionObject {
  Q_OBJECT(GuiObject, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  // ---- overrides -----------------------------------------------------------------
  void Loaded() override;
  void addChild(BaseObject* child) override;
  void drawDesignHighlight() override;
  void invalidateTransform() override;
  bool rayHit(const TVector4F& origin, const TVector4F& direction) override;
  void setVisible(bool value) override;
  void drawChildren() override;
  void mouseEnter() override;
  void mouseLeave() override;
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  bool pointInObject(float x, float y) override;
  void createBody() override;
  void destroyBody() override;
  float getBoundingRadius() override;
  TBoundBoxF getBoundingBox() override;
  void drawBounds() override;
  bool isGuiObject() const override { return true; }
  // Widgets are never drawn again as wireframe for the debug view.
  bool prepareDraw(TDevice* device) override;

  // ---- operations widgets override -------------------------------------------------
  // Lays out the own GUI children over the client rectangle.
  virtual void realign();
  virtual void setText(const WideString& value);
  virtual void setHeight(float value);
  virtual void setWidth(float value);

  // ---- placing ---------------------------------------------------------------------
  // Moves the top-left corner to (rect.left, rect.top) and takes the rect's
  // size; lays out and asks for a frame even when nothing changed.
  void setRect(const TRectF& rect);
  // (x, y, x + width, y + height) in the parent's frame.
  TRectF getBoundsRect() const;
  // (0, 0, width, height).
  TRectF getClientRect() const;

  // ---- properties --------------------------------------------------------------------
  float width() const { return width_; }
  float height() const { return height_; }
  float previousWidth() const { return previousWidth_; }
  float previousHeight() const { return previousHeight_; }
  const WideString& text() const { return text_; }
  bool autoShow() const { return autoShow_; }
  void setAutoShow(bool value);
  TGuiAlign align() const { return align_; }
  void setAlign(TGuiAlign value);
  TFontPersistent* font() const { return font_; }
  // Copies the description into the owned font.
  void setFont(TFontPersistent* value);
  bool showInBounds() const { return showInBounds_; }
  void setShowInBounds(bool value) { showInBounds_ = value; }

 protected:
  // Stores the text as it is, without translation (what the user typed).
  void storeUntranslatedText(const WideString& value) { text_ = value; }

 private:
  // Whether the child lies wholly inside the client rectangle, edges included.
  bool holdsWhole(const GuiObject& child) const;
  // The client rectangle's outline in the device's current colour, at depth 0.
  void outlineClientRect();

  float width_ = 70;
  float height_ = 30;
  float previousWidth_ = 70;
  float previousHeight_ = 30;
  WideString text_;
  bool autoShow_ = false;
  TGuiAlign align_ = gaTopLeft;
  TFontPersistent* font_ = nullptr;
  bool showInBounds_ = false;
};
