// The window's light table and camera as the device fills them.
#include "platform/device.h"

int32_t TDevice::AllocLight() {
  TLightTable& lights = windowParts().lights;
  for (int32_t index = 1; index < kMaxWindowLights; ++index) {
    if (lights.used[index]) continue;
    lights.used[index] = true;
    lights.count += 1;
    return index;
  }
  return -1;
}

void TDevice::FreeLight(int32_t index) {
  TLightTable& lights = windowParts().lights;
  if (index < 1 || index >= kMaxWindowLights || !lights.used[index]) return;
  lights.used[index] = false;
  lights.count -= 1;
  // A freed entry no longer shines.
  lights.entries[index] = TLightEntry{};
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
