#include "core/objects/proxy_object.h"

const ClassInfo& ProxyObject::staticClassInfo() {
  using P = ProxyObject;
  static const ClassInfo info =
      ClassBuilder<P>("ProxyObject").property("src", &P::fileName, &P::setFileName).build();
  return info;
}
