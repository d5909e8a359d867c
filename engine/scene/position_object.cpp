// Positioned objects: published description, construction and destruction,
// and the plain property setters. The frame lives in position_object_frame.cpp,
// motion and physics in position_object_motion.cpp, drawing and hits in
// position_object_draw.cpp.
#include "engine/scene/position_object.h"

#include <cmath>

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "platform/input_records.h"

void (*PositionObject::designSelectHook)(PositionObject*) = nullptr;
void (*PositionObject::designUpdateHook)(PositionObject*, float, float) = nullptr;

const ClassInfo& PositionObject::staticClassInfo() {
  using P = PositionObject;
  static const ClassInfo info = ClassBuilder<P>("PositionObject")
                                    // Positioned objects start mirrored: stored when cleared.
                                    .property("mirrored", &P::mirrored, &P::setMirrored).defaultValue(1)
                                    .property("kind", &P::kind, &P::setKind).defaultValue(okScreen)
                                    .property("zTest", &P::zTest_).defaultValue(0)
                                    .property("position", &P::position, &P::setPosition)
                                    .property("x", &P::x, &P::setX).stored(false)
                                    .property("y", &P::y, &P::setY).stored(false)
                                    .property("z", &P::z, &P::setZ).stored(false)
                                    .property("direction", &P::direction, &P::setDirection)
                                    .property("up", &P::up, &P::setUp)
                                    .property("scale", &P::scale, &P::setScale)
                                    .property("zAngle", &P::zAngle, &P::setZAngle)
                                    .property("xAngle", &P::xAngle, &P::setXAngle)
                                    .property("yAngle", &P::yAngle, &P::setYAngle)
                                    .property("bounds", &P::bounds, &P::setBounds).stored(false)
                                    .readOnly("body", &P::body).stored(false)
                                    .property("collisable", &P::collisable_).defaultValue(0)
                                    .property("colliseTrack", &P::colliseTrack_).defaultValue(0)
                                    .property("colliseOnStay", &P::colliseOnStay_).defaultValue(0)
                                    .property("dynamic", &P::dynamic_).defaultValue(0)
                                    .property("velocity", &P::velocity, &P::setVelocity)
                                    .property("gravity", &P::gravity, &P::setGravity)
                                    .property("friction", &P::friction_).storedWhen(&P::frictionStored).floatDefault(1.0f)
                                    .property("onCollise", &P::onCollise_)
                                    .property("onComplexCollise", &P::onComplexCollise_)
                                    .property("onComplexColliseAction", &P::onComplexColliseAction_)
                                    .property("onTrigger", &P::onTrigger_)
                                    .property("onSpawn", &P::onSpawn_)
                                    .property("onUnspawn", &P::onUnspawn_)
                                    .method("spawn", &P::spawn)
                                    .method("unspawn", &P::unspawn)
                                    .method("recreateDynamic", &P::recreateDynamic)
                                    .method("forward", &P::forward)
                                    .method("back", &P::back)
                                    .method("explode", &P::explode)
                                    .method("complexCollise", &P::complexCollise)
                                    .method("getNearObjects", &P::getNearObjects)
                                    .method("distanceTo", &P::distanceTo)
                                    .method("screenToLocal", &P::screenToLocal)
                                    .method("designUpdate", &P::designUpdate)
                                    .build();
  return info;
}

// ---- construction and destruction -------------------------------------------------

TSpaceCoord* PositionObject::makeCoord(const TVector4F& start, void (PositionObject::*changed)()) {
  auto* coord = New<TSpaceCoord>(this);
  coord->setVector(start);
  // Left out of files while it holds the value the object starts with.
  coord->setDefaultVector(start);
  if (changed) coord->setOnChange([this, changed](TSpaceCoord*) { (this->*changed)(); });
  return coord;
}

void PositionObject::Create(TObject* owner) {
  // The coordinates and the frame exist before the inherited construction,
  // which may already read the object's stored properties into them.
  position_ = makeCoord(MakeVector4F(0, 0, 0, 1), &PositionObject::positionChanged);
  direction_ = makeCoord(MakeVector4F(0, 1, 0, 1), &PositionObject::directionChanged);
  up_ = makeCoord(MakeVector4F(0, 0, 1, 1), &PositionObject::upChanged);
  scale_ = makeCoord(MakeVector4F(1, 1, 1, 1), &PositionObject::scaleChanged);
  angles_ = makeCoord(MakeVector4F(0, 0, 0, 1), nullptr);
  velocity_ = makeCoord(MakeVector4F(0, 0, 0, 1), &PositionObject::velocityChanged);
  gravity_ = makeCoord(MakeVector4F(0, 0, 0, 1), &PositionObject::gravityChanged);
  setVisualFlags(visualFlags() | vfHitTestable | (mirroredAtStart() ? vfMirrored : 0));
  rebuildMatrix();
  inherited::Create(owner);
}

void PositionObject::Destroy() {
  if (body_ && dynamicEngine()) destroyBody();
  inherited::Destroy();
  FreeAndNil(position_);
  FreeAndNil(direction_);
  FreeAndNil(up_);
  FreeAndNil(scale_);
  FreeAndNil(angles_);
  FreeAndNil(velocity_);
  FreeAndNil(gravity_);
  FreeAndNil(bounds_);
  collisionList_.reset();
}

void PositionObject::markDisposed() {
  if (body_ && dynamicEngine()) destroyBody();
  inherited::markDisposed();
}

TDynamicEngine* PositionObject::dynamicEngine() const {
  Applet* applet = ownerApplet();
  return applet ? applet->dynamicEngine() : nullptr;
}

TWorldHandle PositionObject::getWorld() {
  TDynamicEngine* engine = dynamicEngine();
  return engine ? engine->GetWorld(kind_) : 0;
}

// ---- properties ----------------------------------------------------------------------

void PositionObject::setKind(TPositionObjectKind value) {
  kind_ = value;
  for (int i = 0; i < count(); ++i) {
    if (auto* child = dynamic_cast<PositionObject*>(childAt(i))) child->setKind(value);
  }
}

// Assigning a coordinate takes over its vector and tells the object as any
// change of the object's own coordinate does.
void PositionObject::setPosition(TSpaceCoord* value) {
  if (value && value != position_) position_->copy(*value);
}

void PositionObject::setDirection(TSpaceCoord* value) {
  if (value && value != direction_) direction_->copy(*value);
}

void PositionObject::setUp(TSpaceCoord* value) {
  if (value && value != up_) up_->copy(*value);
}

void PositionObject::setScale(TSpaceCoord* value) {
  if (value && value != scale_) scale_->copy(*value);
}

void PositionObject::setVelocity(TSpaceCoord* value) {
  if (value && value != velocity_) velocity_->copy(*value);
}

void PositionObject::setGravity(TSpaceCoord* value) {
  if (value && value != gravity_) gravity_->copy(*value);
}

float PositionObject::x() const { return position_->x(); }
void PositionObject::setX(float value) { position_->setX(value); }
float PositionObject::y() const { return position_->y(); }
void PositionObject::setY(float value) { position_->setY(value); }
float PositionObject::z() const { return position_->z(); }
void PositionObject::setZ(float value) { position_->setZ(value); }

TSpaceCoord* PositionObject::bounds() const {
  if (!bounds_) bounds_ = New<TSpaceCoord>(const_cast<PositionObject*>(this));
  const TBoundBoxF box = const_cast<PositionObject*>(this)->getBoundingBox();
  bounds_->setXYZQuiet(MakeVector4F(std::abs(box.max.x - box.min.x), std::abs(box.max.y - box.min.y),
                                    std::abs(box.max.z - box.min.z), 1));
  return bounds_;
}

// ---- design tools -------------------------------------------------------------------------

void PositionObject::designUpdate(float a, float b) {
  if (designTime() && designUpdateHook) designUpdateHook(this, a, b);
}

void PositionObject::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  // The left button alone (no Shift, Ctrl or Alt) selects at design time.
  constexpr uint8_t kLeftButton = 1;
  if (button == kLeftButton && designTime() && shift == kShiftLeftButton && designSelectHook) {
    designSelectHook(this);
  }
}
