#pragma once
// The native callbacks of the standard widgets: set at run time by other
// widgets (a drop-down on its list, the skinned widgets on their parts),
// called with the widget first and skipped when unset. A published callback
// may instead hold a method of another object bound by name in an object
// file; it then gets the same arguments as script values.
#include <functional>
#include <initializer_list>
#include <vector>

#include "core/objects/class_info.h"
#include "core/objects/variant.h"
#include "core/system/log.h"
#include "core/text/exceptions.h"

template <class... Args>
class WidgetCallback {
 public:
  using Function = std::function<void(Args...)>;

  void set(Function function) { function_ = std::move(function); }
  void clear() { function_ = nullptr; }
  explicit operator bool() const { return static_cast<bool>(function_); }
  void operator()(Args... args) const {
    if (function_) function_(args...);
  }

 private:
  Function function_;
};

// Calls a bound published method with the given arguments; a bad binding is
// logged and skipped.
inline void CallMethodRef(const MethodRef& method, std::initializer_list<Variant> arguments) {
  if (!method || !method.object) return;
  std::vector<Variant> values(arguments);
  try {
    method.method->invoke.call(method.object, values, nullptr);
  } catch (const Exception& e) {
    LogError(u"Callback " + AnsiToWide(method.method->name) + u": " + AnsiToWide(e.what()));
  }
}
