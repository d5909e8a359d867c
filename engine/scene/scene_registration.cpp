#include "engine/scene/scene_registration.h"

#include "core/objects/class_registry.h"
#include "engine/scene/box.h"
#include "engine/scene/camera.h"
#include "engine/scene/cone.h"
#include "engine/scene/cylinder.h"
#include "engine/scene/grid.h"
#include "engine/scene/light.h"
#include "engine/scene/mesh.h"
#include "engine/scene/mirror.h"
#include "engine/scene/mission.h"
#include "engine/scene/plane.h"
#include "engine/scene/rect.h"
#include "engine/scene/sphere.h"
#include "engine/scene/sprite.h"
#include "engine/scene/trigger.h"

void RegisterSceneClasses() {
  RegisterClasses({&PositionObject::staticClassInfo(), &Rect::staticClassInfo(), &Sprite::staticClassInfo(),
                   &Camera::staticClassInfo(), &Light::staticClassInfo(), &Plane::staticClassInfo(),
                   &Box::staticClassInfo(), &Sphere::staticClassInfo(), &Cylinder::staticClassInfo(),
                   &Cone::staticClassInfo(), &Mesh::staticClassInfo(), &Mirror::staticClassInfo(),
                   &Grid::staticClassInfo(), &Trigger::staticClassInfo(), &Mission::staticClassInfo()});
}
