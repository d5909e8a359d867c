#pragma once
// The handle table: every window, context, bitmap, region, icon and GL
// context the layer hands out is an object here, named by a number that is
// never used twice. A handle that was destroyed, or never given, finds nothing.
#include <cstdint>
#include <memory>

enum class HandleKind { Window, DeviceContext, Bitmap, Region, Icon, Cursor, GLContext, Font };

struct HandleObject {
  explicit HandleObject(HandleKind k) : kind(k) {}
  virtual ~HandleObject() = default;
  const HandleKind kind;
  uintptr_t id = 0;
};

// Takes the object into the table and answers its handle value.
uintptr_t AddHandle(std::shared_ptr<HandleObject> object);
void RemoveHandle(uintptr_t id);
std::shared_ptr<HandleObject> FindHandle(uintptr_t id, HandleKind kind);

template <typename T, typename H>
std::shared_ptr<T> Lookup(H handle) {
  return std::static_pointer_cast<T>(FindHandle(reinterpret_cast<uintptr_t>(handle), T::kKind));
}

template <typename H>
H HandleOf(const HandleObject& object) {
  return reinterpret_cast<H>(object.id);
}
