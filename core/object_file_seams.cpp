#include "core/object_file_seams.h"

#include "core/resource_man.h"

bool (*AppletHasDeviceHook)(BaseObject* applet) = nullptr;

// Until the object streams can convert the binary form, a binary-only applet
// has no readable text.
bool BinaryObjectToXmlText(TStream&, std::string&) { return false; }

BaseObject* LoadAppletObjectFile(TResourceMan* manager, const WideString&, BaseObject*) {
  manager->Free();
  return nullptr;
}
