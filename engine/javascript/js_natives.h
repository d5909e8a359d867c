#pragma once
#include <string>
// The script classes and the native functions through which scripts reach
// program objects: property accessors, published methods and class
// constructors. Internal to engine/javascript/.
#include <jsapi.h>

#include "core/objects/class_info.h"

// "global": the global object of an engine.
extern const JSClass kGlobalClass;
// A class name scripts may name in some realm: the global's class asks the
// realm for names among these only.
void NoteExposedClassName(const std::string& name);
// "object": class prototypes; reserved slot 0 holds the ClassInfo.
extern const JSClass kPrototypeClass;
// "c": instances; reserved slot 0 holds the WrapperEntry (undefined when cut loose).
extern const JSClass kInstanceClass;

// The class a prototype stands for, or nil.
const ClassInfo* ClassOfPrototype(JSObject* prototype);

// Defines the accessor pair of a published property on a prototype under `id`
// (any spelling of the property's name).
bool DefinePublishedAccessor(JSContext* cx, JS::HandleObject prototype, JS::HandleId id, const PropInfo& prop);
struct MethodBinding;

// Defines the function of a published method on a prototype; the binding
// lives as long as the prototype's realm.
bool DefinePublishedMethod(JSContext* cx, JS::HandleObject prototype, const MethodBinding& binding);
// The constructor function of a class: `new ClassName(parent or file ...)`.
JSObject* NewClassConstructor(JSContext* cx, const ClassInfo& cls);
