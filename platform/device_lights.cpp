// The window's light table and camera as the device fills them.
#include "platform/device.h"

int32_t TDevice::AllocLight() {
  TLightTable& lights = windowParts().lights;
  if (lights.count + 1 >= kMaxWindowLights) {
    lights.count = kMaxWindowLights;
    return -1;
  }
  lights.count += 1;
  return lights.count;
}

void TDevice::SetLight(int32_t index, const TVector4F& vector1, const TVector4F& vector2, TColorARGB diffuse,
                       TColorARGB specular, TColorARGB ambient, bool enabled, bool screenSpace) {
  if (index < 0 || index >= kMaxWindowLights) return;
  TLightEntry& entry = windowParts().lights.entries[index];
  entry.vector1 = vector1;
  entry.vector2 = vector2;
  entry.diffuse = diffuse;
  entry.specular = specular;
  entry.ambient = ambient;
  entry.enabled = enabled;
  entry.screenSpace = screenSpace;
}

void TDevice::SetCamera(const TVector4F& eye, const TVector4F& direction, const TVector4F& up) {
  TCameraRecord& camera = windowParts().camera;
  camera.eye = eye;
  camera.direction = direction;
  camera.up = up;
  camera.view = MatLookAt(eye, direction, up);
  camera.frustum = FrustumFromMatrix(ModelViewProj());
}
