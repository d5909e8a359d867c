#pragma once
// How an animation's channels reach the object they animate. Each channel
// belongs to a class, found by name in the class registry, and to a
// published property of that class, found in the object's published
// description: alpha of a VisualObject, the font colour, width and height of
// a GuiObject, the angles, position and scale of a PositionObject. An object
// outside the channel's class (or a class this program does not have) is
// left alone.
#include "core/geometry/geometry.h"
#include "engine/effects/animation_key.h"

class BaseObject;

// The published property a channel animates ("alpha", "position" ...).
const char* ChannelPropertyName(AnimationChannel channel);
// Whether the channel reaches the object.
bool ChannelReaches(BaseObject* object, AnimationChannel channel);

// The object's current value of a float channel; false when it does not reach.
bool ReadChannel(BaseObject* object, AnimationChannel channel, float& value);
bool ReadColorChannel(BaseObject* object, AnimationChannel channel, TColorARGB& color);
// Sets a float channel; the delta channels add the value to the base
// position's component.
void WriteChannel(BaseObject* object, AnimationChannel channel, float value, const TVector4F& basePosition);
void WriteColorChannel(BaseObject* object, AnimationChannel channel, TColorARGB color);
