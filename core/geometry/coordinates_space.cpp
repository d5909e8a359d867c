#include <cstdlib>
#include <numbers>

#include "core/geometry/coordinates.h"
#include "core/geometry/coordinates_stored.h"
#include "core/objects/class_builder.h"

namespace {
// Uniform in [0, 1) from the program-wide generator the engine seeds at start.
float RandomUnit() { return static_cast<float>(std::rand() / (static_cast<double>(RAND_MAX) + 1.0)); }
}  // namespace

const ClassInfo& TSpaceCoord::staticClassInfo() {
  using S = TSpaceCoord;
  static const ClassInfo info = ClassBuilder<S>("TSpaceCoord")
                                    .property("x", &S::x, &S::setX).storedWhen(&S::xStored)
                                    .property("y", &S::y, &S::setY).storedWhen(&S::yStored)
                                    .property("z", &S::z, &S::setZ).storedWhen(&S::zStored)
                                    .property("length", &S::length, &S::setLength).stored(false)
                                    .method("normalize", &S::normalize)
                                    .method("invert", &S::invert)
                                    .method("scale", &S::scale)
                                    .method("setToZero", &S::setToZero)
                                    .method("copy", &S::copyObject)
                                    .method("reflect", &S::reflectObject)
                                    .method("rotateX", &S::rotateX)
                                    .method("rotateY", &S::rotateY)
                                    .method("rotateZ", &S::rotateZ)
                                    .build();
  return info;
}

TSpaceCoord* TSpaceCoord::Make(const TVector4F& vector) {
  auto* coord = New<TSpaceCoord>(nullptr);
  coord->vector_ = vector;
  return coord;
}

void TSpaceCoord::Create(TObject* owner) {
  inherited::Create(owner);
  defaultVector_ = MakeVector4F(0, 0, 0, 1);
  stored_ = true;
}

void TSpaceCoord::DefineProperties(TGFiler* filer) {
  DefineZeroComponent(filer, "x", vector_.x, xStored(), [this](float v) { setX(v); });
  DefineZeroComponent(filer, "y", vector_.y, yStored(), [this](float v) { setY(v); });
  DefineZeroComponent(filer, "z", vector_.z, zStored(), [this](float v) { setZ(v); });
}

void TSpaceCoord::changed() {
  if (onChange_) onChange_(this);
}

void TSpaceCoord::setX(float value) {
  vector_.x = value;
  changed();
}

void TSpaceCoord::setY(float value) {
  vector_.y = value;
  changed();
}

void TSpaceCoord::setZ(float value) {
  vector_.z = value;
  changed();
}

float TSpaceCoord::length() const { return VecLength(vector_); }

void TSpaceCoord::setXYZ(float x, float y, float z) {
  vector_ = MakeVector4F(x, y, z, 1);
  changed();
}

void TSpaceCoord::setVector(const TVector4F& vector) {
  vector_ = vector;
  changed();
}

void TSpaceCoord::setXYZQuiet(const TVector4F& vector) {
  vector_.x = vector.x;
  vector_.y = vector.y;
  vector_.z = vector.z;
}

void TSpaceCoord::addScaled(const TVector4F& vector, float factor) {
  VecAddScaled(vector_, vector, factor);
  changed();
}

void TSpaceCoord::normalize() {
  VecNormalize(vector_);
  changed();
}

void TSpaceCoord::invert() { changed(); }

void TSpaceCoord::scale(float factor) {
  vector_ = VecScale(vector_, factor);
  changed();
}

void TSpaceCoord::setToZero() {
  vector_ = TVector4F{};
  changed();
}

void TSpaceCoord::rotateAxis(const TVector4F& axis, float degrees) {
  VecRotate(vector_, axis, DegreesToRadians(degrees));
  changed();
}

void TSpaceCoord::rotateX(float degrees) { rotateAxis(MakeVector4F(1, 0, 0, 1), degrees); }
void TSpaceCoord::rotateY(float degrees) { rotateAxis(MakeVector4F(0, 1, 0, 1), degrees); }
void TSpaceCoord::rotateZ(float degrees) { rotateAxis(MakeVector4F(0, 0, 1, 1), degrees); }

void TSpaceCoord::copy(const TSpaceCoord& other) { setVector(other.vector_); }

// A vector that points into the normal's half-space (or along the surface)
// cannot be mirrored off it; it leaves along the normal instead, jittered a
// little so that repeated bounces do not line up, with the vector's length.
// Any other vector is mirrored: v - 2 (v . n) n with the normal as given.
void TSpaceCoord::reflect(const TSpaceCoord& normal) {
  const float angle = ClampedArcCos(VecAngleCos(normal.vector_, vector_));
  if (angle <= std::numbers::pi_v<float> / 2) {
    TVector4F away = VecNormalized(normal.vector_);
    away.x = away.x + RandomUnit() * 0.01f - 0.005f;
    away.y = away.y + RandomUnit() * 0.01f - 0.005f;
    away.z = away.z + RandomUnit() * 0.01f - 0.005f;
    setVector(VecScale(away, VecLength(vector_)));
  } else {
    setVector(VecReflect(vector_, normal.vector_));
  }
}

void TSpaceCoord::copyObject(TObject* other) {
  if (auto* coord = dynamic_cast<TSpaceCoord*>(other)) copy(*coord);
}

void TSpaceCoord::reflectObject(TObject* normal) {
  if (auto* coord = dynamic_cast<TSpaceCoord*>(normal)) reflect(*coord);
}

void TSpaceCoord::Assign(const TSpaceCoord& source) { vector_ = source.vector_; }
