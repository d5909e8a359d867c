#pragma once
// The visual object with a place on the screen (okScreen) or in the 3D world
// (okSpace): a local frame of position, direction, up and scale kept as a
// cached matrix and chained through its positioned ancestors, simple
// kinematic motion with collision checks along the way, an optional rigid body
// in the applet's physics engine, and collision handlers for scripts. Every
// shape, sprite, camera, light, trigger, mission and dummy is one.
#include <cstdint>
#include <memory>

#include "engine/physics/dynamic_engine.h"
#include "engine/visual_object.h"

class TSpaceCoord;

class PositionObject : public VisualObject {
  Q_OBJECT(PositionObject, VisualObject)

 public:
  void Create(TObject* owner) override;
  // A file that gave angles but no axes is turned by them once it is read.
  void Loaded() override;
  void Destroy() override;

  // ---- virtual operations of positioned objects ---------------------------------
  virtual void positionChanged();
  virtual void directionChanged();
  virtual void upChanged();
  virtual void scaleChanged();
  virtual void velocityChanged();
  virtual void gravityChanged() {}
  virtual void rebuildMatrix();
  virtual TMatrix4F getWorldMatrix();
  virtual TVector4F getWorldDirection();
  virtual TVector4F getWorldPosition();
  virtual TVector4F getWorldUp();
  // Makes the applet's physics engine when there is none; the shapes then
  // make the body itself.
  virtual void createBody();
  virtual void destroyBody() {}
  virtual float getBoundingRadius() { return 0; }
  virtual TBoundBoxF getBoundingBox() { return TBoundBoxF{}; }
  // The box in the object's own frame that holds all it draws, for culling:
  // the bounding box, or a cube of the bounding radius where that box is a
  // point. Shapes whose drawing reaches further (flat shapes, grids) widen it.
  virtual TBoundBoxF getCoveringBox();
  // The engine found this object touching `other`.
  virtual void collise(PositionObject* other, const TVector4F& position, const TVector4F& normal);
  virtual void drawBounds();

  // Triggers take over the collisions of the objects that enter them: an
  // object touching one hands the call to the trigger's own collise, which a
  // class answering true overrides.
  virtual bool isTrigger() const { return false; }
  // GUI holders (the applet, dummies, widgets) lay out the objects answering
  // true by the GUI's alignment layout.
  virtual bool isGuiObject() const { return false; }

  // ---- overrides of visual objects and the tree -----------------------------------
  void applyTransform() override;
  void invalidateTransform() override;
  TPointF screenToLocalPoint(const TPointF& p) override;
  TPointF localToScreenPoint(const TPointF& p) override;
  TVector4F worldToLocal(const TVector4F& v) override;
  TVector4F localToWorld(const TVector4F& v) override;
  void draw() override;
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void tick(double time, double delta) override;
  void markDisposed() override;
  bool passesCulling() override;
  bool prepareDraw(TDevice* device) override;
  void applyDepthStates(TDevice* device) override;
  void drawDynamicsDebug(TDevice* device) override;
  bool hitsItself(float x, float y) override;
  TBoundBoxF boundingBox() override { return getBoundingBox(); }

  // ---- published methods ------------------------------------------------------------
  void spawn();
  void unspawn();
  void recreateDynamic();
  void forward(float deltaTime);
  void back();
  void explode(float strength, float radius);
  int32_t complexCollise(bool withActions);
  int32_t getNearObjects();
  float distanceTo(PositionObject* other);
  void screenToLocal(float x, float y);
  void designUpdate(float a, float b);

  // ---- frame operations for neighbours ----------------------------------------------
  TMatrix4F getInverseWorldMatrix();
  TVector4F getWorldSide();
  TVector4F getSide() const;
  void setWorldPosition(const TVector4F& v);
  void setWorldDirection(const TVector4F& v);
  void setWorldUp(const TVector4F& v);
  // The physics world of the object's kind; 0 without an engine.
  TWorldHandle getWorld();
  // The applet's physics engine, or nil.
  TDynamicEngine* dynamicEngine() const;

  // ---- properties -----------------------------------------------------------------
  TPositionObjectKind kind() const { return kind_; }
  void setKind(TPositionObjectKind value);
  bool zTest() const { return zTest_; }
  void setZTest(bool value) { zTest_ = value; }
  TSpaceCoord* position() const { return position_; }
  void setPosition(TSpaceCoord* value);
  TSpaceCoord* direction() const { return direction_; }
  void setDirection(TSpaceCoord* value);
  TSpaceCoord* up() const { return up_; }
  void setUp(TSpaceCoord* value);
  TSpaceCoord* scale() const { return scale_; }
  void setScale(TSpaceCoord* value);
  TSpaceCoord* velocity() const { return velocity_; }
  void setVelocity(TSpaceCoord* value);
  TSpaceCoord* gravity() const { return gravity_; }
  void setGravity(TSpaceCoord* value);
  float x() const;
  void setX(float value);
  float y() const;
  void setY(float value);
  float z() const;
  void setZ(float value);
  float xAngle() const;
  void setXAngle(float value);
  float yAngle() const;
  void setYAngle(float value);
  float zAngle() const;
  void setZAngle(float value);
  // Stores the three angles as a record only, turning nothing (the design
  // tools copy a frame whose axes are already set).
  void setAnglesQuiet(float x, float y, float z);
  // The size of the bounding box on each axis, made on first read.
  TSpaceCoord* bounds() const;
  void setBounds(TSpaceCoord*) {}
  TBodyHandle body() const { return body_; }
  bool collisable() const { return collisable_; }
  void setCollisable(bool value) { collisable_ = value; }
  bool dynamic() const { return dynamic_; }
  void setDynamic(bool value) { dynamic_ = value; }
  bool colliseTrack() const { return colliseTrack_; }
  void setColliseTrack(bool value) { colliseTrack_ = value; }
  bool colliseOnStay() const { return colliseOnStay_; }
  void setColliseOnStay(bool value) { colliseOnStay_ = value; }
  float friction() const { return friction_; }
  void setFriction(float value) { friction_ = value; }
  bool moving() const { return moving_; }
  float lastStep() const { return lastStep_; }
  const TVector4F& lastNormal() const { return lastNormal_; }
  const TMatrix4F& localMatrix() const { return localMatrix_; }
  bool worldDirty() const { return worldDirty_; }
  // Filled by the last collision check; nil before the first one.
  const TPositionObjectList* collisionList() const { return collisionList_.get(); }
  const WideString& onTrigger() const { return onTrigger_; }
  const WideString& onComplexCollise() const { return onComplexCollise_; }
  const WideString& onComplexColliseAction() const { return onComplexColliseAction_; }

  // Keeps the object from being freed until the scope ends, for the physics
  // engine while it walks collisions whose handlers may free it.
  class KeepAlive {
   public:
    explicit KeepAlive(PositionObject* object) : scope_(object) {}

   private:
    BusyScope scope_;
  };

  // ---- design tools -------------------------------------------------------------------
  // A left click at design time selects the object through this hook; the
  // design frame installs it (nothing until then).
  static void (*designSelectHook)(PositionObject* object);
  // designUpdate passes its values here at design time.
  static void (*designUpdateHook)(PositionObject* object, float a, float b);

 protected:
  // Whether a new object takes part in mirror passes (the mirror's own
  // surfaces do not).
  virtual bool mirroredAtStart() const { return true; }
  // Runs the engine's collision query for this object into collisionList.
  void checkCollisions();
  // The object's angle record: xAngle, yAngle and zAngle in degrees.
  TSpaceCoord* angles() const { return angles_; }

  WideString onCollise_;
  WideString onTrigger_;
  WideString onSpawn_;
  WideString onUnspawn_;
  WideString onComplexCollise_;
  WideString onComplexColliseAction_;
  // The physics body; the shapes make and free it in createBody/destroyBody.
  TBodyHandle body_ = 0;

 private:
  TSpaceCoord* makeCoord(const TVector4F& start, void (PositionObject::*changed)());
  void rotateFrame(const TVector4F& axis, float degrees);
  void setAngle(float TVector4F::*component, const TVector4F& axis, float value);
  void moveBy(float factor);
  void drawMotionDebug(TDevice* device);
  TVector4F toParentSpace(const TVector4F& v);
  bool frictionStored() const { return friction_ != 1.0f; }

  TSpaceCoord* position_ = nullptr;
  TSpaceCoord* direction_ = nullptr;
  TSpaceCoord* up_ = nullptr;
  TSpaceCoord* scale_ = nullptr;
  TSpaceCoord* angles_ = nullptr;
  bool collisable_ = false;
  bool dynamic_ = false;
  bool colliseTrack_ = false;
  bool zTest_ = false;
  float friction_ = 1.0f;
  TSpaceCoord* velocity_ = nullptr;
  float lastStep_ = 0;
  bool moving_ = false;
  std::unique_ptr<TPositionObjectList> collisionList_;
  bool colliseOnStay_ = false;
  TSpaceCoord* gravity_ = nullptr;
  mutable TSpaceCoord* bounds_ = nullptr;
  TVector4F lastNormal_;
  TMatrix4F localMatrix_ = IdentityMatrix4F;
  bool inChange_ = false;
  // What the object's own record gave while it was read.
  bool anglesRead_ = false;
  bool axesRead_ = false;
  TMatrix4F worldMatrix_ = IdentityMatrix4F;
  bool worldDirty_ = true;
  TPositionObjectKind kind_ = okScreen;
};
