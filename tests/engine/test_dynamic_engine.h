#pragma once
// A physics engine for tests: it records what it is asked, makes numbered
// bodies, keeps their matrices, and reports the contacts a test lays out.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/geometry/coordinates.h"
#include "core/system/log.h"
#include "engine/physics/dynamic_engine.h"
#include "engine/scene/position_object.h"

class TTestEngine : public TDynamicEngine {
  Q_OBJECT(TTestEngine, TDynamicEngine)

 public:
  static inline TTestEngine* made = nullptr;

  std::vector<std::string> calls;
  std::map<TBodyHandle, PositionObject*> bodies;
  std::map<TBodyHandle, TMatrix4F> matrices;
  // Pairs (object, other): a query for the object finds the other touching it.
  std::vector<std::pair<PositionObject*, PositionObject*>> touching;
  // The querying object and its position at every collision query.
  std::vector<std::pair<PositionObject*, TVector4F>> queries;
  TVector4F contactPoint = MakeVector4F(1, 2, 3, 1);
  TVector4F contactNormal = MakeVector4F(0, 0, 1, 1);
  int nextHandle = 1;
  // The size every box body was asked for, by object name.
  std::map<WideString, TVector4F> boxSizes;
  // The shape and size of every body asked for, by object name.
  std::map<WideString, std::pair<std::string, TVector4F>> bodySizes;

  void Create(TObject* owner) override {
    inherited::Create(owner);
    made = this;
    LogInfo(u"test engine made");
  }
  void Destroy() override {
    LogInfo(u"test engine freed");
    DestroyWorlds();
    if (made == this) made = nullptr;
    inherited::Destroy();
  }
  TWorldHandle CreateWorld(TPositionObjectKind kind) override {
    calls.push_back(kind == okSpace ? "CreateWorld space" : "CreateWorld screen");
    return 100 + nextHandle++;
  }
  void DestroyWorld(TWorldHandle world) override { calls.push_back("DestroyWorld " + std::to_string(world)); }
  void Step(TWorldHandle world, float) override { calls.push_back("Step " + std::to_string(world)); }
  void CollectCollisions(PositionObject* object, TPositionObjectList& list) override {
    queries.emplace_back(object, object->position()->vector());
    for (auto& [a, b] : touching) {
      if (a == object) object->collise(b, contactPoint, contactNormal);
    }
    list.push_back(object);
  }
  void CollectComplexCollisions(PositionObject* object, TPositionObjectList& list) override {
    list.push_back(object);
    for (auto& [a, b] : touching) {
      if (a == object) list.push_back(b);
    }
  }
  PositionObject* BodyObject(TBodyHandle body) override { return bodies.count(body) ? bodies[body] : nullptr; }
  TBodyHandle CreateBoxBody(PositionObject* object, const TVector4F& size) override {
    boxSizes[object->name()] = size;
    return made_(object, "Box", size);
  }
  TBodyHandle CreateSphereBody(PositionObject* object, const TVector4F& size) override {
    return made_(object, "Sphere", size);
  }
  TBodyHandle CreateConeBody(PositionObject* object, const TVector4F& size) override {
    return made_(object, "Cone", size);
  }
  TBodyHandle CreateCylinderBody(PositionObject* object, const TVector4F& size) override {
    return made_(object, "Cylinder", size);
  }
  void RemoveBody(TBodyHandle& body) override {
    if (!body) return;
    calls.push_back("RemoveBody " + WideToUtf8(bodies[body]->name()));
    bodies.erase(body);
    body = 0;
  }
  void SetBodyMatrix(TBodyHandle body, const TMatrix4F& matrix) override {
    calls.push_back("SetBodyMatrix " + WideToUtf8(bodies[body]->name()));
    matrices[body] = matrix;
  }
  TMatrix4F GetBodyMatrix(TBodyHandle body) override { return matrices[body]; }
  void Explode(TWorldHandle world, const TVector4F& centre, float strength, float radius) override {
    calls.push_back("Explode " + std::to_string(world) + " " + std::to_string(static_cast<int>(centre.x)) + " " +
                    std::to_string(static_cast<int>(strength)) + " " + std::to_string(static_cast<int>(radius)));
  }

 private:
  TBodyHandle made_(PositionObject* object, const std::string& shape, const TVector4F& size) {
    bodySizes[object->name()] = {shape, size};
    GetWorld(object->kind());
    calls.push_back("Create" + shape + "Body " + WideToUtf8(object->name()));
    const TBodyHandle handle = nextHandle++;
    bodies[handle] = object;
    matrices[handle] = object->getWorldMatrix();
    return handle;
  }
};

inline const ClassInfo& TTestEngine::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TTestEngine>("TTestEngine").build();
  return info;
}


inline void ExpectSize(const TVector4F& size, float x, float y, float z) {
  EXPECT_FLOAT_EQ(size.x, x);
  EXPECT_FLOAT_EQ(size.y, y);
  EXPECT_FLOAT_EQ(size.z, z);
}
