// Scripts working the device through its published methods on a real
// window: the camera matrix, the picking ray, the material, the texture
// matrix, lines drawn in a frame, and the frame read back.
#include <gtest/gtest.h>

#include "core/geometry/coordinates.h"
#include "core/objects/class_builder.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/script_engine.h"
#include "engine/visual_object.h"
#include "platform/device.h"
#include "tests/engine/applet_world.h"
#include "tests/engine/media_world.h"

namespace {
// Runs a script each time it is drawn, as a painter's handler does.
class ScriptedDrawing : public VisualObject {
  Q_OBJECT(ScriptedDrawing, VisualObject)

 public:
  void drawSelf() override {
    Applet* applet = ownerApplet();
    if (applet && applet->scriptEngine() && !script.empty()) applet->scriptEngine()->evaluate(script);
  }
  WideString script;
};
}  // namespace

const ClassInfo& ScriptedDrawing::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<ScriptedDrawing>("ScriptedDrawing").build();
  return info;
}

namespace {
class ScriptDevice : public ::testing::Test {
 protected:
  bool run(const std::string& script) {
    return world.applet && world.applet->scriptEngine() &&
           world.applet->scriptEngine()->evaluate(Utf8ToWide(script));
  }
  // The value of a script expression.
  Variant value(const std::string& expression) {
    if (!run("var probe = " + expression + ";")) return {};
    return world.applet->scriptEngine()->getGlobal(u"probe");
  }

  AppletWorld world{AppletText(R"(width="64" height="48" title="Device Script" bkColor="#FF000000")")};
};

TEST_F(ScriptDevice, MatrixRayMaterialAndTextureMatrixReachTheDevice) {
  ASSERT_NE(world.applet, nullptr);
  TDevice* device = world.applet->device();
  ASSERT_NE(device, nullptr);
  device->SetCamera(MakeVector4F(1, 2, -10, 1), MakeVector4F(0, 0, 1, 0), MakeVector4F(0, 1, 0, 0));
  ASSERT_TRUE(run("var m = []; for (var i = 0; i < 16; i++) m.push(device.ModelViewProj(i));"
                  "var outside = device.ModelViewProj(16);"
                  "device.Pick(10, 40, event.paramPosition, event.paramNormal);"
                  "var o = event.paramPosition, d = event.paramNormal;"
                  "var ray = [o.x, o.y, o.z, d.x, d.y, d.z];"
                  "device.SetMaterial(true, '#FF102030', 0xFF405060, '#80FFFFFF');"
                  "device.SetTextureMatrix(0.5, 0, 0, 0.25, 0.125, 0.75);"))
      << world.log.messages().back();

  const TMatrix4F expected = device->ModelViewProj();
  for (int i = 0; i < 16; ++i) {
    EXPECT_FLOAT_EQ(value("m[" + std::to_string(i) + "]").toDouble(), expected(i / 4, i % 4)) << i;
  }
  EXPECT_EQ(value("outside").toDouble(), 0);

  TVector4F origin{}, direction{};
  device->Pick(10, 40, origin, direction);
  const float ray[6] = {origin.x, origin.y, origin.z, direction.x, direction.y, direction.z};
  for (int i = 0; i < 6; ++i) {
    EXPECT_FLOAT_EQ(value("ray[" + std::to_string(i) + "]").toDouble(), ray[i]) << i;
  }
  EXPECT_EQ(device->material(), (TMaterial{true, 0xFF102030u, 0xFF405060u, 0x80FFFFFFu}));
  TTextureMatrix texture;
  texture.m[0][0] = 0.5f;
  texture.m[1][1] = 0.25f;
  texture.m[2][0] = 0.125f;
  texture.m[2][1] = 0.75f;
  EXPECT_EQ(device->textureMatrix(), texture);
}

TEST_F(ScriptDevice, ALineDrawnByAScriptIsInTheFrameItReadsBack) {
  ASSERT_NE(world.applet, nullptr);
  auto* drawing = New<ScriptedDrawing>(world.applet);
  drawing->script =
      u"device.SetRenderState(0); device.SetMaterial(false, '#FFFF0000', '#FFFF0000', '#FFFF0000');"
      u"device.DrawLine(0, 20, 0, 64, 20, 0, 1);";
  const Frame frame = RenderFrame(world.applet);
  ASSERT_FALSE(frame.pixels.empty());
  EXPECT_TRUE(Near(frame.at(32, 20), kRed)) << std::hex << frame.at(32, 20);
  EXPECT_TRUE(Near(frame.at(32, 30), 0xFF000000u)) << std::hex << frame.at(32, 30);

  // The script reads single pixels of a frame it renders.
  EXPECT_EQ(value("device.RenderToARGB(32, 20)").toInt64(), static_cast<int64_t>(frame.at(32, 20)));
  EXPECT_EQ(value("device.RenderToARGB(32, 30)").toInt64(), static_cast<int64_t>(frame.at(32, 30)));
  EXPECT_EQ(value("device.RenderToARGB(64, 0)").toInt64(), 0);
}
}  // namespace
