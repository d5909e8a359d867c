#pragma once
// Effects that animate the pixmap their owner draws (the owner's published
// "pixmap"): `PixmapAnimationEffect` steps the pixmap's source rectangle
// through a sheet of equal cells, left to right and then top to bottom;
// `PixmapOffsetAnimationEffect` scrolls the pixmap's offset at a constant
// speed. Each asks its owner for a redraw on every step while it has a
// pixmap to animate, and forgets the pixmap when it moves to another owner
// (the pixmap is the old owner's, which may go before the effect does).
#include <cstdint>

#include "core/objects/effect.h"

class TPixmapPersistent;

class PixmapAnimationEffect : public Effect {
  Q_OBJECT(PixmapAnimationEffect, Effect)

 public:
  void Loaded() override;
  void setParent(BaseObject* parent) override;
  void setRunning(bool value) override;
  void apply(double time, double step) override;
  TPixmapPersistent* target() const { return target_; }

  int32_t width() const { return width_; }
  void setWidth(int32_t value) { width_ = value; }
  int32_t height() const { return height_; }
  void setHeight(int32_t value) { height_ = value; }
  float keyTime() const { return keyTime_; }
  void setKeyTime(float value) { keyTime_ = value; }
  // 1 / keyTime; 0 stands for a key time of 0 either way.
  float keyPerSecond() const;
  void setKeyPerSecond(float value);

 private:
  // Cells of the sheet (0 without a grid of whole cells) and its columns.
  int64_t cellCount(int32_t& columns) const;
  // One run lasts a key time per cell.
  void measureRun();
  void showCell(int64_t cell);

  TPixmapPersistent* target_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  float keyTime_ = 0;
};

class PixmapOffsetAnimationEffect : public Effect {
  Q_OBJECT(PixmapOffsetAnimationEffect, Effect)

 public:
  void Loaded() override;
  void setParent(BaseObject* parent) override;
  void apply(double time, double step) override;
  TPixmapPersistent* target() const { return target_; }

  int32_t offsetX() const { return offsetX_; }
  void setOffsetX(int32_t value) { offsetX_ = value; }
  int32_t offsetY() const { return offsetY_; }
  void setOffsetY(int32_t value) { offsetY_ = value; }

 private:
  TPixmapPersistent* target_ = nullptr;
  float keyTime_ = 0;  // stored, not used
  int32_t offsetX_ = 0;
  int32_t offsetY_ = 0;
};

// The object the owner publishes under the name (compared ignoring case),
// when it is of class T; nil otherwise. Effects find what they animate so.
TObject* PublishedObject(BaseObject* owner, std::string_view name);
template <class T>
T* PublishedPart(BaseObject* owner, std::string_view name) {
  return dynamic_cast<T*>(PublishedObject(owner, name));
}

// The owner's redraw, when the owner is a visual object.
void UpdateVisualOwner(const Effect& effect);

// 1 / value, with 0 for 0 (and for what has no finite inverse), so that no
// infinity ever reaches a stored file.
float InverseOrZero(float value);
