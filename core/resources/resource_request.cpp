#include "core/resources/resource_request.h"

#include "core/objects/component.h"

namespace {
ResourceRequest* innermost = nullptr;
}  // namespace

ResourceRequest::ResourceRequest(const TObject* object, const char* property)
    : object_(object), property_(property), outer_(innermost) {
  innermost = this;
}

ResourceRequest::~ResourceRequest() { innermost = outer_; }

WideString ResourceRequest::current() {
  if (!innermost || !innermost->object_) return {};
  const TObject* object = innermost->object_;
  const auto* component = dynamic_cast<const TGComponent*>(object);
  const WideString name =
      component && !component->name().empty() ? component->name() : AnsiToWide(object->className());
  return name + u"." + AnsiToWide(innermost->property_);
}

WideString MissingFileMessage(const WideString& name) {
  const WideString by = ResourceRequest::current();
  return u"File " + name + u" not found" + (by.empty() ? WideString() : u", named by " + by);
}
