// The render-state machine: flags, partners, counting, save and restore, and
// the reset at every frame.
#include <gtest/gtest.h>

#include "platform/device_fake_helpers.h"

namespace {

class RenderStates : public ::testing::Test {
 protected:
  TTestHost host;
  FakeDevicePtr device = MakeFakeDevice(&host);

  void SetUp() override {
    device->Render();  // a frame start: every flag off
    device->Present();
    device->applied.clear();
  }
};

TEST_F(RenderStates, SwitchingOnAppliesOnceAndCountsOnce) {
  device->SetRenderState(rsDepthTestOn);
  device->SetRenderState(rsDepthTestOn);
  EXPECT_TRUE(device->RenderStateOn(rsDepthTestOn));
  EXPECT_EQ(device->applied, std::vector<TRenderState>{rsDepthTestOn});
  EXPECT_EQ(device->stateChanges(), 1);
}

TEST_F(RenderStates, PartnersAreClearedSoTheyApplyAgain) {
  device->SetRenderState(rs2D);
  device->SetRenderState(rs3D);
  EXPECT_FALSE(device->RenderStateOn(rs2D));
  EXPECT_TRUE(device->RenderStateOn(rs3D));
  device->SetRenderState(rs2D);
  EXPECT_EQ(device->applied, (std::vector<TRenderState>{rs2D, rs3D, rs2D}));
  EXPECT_EQ(device->stateChanges(), 3);
}

TEST_F(RenderStates, TextureStatesClearBothOthers) {
  device->SetRenderState(rsTextureDecal);
  device->SetRenderState(rsTextureModulate);
  EXPECT_FALSE(device->RenderStateOn(rsTextureDecal));
  device->SetRenderState(rsTextureOff);
  EXPECT_FALSE(device->RenderStateOn(rsTextureModulate));
  EXPECT_FALSE(device->RenderStateOn(rsTextureDecal));
  EXPECT_TRUE(device->RenderStateOn(rsTextureOff));
}

TEST_F(RenderStates, EveryPartnerPairClearsTheOther) {
  const std::pair<TRenderState, TRenderState> pairs[] = {
      {rs2D, rs3D},           {rsLightOn, rsLightOff},         {rsDepthTestOn, rsDepthTestOff},
      {rsDepthWriteOn, rsDepthWriteOff}, {rsBlendAdd, rsBlendAlpha}, {rsFilterNearest, rsFilterLinear},
      {rsWireframe, rsSolid}};
  for (auto [a, b] : pairs) {
    device->SetRenderState(a);
    device->SetRenderState(b);
    EXPECT_FALSE(device->RenderStateOn(a)) << int(a);
    device->SetRenderState(a);
    EXPECT_FALSE(device->RenderStateOn(b)) << int(b);
  }
}

TEST_F(RenderStates, CullStatesClearNoPartner) {
  device->SetRenderState(rsCullBack);
  device->SetRenderState(rsCullFront);
  EXPECT_TRUE(device->RenderStateOn(rsCullBack));
  EXPECT_TRUE(device->RenderStateOn(rsCullFront));
  device->SetRenderState(rsCullBack);  // still on: nothing happens until the next frame
  EXPECT_EQ(device->applied, (std::vector<TRenderState>{rsCullBack, rsCullFront}));
  device->Render();
  device->Present();
  device->SetRenderState(rsCullBack);
  EXPECT_EQ(device->applied.back(), rsCullBack);
  EXPECT_EQ(device->applied.size(), 3u);
}

TEST_F(RenderStates, OutOfRangeStateIsIgnored) {
  device->SetRenderState(static_cast<TRenderState>(19));
  device->SetRenderState(static_cast<TRenderState>(200));
  EXPECT_TRUE(device->applied.empty());
  EXPECT_EQ(device->stateChanges(), 0);
}

TEST_F(RenderStates, RestoreKeepsStatesThatAreOnNow) {
  device->SetRenderState(rsBlendAlpha);
  device->SetRenderState(rsDepthTestOn);
  TMatrix4F moved = IdentityMatrix4F;
  moved(3, 0) = 7;
  device->SetWorldMatrix(moved);
  device->SetColor(0x80112233);
  device->saveRenderState();

  device->SetRenderState(rsBlendAdd);  // clears rsBlendAlpha
  device->SetRenderState(rsWireframe);  // off in the save area
  device->SetWorldMatrix(IdentityMatrix4F);
  device->SetColor(0xFF000000);
  device->applied.clear();

  device->restoreRenderState();
  EXPECT_TRUE(device->RenderStateOn(rsBlendAlpha));
  EXPECT_FALSE(device->RenderStateOn(rsBlendAdd));  // its partner came back
  EXPECT_TRUE(device->RenderStateOn(rsWireframe));  // on now, off when saved: stays on
  EXPECT_TRUE(device->RenderStateOn(rsDepthTestOn));
  EXPECT_EQ(device->worldMatrix(), moved);
  EXPECT_EQ(device->material(), FlatMaterial(0x80112233));
  // Only the states that were off are applied again, in id order.
  EXPECT_EQ(device->applied, std::vector<TRenderState>{rsBlendAlpha});
}

TEST_F(RenderStates, RestoreCopiesTheWorldMatrixWithoutThePixelOffset) {
  device->usePixelOffset(-0.5f);
  device->SetRenderState(rs2D);
  TMatrix4F m = IdentityMatrix4F;
  m(3, 0) = 10;
  m(3, 1) = 20;
  device->SetWorldMatrix(m);
  EXPECT_FLOAT_EQ(device->worldMatrix()(3, 0), 9.5f);
  device->saveRenderState();
  device->SetWorldMatrix(IdentityMatrix4F);
  device->restoreRenderState();
  // Copied back as it was stored: offset once, not twice.
  EXPECT_FLOAT_EQ(device->worldMatrix()(3, 0), 9.5f);
  EXPECT_FLOAT_EQ(device->worldMatrix()(3, 1), 19.5f);
}

TEST_F(RenderStates, PixelOffsetAppliesOnlyUnder2D) {
  device->usePixelOffset(-0.5f);
  TMatrix4F m = IdentityMatrix4F;
  m(3, 0) = 4;
  m(3, 1) = 6;
  m(3, 2) = 8;
  device->SetRenderState(rs3D);
  device->SetWorldMatrix(m);
  EXPECT_EQ(device->worldMatrix(), m);
  device->SetRenderState(rs2D);
  device->SetWorldMatrix(m);
  EXPECT_FLOAT_EQ(device->worldMatrix()(3, 0), 3.5f);
  EXPECT_FLOAT_EQ(device->worldMatrix()(3, 1), 5.5f);
  EXPECT_FLOAT_EQ(device->worldMatrix()(3, 2), 8.0f);
}

TEST_F(RenderStates, EveryFrameStartsWithAllStatesOffAndAFlatBlackMaterial) {
  for (int s = 0; s < kRenderStateCount; ++s) device->SetRenderState(static_cast<TRenderState>(s));
  device->SetColor(0xFFFFFFFF);
  TMatrix4F m = IdentityMatrix4F;
  m(3, 0) = 3;
  device->SetWorldMatrix(m);
  device->Render();
  device->Present();
  for (int s = 0; s < kRenderStateCount; ++s) EXPECT_FALSE(device->RenderStateOn(static_cast<TRenderState>(s)));
  EXPECT_EQ(device->material(), TMaterial{});
  EXPECT_EQ(device->worldMatrix(), IdentityMatrix4F);
  EXPECT_EQ(device->stateChanges(), 0);
}

TEST_F(RenderStates, BuildRenderStatesRecordsTheFirstSeventeenInOrder) {
  device->built.clear();
  device->BuildRenderStates();
  ASSERT_EQ(device->built.size(), 17u);
  for (int s = 0; s < 17; ++s) EXPECT_EQ(device->built[static_cast<size_t>(s)], s);
}

TEST(RenderStatePartners, TableMatchesTheStateMeanings) {
  EXPECT_EQ(RenderStatePartners(rsCullBack).count, 0);
  EXPECT_EQ(RenderStatePartners(rsCullFront).count, 0);
  EXPECT_EQ(RenderStatePartners(rsTextureOff).count, 2);
  EXPECT_EQ(RenderStatePartners(rsSolid).states[0], rsWireframe);
  for (int s = 0; s < kRenderStateCount; ++s) {
    const TRenderStatePartners& p = RenderStatePartners(static_cast<TRenderState>(s));
    for (int i = 0; i < p.count; ++i) {
      // Exclusion is mutual: each partner names this state back.
      const TRenderStatePartners& back = RenderStatePartners(p.states[i]);
      bool found = false;
      for (int j = 0; j < back.count; ++j) found = found || back.states[j] == s;
      EXPECT_TRUE(found) << s;
    }
  }
}

}  // namespace
