#include "platform/device_render_states.h"

Q_DEFINE_ENUM(TRenderState, "rs2D", "rs3D", "rsLightOn", "rsLightOff", "rsDepthTestOn", "rsDepthTestOff",
              "rsDepthWriteOn", "rsDepthWriteOff", "rsCullBack", "rsCullFront", "rsBlendAdd", "rsBlendAlpha",
              "rsFilterNearest", "rsFilterLinear", "rsTextureOff", "rsTextureDecal", "rsTextureModulate",
              "rsWireframe", "rsSolid")

namespace {
// The two cull states exclude nothing: a frame may cull both ways at once.
constexpr std::array<TRenderStatePartners, kRenderStateCount> kPartners{{
    {1, {rs3D}},
    {1, {rs2D}},
    {1, {rsLightOff}},
    {1, {rsLightOn}},
    {1, {rsDepthTestOff}},
    {1, {rsDepthTestOn}},
    {1, {rsDepthWriteOff}},
    {1, {rsDepthWriteOn}},
    {0, {}},
    {0, {}},
    {1, {rsBlendAlpha}},
    {1, {rsBlendAdd}},
    {1, {rsFilterLinear}},
    {1, {rsFilterNearest}},
    {2, {rsTextureDecal, rsTextureModulate}},
    {2, {rsTextureOff, rsTextureModulate}},
    {2, {rsTextureOff, rsTextureDecal}},
    {1, {rsSolid}},
    {1, {rsWireframe}},
}};
}  // namespace

const TRenderStatePartners& RenderStatePartners(TRenderState state) { return kPartners.at(state); }
