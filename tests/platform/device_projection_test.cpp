// Projections, the camera and picking, on a window record of known size.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/device_fake_helpers.h"
#include "platform/win32/window.h"

namespace {

struct Clip {
  float x, y, z, w;
  float ndcX() const { return x / w; }
  float ndcY() const { return y / w; }
  float ndcZ() const { return z / w; }
};

Clip Project(const TMatrix4F& m, float x, float y, float z) {
  const float v[4] = {x, y, z, 1};
  float out[4] = {};
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) out[col] += v[row] * m(row, col);
  }
  return {out[0], out[1], out[2], out[3]};
}

class Projection : public ::testing::Test {
 protected:
  void SetUp() override {
    window = New<TWindow>();
    window->appliedWidth = 200;
    window->appliedHeight = 100;
    device.reset(static_cast<TFakeDevice*>(CreateDeviceOfClass(FakeDeviceClass(), window, &host)));
  }
  void TearDown() override {
    device.reset();
    window->Free();
  }
  void LookFromTheDefaultPlace() {
    device->SetCamera(MakeVector4F(0, -150, 0, 1), MakeVector4F(0, -1, 0, 1), MakeVector4F(0, 0, -1, 1));
  }
  TTestHost host;
  TWindow* window = nullptr;
  FakeDevicePtr device;
};

TEST_F(Projection, ScreenProjectionMapsWindowPixelsOntoTheWholeScreen) {
  TMatrix4F p = device->Projection2D();
  const float points[][4] = {{0, 0, -1, 1}, {200, 100, 1, -1}, {50, 25, -0.5f, 0.5f}, {100, 50, 0, 0}};
  for (const auto& pt : points) {
    Clip c = Project(p, pt[0], pt[1], 0);
    EXPECT_NEAR(c.ndcX(), pt[2], 1e-5) << pt[0];
    EXPECT_NEAR(c.ndcY(), pt[3], 1e-5) << pt[1];
  }
}

TEST_F(Projection, ScreenDepthGrowsAwayFromTheViewer) {
  TMatrix4F p = device->Projection2D();
  Clip nearer = Project(p, 10, 10, 0), further = Project(p, 10, 10, 1);
  EXPECT_GT(nearer.ndcZ(), 0);
  EXPECT_LT(nearer.ndcZ(), further.ndcZ());
  EXPECT_LT(further.ndcZ(), 1);
  // The screen projection is a flat perspective: depth moves a point a little.
  EXPECT_NEAR(further.ndcX(), nearer.ndcX(), 0.01);
}

TEST_F(Projection, ScaleAndLetterboxMarginsMoveTheScreenContent) {
  host.scale = 2;
  window->marginX = 20;
  window->marginY = 10;
  TMatrix4F p = device->Projection2D();
  // Applet point (40, 20) is window pixel (40 x 2 + 20, 20 x 2 + 10) = (100, 50): the centre.
  Clip c = Project(p, 40, 20, 0);
  EXPECT_NEAR(c.ndcX(), 0, 1e-5);
  EXPECT_NEAR(c.ndcY(), 0, 1e-5);
}

TEST_F(Projection, CameraProductIsViewTimesProjection) {
  LookFromTheDefaultPlace();
  TMatrix4F expected = MatMultiply(window->camera.view, device->Projection3D());
  EXPECT_EQ(device->ModelViewProj(), expected);
  Clip centre = Project(expected, 0, 0, 0);  // the origin lies straight ahead
  EXPECT_NEAR(centre.ndcX(), 0, 1e-5);
  EXPECT_NEAR(centre.ndcY(), 0, 1e-5);
  EXPECT_GT(centre.w, 0);
  Clip up = Project(expected, 0, 0, 20);  // world +z shows above the centre
  EXPECT_GT(up.ndcY(), 0);
}

TEST_F(Projection, SetCameraKeepsVectorsViewAndFrustum) {
  LookFromTheDefaultPlace();
  EXPECT_EQ(window->camera.eye, MakeVector4F(0, -150, 0, 1));
  EXPECT_EQ(window->camera.view, MatLookAt(window->camera.eye, window->camera.direction, window->camera.up));
  EXPECT_EQ(FrustumTestSphere(window->camera.frustum, MakeSphere(MakeVector4F(0, 0, 0, 1), 5)), kCullInside);
  EXPECT_EQ(FrustumTestSphere(window->camera.frustum, MakeSphere(MakeVector4F(0, -300, 0, 1), 5)), kCullOutside);
  EXPECT_EQ(FrustumTestSphere(window->camera.frustum, MakeSphere(MakeVector4F(5000, 0, 0, 1), 5)), kCullOutside);
}

TEST_F(Projection, PickThroughTheCentreLooksStraightAhead) {
  LookFromTheDefaultPlace();
  TVector4F origin, direction;
  device->Pick(100, 50, origin, direction);
  EXPECT_EQ(origin, MakeVector4F(0, -150, 0, 1));
  EXPECT_NEAR(direction.x, 0, 1e-5);
  EXPECT_NEAR(direction.y, 1, 1e-5);
  EXPECT_NEAR(direction.z, 0, 1e-5);
}

TEST_F(Projection, PickedRaysPassThroughWhatShowsAtThePixel) {
  LookFromTheDefaultPlace();
  const TVector4F targets[] = {MakeVector4F(30, 10, -15, 1), MakeVector4F(-60, 200, 40, 1)};
  for (const TVector4F& target : targets) {
    Clip c = Project(device->ModelViewProj(), target.x, target.y, target.z);
    float px = (c.ndcX() + 1) / 2 * 200, py = (1 - c.ndcY()) / 2 * 100;
    TVector4F origin, direction;
    device->Pick(px, py, origin, direction);
    TVector4F toTarget = VecSub(target, origin);
    float along = VecDot(toTarget, direction);
    TVector4F closest = VecAdd(origin, VecScale(direction, along));
    // The projection's centre lies one unit behind the eye (w = z + 1), the
    // ray starts at the eye: they agree to within a fraction of a unit.
    EXPECT_NEAR(std::sqrt(VecDistanceSq(closest, target)), 0, 0.005f * std::sqrt(VecLengthSq(toTarget)))
        << target.x;
  }
}

TEST_F(Projection, PickFollowsScaleAndMargins) {
  LookFromTheDefaultPlace();
  host.scale = 2;
  window->marginX = 20;
  window->marginY = 10;
  TVector4F origin, direction;
  device->Pick(40, 20, origin, direction);  // window pixel (100, 50), the centre
  EXPECT_NEAR(direction.x, 0, 1e-5);
  EXPECT_NEAR(direction.z, 0, 1e-5);
}

TEST_F(Projection, NoWindowStillGivesFiniteMatrices) {
  TTestHost lonelyHost;
  FakeDevicePtr lonely = MakeFakeDevice(&lonelyHost);
  for (float e : lonely->Projection2D().m) EXPECT_TRUE(std::isfinite(e));
  for (float e : lonely->Projection3D().m) EXPECT_TRUE(std::isfinite(e));
}

}  // namespace
