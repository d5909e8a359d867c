// The projections, the camera product and picking: the same on every device,
// so that a scene looks and picks alike whichever device draws it.
#include <numbers>

#include "platform/device.h"
#include "platform/device_window.h"

namespace {
TMatrix4F Scaling(float x, float y, float z) {
  TMatrix4F m = IdentityMatrix4F;
  m(0, 0) = x;
  m(1, 1) = y;
  m(2, 2) = z;
  return m;
}

TMatrix4F Translation(float x, float y, float z) {
  TMatrix4F m = IdentityMatrix4F;
  m(3, 0) = x;
  m(3, 1) = y;
  m(3, 2) = z;
  return m;
}

// Height over width of the window; a window without size counts as square.
float Aspect(float width, float height) { return width > 0 && height > 0 ? height / width : 1.0f; }
}  // namespace

TMatrix4F TDevice::Projection3D() const {
  float w = static_cast<float>(windowWidth()), h = static_cast<float>(windowHeight());
  float z = hostScale();
  TMatrix4F perspective = MatPerspective(static_cast<float>(2 * std::numbers::pi / 3), Aspect(w, h), 1, 2000);
  return MatMultiply(Scaling(z, z, z), perspective);
}

// Window pixels map one to one onto the screen: k turns the perspective's
// scale at depth 3 into the orthographic scale of the window rectangle.
TMatrix4F TDevice::Projection2D() const {
  float w = static_cast<float>(windowWidth()), h = static_cast<float>(windowHeight());
  float zoom = hostScale();
  float ox = static_cast<float>(WindowMarginX(window_)), oy = static_cast<float>(WindowMarginY(window_));
  TMatrix4F p = MatPerspective(static_cast<float>(5 * std::numbers::pi / 6), Aspect(w, h), 1, 1000);
  TMatrix4F o = MatOrtho(0, w > 0 ? w : 1, h > 0 ? h : 1, 0, 1, 1000);
  float k = o(0, 0) / p(0, 0);
  TMatrix4F m = Scaling(zoom, zoom, zoom);
  m = MatMultiply(m, Translation(-w / 2 + ox, -h / 2 + oy, 0));
  m = MatMultiply(m, Scaling(3 * k, 3 * k, 2 * k));
  m = MatMultiply(m, Translation(0, 0, 2));
  return MatMultiply(m, p);
}

TMatrix4F TDevice::ModelViewProj() {
  return MatMultiply(windowParts().camera.view, Projection3D());
}

void TDevice::Pick(float x, float y, TVector4F& origin, TVector4F& direction) {
  float w = static_cast<float>(windowWidth()), h = static_cast<float>(windowHeight());
  if (w <= 0) w = 1;
  if (h <= 0) h = 1;
  float zoom = hostScale();
  x = x * zoom + static_cast<float>(WindowMarginX(window_));
  y = y * zoom + static_cast<float>(WindowMarginY(window_));
  TMatrix4F p = Projection3D();
  TVector4F view = MakeVector4F((2 * x / w - 1) / p(0, 0) * zoom, -(2 * y / h - 1) / p(1, 1) * zoom, 1, 0);
  TMatrix4F inverse = windowParts().camera.view;
  MatInvert(inverse);
  direction = VecNormalized(VecTransform(view, inverse));
  origin = MakeVector4F(inverse(3, 0), inverse(3, 1), inverse(3, 2), 1);
}
