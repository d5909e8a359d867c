#pragma once
// Coordinate objects: small owned sub-objects that hold a vector, a 2D
// coordinate, a point or a rectangle as published, streamable properties
// and tell their holder of changes. Object files store them as nested
// properties of the holder ("position.x").
//
// Stored values. A component is written when it differs from the default its
// holder declared for it (zero unless the holder declares otherwise); a
// holder declares as default the value it starts the object with, so every
// component left out of a file reads back as that value. Files written before
// holders could declare defaults read the same: they hold exactly the
// components that were not 0, and the others read back as the holder's start
// value as they always did.
#include <cstdint>
#include <functional>

#include "core/geometry/geometry.h"
#include "core/objects/component.h"

// A 3D vector with vector operations for scripts: positions, directions, up
// vectors, scales, gravity, event parameters.
class TSpaceCoord : public TSomePersistent {
  Q_OBJECT(TSpaceCoord, TSomePersistent)

 public:
  using ChangeProc = std::function<void(TSpaceCoord* coord)>;

  // A coordinate holding `vector` (all four components), no owner, default
  // (0, 0, 0, 1), stored.
  static TSpaceCoord* Make(const TVector4F& vector);
  void Create(TObject* owner) override;
  void DefineProperties(TGFiler* filer) override;

  // Called with the coordinate after every change made through its operations.
  void setOnChange(ChangeProc proc) { onChange_ = std::move(proc); }

  const TVector4F& vector() const { return vector_; }
  float x() const { return vector_.x; }
  float y() const { return vector_.y; }
  float z() const { return vector_.z; }
  // Each stores the component and tells the holder, even when it is unchanged.
  void setX(float value);
  void setY(float value);
  void setZ(float value);
  float length() const;
  // Writing the length is accepted and changes nothing.
  void setLength(float /*value*/) {}

  void setXYZ(float x, float y, float z);          // w := 1
  void setVector(const TVector4F& vector);         // all four components
  void setXYZQuiet(const TVector4F& vector);       // x, y, z; no change event
  void addScaled(const TVector4F& vector, float factor);  // w := 1
  void normalize();                                // w := 0
  // Tells the holder and leaves the vector as it is: scripts written for the
  // system rely on it changing nothing.
  void invert();
  void scale(float factor);                        // w := 1
  void setToZero();                                // all four 0
  void rotateAxis(const TVector4F& axis, float degrees);
  void rotateX(float degrees);
  void rotateY(float degrees);
  void rotateZ(float degrees);
  void copy(const TSpaceCoord& other);
  // Bounces the vector off a surface with the given normal; see the .cpp.
  void reflect(const TSpaceCoord& normal);
  // The four components, without a change event.
  void Assign(const TSpaceCoord& source);

  // When false, x, y and z are never written (the holder keeps them elsewhere).
  bool stored() const { return stored_; }
  void setStored(bool value) { stored_ = value; }
  const TVector4F& defaultVector() const { return defaultVector_; }
  void setDefaultVector(const TVector4F& vector) { defaultVector_ = vector; }

 private:
  // Script forms of copy and reflect: anything but a coordinate is ignored.
  void copyObject(TObject* other);
  void reflectObject(TObject* normal);
  void changed();
  bool xStored() const { return stored_ && vector_.x != defaultVector_.x; }
  bool yStored() const { return stored_ && vector_.y != defaultVector_.y; }
  bool zStored() const { return stored_ && vector_.z != defaultVector_.z; }

  ChangeProc onChange_;
  TVector4F vector_{0, 0, 0, 1};
  bool stored_ = true;
  TVector4F defaultVector_{0, 0, 0, 1};
};

// A 2D coordinate that tells its holder of every write.
class TPlaneCoord : public TSomePersistent {
  Q_OBJECT(TPlaneCoord, TSomePersistent)

 public:
  using ChangeProc = std::function<void(TPlaneCoord* coord)>;

  void DefineProperties(TGFiler* filer) override;
  void setOnChange(ChangeProc proc) { onChange_ = std::move(proc); }

  float x() const { return x_; }
  float y() const { return y_; }
  // Each stores the value and tells the holder, even when it is unchanged.
  void setX(float value);
  void setY(float value);
  // A value no property publishes; assignment carries it along.
  int32_t extra() const { return extra_; }
  void setExtra(int32_t value) { extra_ = value; }
  // x, y and the further value, without a change event.
  void Assign(const TPlaneCoord& source);

  const TPointF& defaultPoint() const { return defaultPoint_; }
  void setDefaultPoint(const TPointF& point) { defaultPoint_ = point; }

 private:
  bool xStored() const { return x_ != defaultPoint_.x; }
  bool yStored() const { return y_ != defaultPoint_.y; }

  float x_ = 0;
  float y_ = 0;
  int32_t extra_ = 0;
  ChangeProc onChange_;
  TPointF defaultPoint_;
};

// A plain 2D point (a pixmap offset, a mouse position); no change event.
class TPointPersistent : public TSomePersistent {
  Q_OBJECT(TPointPersistent, TSomePersistent)

 public:
  void DefineProperties(TGFiler* filer) override;

  float x() const { return x_; }
  float y() const { return y_; }
  void setX(float value) { x_ = value; }
  void setY(float value) { y_ = value; }
  TPointF getPoint() const { return {x_, y_}; }
  void setPoint(const TPointF& point);
  void Assign(const TPointPersistent& source) { setPoint(source.getPoint()); }

  const TPointF& defaultPoint() const { return defaultPoint_; }
  void setDefaultPoint(const TPointF& point) { defaultPoint_ = point; }

 private:
  bool xStored() const { return x_ != defaultPoint_.x; }
  bool yStored() const { return y_ != defaultPoint_.y; }

  float x_ = 0;
  float y_ = 0;
  TPointF defaultPoint_;
};

// A rectangle, or four margins; tells its holder of every real change.
class TRectPersistent : public TSomePersistent {
  Q_OBJECT(TRectPersistent, TSomePersistent)

 public:
  using ChangeProc = std::function<void(TRectPersistent* rect)>;

  void DefineProperties(TGFiler* filer) override;
  void setOnChange(ChangeProc proc) { onChange_ = std::move(proc); }

  float left() const { return left_; }
  float top() const { return top_; }
  float right() const { return right_; }
  float bottom() const { return bottom_; }
  // Each tells the holder only when the value changes.
  void setLeft(float value);
  void setTop(float value);
  void setRight(float value);
  void setBottom(float value);
  // All four at once, with one change event when any of them differs.
  void setRect(const TRectF& rect);
  TRectF getRect() const { return {left_, top_, right_, bottom_}; }
  // The four values taken as margins inside `rect`.
  TRectF shrinkRect(const TRectF& rect) const;
  float width() const { return RectWidth(getRect()); }
  float height() const { return RectHeight(getRect()); }
  bool marginEmpty() const;
  bool empty() const { return RectIsEmpty(getRect()); }
  // Through setRect, so the holder hears of it only on a change.
  void Assign(const TRectPersistent& source) { setRect(source.getRect()); }

  const TRectF& defaultRect() const { return defaultRect_; }
  void setDefaultRect(const TRectF& rect) { defaultRect_ = rect; }

 private:
  void setSide(float& side, float value);
  bool leftStored() const { return left_ != defaultRect_.left; }
  bool topStored() const { return top_ != defaultRect_.top; }
  bool rightStored() const { return right_ != defaultRect_.right; }
  bool bottomStored() const { return bottom_ != defaultRect_.bottom; }

  float right_ = 0;
  float bottom_ = 0;
  float top_ = 0;
  float left_ = 0;
  ChangeProc onChange_;
  TRectF defaultRect_;
};
