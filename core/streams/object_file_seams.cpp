#include "core/streams/object_file_seams.h"

#include "core/resources/stream.h"
#include "core/streams/object_xml.h"

bool (*AppletHasDeviceHook)(BaseObject* applet) = nullptr;

bool BinaryObjectToXmlText(TStream& binary, std::string& xmlText) {
  TMemoryStream xml;
  if (!binaryToXml(binary, xml)) return false;
  xmlText.assign(reinterpret_cast<const char*>(xml.Memory()), xml.Bytes().size());
  return true;
}
