#include "engine/effects/animation_channels.h"

#include "core/geometry/coordinates.h"
#include "core/objects/base_object.h"
#include "core/objects/class_registry.h"
#include "engine/media/font_persistent.h"
#include "engine/visual_object.h"

namespace {

using C = AnimationChannel;

struct ChannelTarget {
  const char* className;
  // Nil for the colour override, which is no published property.
  const char* property;
};

// Whether a channel reaches an object, and the property it sets there.
struct Reach {
  bool reaches = false;
  const PropInfo* prop = nullptr;
};

ChannelTarget TargetOf(AnimationChannel channel) {
  switch (channel) {
    case C::Alpha: return {"VisualObject", "alpha"};
    case C::Color: return {"VisualObject", nullptr};
    case C::SecondColor: return {"GuiObject", "font"};
    case C::Width: return {"GuiObject", "width"};
    case C::Height: return {"GuiObject", "height"};
    case C::XAngle: return {"PositionObject", "xAngle"};
    case C::YAngle: return {"PositionObject", "yAngle"};
    case C::ZAngle: return {"PositionObject", "zAngle"};
    case C::Scale: return {"PositionObject", "scale"};
    case C::X: case C::Y: case C::Z:
    case C::DeltaX: case C::DeltaY: case C::DeltaZ: return {"PositionObject", "position"};
  }
  return {"", nullptr};
}

// The position component a position channel sets: 0 x, 1 y, 2 z; -1 for others.
int ComponentOf(AnimationChannel channel) {
  switch (channel) {
    case C::X: case C::DeltaX: return 0;
    case C::Y: case C::DeltaY: return 1;
    case C::Z: case C::DeltaZ: return 2;
    default: return -1;
  }
}

bool IsDelta(AnimationChannel channel) {
  return channel == C::DeltaX || channel == C::DeltaY || channel == C::DeltaZ;
}

Reach ReachOf(BaseObject* object, AnimationChannel channel) {
  Reach reach;
  if (!object) return reach;
  const ChannelTarget target = TargetOf(channel);
  const ClassInfo* owningClass = FindClass(target.className);
  if (!owningClass || !object->classInfo().inheritsFrom(*owningClass)) return reach;
  if (!target.property) {
    reach.reaches = true;
    return reach;
  }
  reach.prop = object->classInfo().findProperty(target.property);
  reach.reaches = reach.prop != nullptr;
  return reach;
}

// The property the channel sets on the object, or nil.
const PropInfo* PropertyFor(BaseObject* object, AnimationChannel channel) { return ReachOf(object, channel).prop; }

template <typename T>
T* ObjectProperty(BaseObject* object, const PropInfo& prop) {
  return prop.kind() == TypeKind::Object ? dynamic_cast<T*>(GetObjectProp(object, prop)) : nullptr;
}

float Component(const TVector4F& v, int index) { return index == 0 ? v.x : index == 1 ? v.y : v.z; }

}  // namespace

const char* ChannelPropertyName(AnimationChannel channel) {
  const char* name = TargetOf(channel).property;
  return name ? name : "colorOverride";
}

bool ChannelReaches(BaseObject* object, AnimationChannel channel) { return ReachOf(object, channel).reaches; }

bool ReadChannel(BaseObject* object, AnimationChannel channel, float& value) {
  const PropInfo* prop = PropertyFor(object, channel);
  if (!prop || IsColorChannel(channel)) return false;
  if (prop->kind() == TypeKind::Float) {
    value = GetFloatProp(object, *prop);
    return true;
  }
  auto* coord = ObjectProperty<TSpaceCoord>(object, *prop);
  if (!coord) return false;
  const int component = ComponentOf(channel);
  value = Component(coord->vector(), component < 0 ? 0 : component);
  return true;
}

bool ReadColorChannel(BaseObject* object, AnimationChannel channel, TColorARGB& color) {
  const Reach reach = ReachOf(object, channel);
  if (!reach.reaches) return false;
  if (channel == C::Color) {
    auto* visual = dynamic_cast<VisualObject*>(object);
    if (visual) color = visual->colorOverride();
    return visual != nullptr;
  }
  auto* font = reach.prop ? ObjectProperty<TFontPersistent>(object, *reach.prop) : nullptr;
  if (font) color = font->color();
  return font != nullptr;
}

void WriteChannel(BaseObject* object, AnimationChannel channel, float value, const TVector4F& basePosition) {
  const PropInfo* prop = PropertyFor(object, channel);
  if (!prop || IsColorChannel(channel)) return;
  if (prop->kind() == TypeKind::Float) {
    SetFloatProp(object, *prop, value);
    return;
  }
  auto* coord = ObjectProperty<TSpaceCoord>(object, *prop);
  if (!coord) return;
  const int component = ComponentOf(channel);
  if (component < 0) {
    coord->setXYZ(value, value, value);  // scale, alike on every axis
    return;
  }
  if (IsDelta(channel)) value += Component(basePosition, component);
  if (component == 0) coord->setX(value);
  if (component == 1) coord->setY(value);
  if (component == 2) coord->setZ(value);
}

void WriteColorChannel(BaseObject* object, AnimationChannel channel, TColorARGB color) {
  const Reach reach = ReachOf(object, channel);
  if (!reach.reaches) return;
  if (channel == C::Color) {
    // The colour override is handed to the material on every draw; it is no
    // stored property, so it is set directly.
    if (auto* visual = dynamic_cast<VisualObject*>(object)) {
      visual->setColorOverride(color);
      visual->update();
    }
    return;
  }
  if (auto* font = reach.prop ? ObjectProperty<TFontPersistent>(object, *reach.prop) : nullptr) {
    font->setColor(color);
    object->update();
  }
}
