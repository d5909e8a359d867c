#pragma once
// The track bar: a thumb dragged along a track between two end buttons; the
// value follows the thumb between min and max.
#include <cstdint>

#include "gui/gui_object.h"

class TStdTrackbar : public GuiObject {
  Q_OBJECT(TStdTrackbar, GuiObject)

 public:
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void drawSelf() override;

  virtual TRectF trackRect();
  virtual TRectF thumbRect();

  float min() const { return min_; }
  void setMin(float value) { min_ = value; }
  float max() const { return max_; }
  void setMax(float value) { max_ = value; }
  float value() const { return value_; }
  void setValue(float value);
  bool dragging() const { return dragging_; }

 private:
  // The room the thumb's left edge travels in.
  float travel() const;
  // The value whose thumb has its left edge at x: the inverse of thumbRect.
  float valueAtThumbLeft(float x) const;

  WideString onChange_;
  float min_ = 0;
  float max_ = 100;
  float value_ = 0;
  float trackSize_ = 8;
  float thumbHeight_ = 16;
  float thumbWidth_ = 10;
  bool dragging_ = false;
  float buttonSize_ = 10;
  float grabOffset_ = 0;  // pointer x minus thumb left at the press
  WideString onEndDrag_;
};
