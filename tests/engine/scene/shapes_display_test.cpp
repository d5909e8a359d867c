// Shapes, camera and lights in a real applet: the pixels of a lit box, a
// plane with a pixmap and a sprite where the camera puts them on both
// devices, lights taken from and given back to the window's table, a
// mirror's reflection, culling at the screen's edge, mesh frames, bodies, the
// default cursor in the top layer, and the shapes' stored form.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "compat/win32/mouse.h"
#include "core/geometry/coordinates.h"
#include "core/objects/effect.h"
#include "engine/applet/applet.h"
#include "engine/media/mesh_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "engine/scene/box.h"
#include "engine/scene/camera.h"
#include "engine/scene/grid.h"
#include "engine/scene/light.h"
#include "engine/scene/mesh.h"
#include "engine/scene/mirror.h"
#include "engine/scene/plane.h"
#include "engine/scene/rect.h"
#include "engine/scene/sprite.h"
#include "engine/script_engine.h"
#include "platform/device.h"
#include "platform/platform.h"
#include "tests/engine/media_world.h"
#include "tests/engine/test_dynamic_engine.h"

// Plays key frames of its owner's mesh as a mesh animation effect does.
class TestKeyAnimation : public Effect, public TMeshKeyAnimation {
  Q_OBJECT(TestKeyAnimation, Effect)

 public:
  const Effect& keyEffect() const override { return *this; }
  int32_t firstKey() const override { return 0; }
  int32_t lastKey() const override { return 3; }
  float keyTime() const override { return 1; }
};

const ClassInfo& TestKeyAnimation::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TestKeyAnimation>("TestKeyAnimation").build();
  return info;
}

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kLitGray = 0xFF969696u;  // the "default" material facing its light

// The built-in skin as the filter will read it: white, the cursor element green.
MediaMakers::PixmapRecipe Skin() {
  return {512, 512, [](int x, int y) { return x < 48 && y >= 453 ? kGreen : kWhite; }};
}

MediaMakers::PixmapRecipe Quadrants() {
  return {16, 16, [](int x, int y) { return y < 8 ? (x < 8 ? kRed : kGreen) : (x < 8 ? kBlue : kWhite); }};
}

// A 10 x 10 square in the x-z plane at x from -35 + 20 f for frame f (one
// frame for a still mesh), wound both ways so it shows from either side.
TMesh* Squares(TDevice& device, int frames) {
  struct Vertex {
    float x, y, z, u, v;
  };
  TMesh* mesh = device.CreateMesh(vfPT, 12, false, 0, false, frames > 1, frames);
  void* memory = nullptr;
  if (!mesh || !device.LockMeshVertex(mesh, 12, memory)) return mesh;
  auto* out = static_cast<Vertex*>(memory);
  for (int f = 0; f < frames; ++f) {
    const float l = -35.0f + 20.0f * static_cast<float>(f), r = l + 10;
    // All read the skin's white middle.
    const Vertex a{l, 0, -5, 0.5f, 0.25f}, b{r, 0, -5, 0.5f, 0.25f}, c{r, 0, 5, 0.5f, 0.25f}, d{l, 0, 5, 0.5f, 0.25f};
    const Vertex both[12] = {a, b, c, a, c, d, a, c, b, a, d, c};
    std::memcpy(out + 12 * f, both, sizeof both);
  }
  device.UnlockMeshVertex(mesh);
  mesh->boundBox = {MakeVector4F(-35, 0, -5, 1), MakeVector4F(35, 0, 5, 1)};
  return mesh;
}

// Where a world point lands in the window, as the device's view and
// projection say.
TPointF ScreenPoint(TDevice* device, const TVector4F& p) {
  const TMatrix4F m = device->ModelViewProj();
  float r[4];
  for (int j = 0; j < 4; ++j) r[j] = p.x * m(0, j) + p.y * m(1, j) + p.z * m(2, j) + m(3, j);
  return {(r[0] / r[3] + 1) / 2 * static_cast<float>(device->windowWidth()),
          (1 - r[1] / r[3]) / 2 * static_cast<float>(device->windowHeight())};
}

uint32_t At(const Frame& frame, const TPointF& p) {
  return frame.at(static_cast<int>(p.x), static_cast<int>(p.y));
}

// Two frames show the same picture: wherever the first is flat (a pixel and
// its eight neighbours alike), the second is within the tolerance. Edges may
// lie half a pixel apart on the two devices.
int ComparedAlike(const Frame& a, const Frame& b, int tolerance) {
  int compared = 0;
  for (int y = 1; y + 1 < a.height; ++y) {
    for (int x = 1; x + 1 < a.width; ++x) {
      bool flat = true;
      for (int dy = -1; dy <= 1 && flat; ++dy) {
        for (int dx = -1; dx <= 1 && flat; ++dx) flat = Near(a.at(x + dx, y + dy), a.at(x, y), tolerance);
      }
      if (!flat) continue;
      EXPECT_TRUE(Near(a.at(x, y), b.at(x, y), tolerance)) << x << "," << y << std::hex << " " << a.at(x, y)
                                                           << " " << b.at(x, y);
      ++compared;
    }
  }
  return compared;
}

// The camera sits 100 in front of the origin looking along +y, with +x to
// the right and +z up on the screen; the light shines along +y.
const char* const kCameraAndLight = R"(<Camera name="camera" kind="okSpace" position.y="-100" direction.y="-1" up.z="-1"/>
<Light name="sun" kind="okSpace" position.y="100"/>
)";

class Shapes : public ::testing::Test {
 protected:
  void SetUp() override {
    makers.pixmaps["defaultskin"] = Skin();
    makers.pixmaps["quad"] = Quadrants();
    makers.meshMakers["walker"] = [](TDevice& device) { return Squares(device, 4); };
    makers.meshMakers["rock"] = [](TDevice& device) { return Squares(device, 1); };
  }
  void TearDown() override {
    world.reset();
    SetDynamicEngineClass(nullptr);
  }
  Applet* load(const std::string& children, const std::string& attributes = "") {
    world.reset();  // one log capture at a time
    world = std::make_unique<AppletWorld>(
        AppletText(R"(width="128" height="96" title="Shapes" )" + attributes, children));
    return world->applet;
  }
  template <typename T = PositionObject>
  T* find(const char16_t* name) {
    return dynamic_cast<T*>(world->applet->findByName(name));
  }
  // A ticked frame (the cursor follows the rules of a real frame), read back.
  Frame frame() {
    world->applet->requestRedraw();
    world->applet->tick(world->applet->time() + 0.02, 0.02);
    return RenderFrame(world->applet);
  }
  TPointF screen(float x, float y, float z) { return ScreenPoint(world->applet->device(), MakeVector4F(x, y, z, 1)); }

  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
};

TEST_F(Shapes, ALitBoxAPlaneAndASpriteShowWhereTheCameraPutsThemAlikeOnBothDevices) {
  const std::string scene = std::string(kCameraAndLight) +
                            R"(<Box name="box" kind="okSpace" position.x="-20" position.z="10" width="16" height="16" depth="16"/>
<Plane name="plane" kind="okSpace" material="gui" position.x="20" position.z="10" width="20" height="20" direction.y="0" direction.z="-1" up.y="1" up.z="0" pixmap.fileName="quad.png"/>
<Sphere name="ball" kind="okSpace" position.z="-15" radius="8"/>
<Sprite name="sprite" position.x="110" position.y="80" width="20" height="20" pixmap.fileName="quad.png"/>
)";
  Frame frames[2];
  for (int device = 0; device < 2; ++device) {
    Applet* applet = load(scene, device == 0 ? R"(lighting="True" deviceName="dx8")" : R"(lighting="True" deviceName="ogl")");
    ASSERT_NE(applet, nullptr);
    ASSERT_EQ(applet->device()->DeviceName(), device == 0 ? u"dx8" : u"ogl");
    Frame& f = frames[device];
    f = frame();
    ASSERT_FALSE(f.pixels.empty());
    // The box's face towards the camera and its light, and beside it nothing.
    EXPECT_TRUE(Near(At(f, screen(-20, -8, 10)), kLitGray, 2)) << std::hex << At(f, screen(-20, -8, 10));
    EXPECT_TRUE(Near(At(f, screen(-8, -8, 10)), kBlack));
    // The plane's pixmap upright: red top left, white bottom right.
    EXPECT_TRUE(Near(At(f, screen(15, 0, 15)), kRed)) << std::hex << At(f, screen(15, 0, 15));
    EXPECT_TRUE(Near(At(f, screen(25, 0, 15)), kGreen));
    EXPECT_TRUE(Near(At(f, screen(15, 0, 5)), kBlue));
    EXPECT_TRUE(Near(At(f, screen(25, 0, 5)), kWhite));
    // The sprite in screen units; the sphere draws nothing but is picked.
    EXPECT_TRUE(Near(f.at(105, 75), kRed));
    EXPECT_TRUE(Near(f.at(115, 85), kWhite));
    const TPointF ball = screen(0, 0, -15);
    EXPECT_TRUE(Near(At(f, ball), kBlack));
    EXPECT_EQ(applet->objectAt(ball.x, ball.y), find(u"ball"));
    EXPECT_EQ(applet->objectAt(ball.x + 15, ball.y), nullptr);
  }
  EXPECT_GT(ComparedAlike(frames[0], frames[1], 2), 8000);

  // The camera moves 10 to the right: the box moves left on the screen, as
  // the new view says.
  Applet* applet = world->applet;
  const TPointF before = screen(-14, -8, 10);
  find(u"camera")->setX(10);
  const TPointF after = screen(-14, -8, 10);
  EXPECT_LT(after.x, before.x - 5);
  Frame moved = frame();
  EXPECT_TRUE(Near(At(moved, after), kLitGray, 2));
  EXPECT_TRUE(Near(At(moved, before), kBlack)) << "the box's right edge has left this place";

  // Switching the light off darkens the box at once; on again, it shines
  // from its next move.
  find<Light>(u"sun")->setEnabled(false);
  EXPECT_TRUE(Near(At(frame(), after), kBlack));
  find<Light>(u"sun")->setEnabled(true);
  find(u"sun")->setZ(1);
  EXPECT_TRUE(Near(At(frame(), after), kLitGray, 3));

  // Of two cameras the last one moved gives the view.
  auto* second = New<Camera>(applet);
  second->setKind(okSpace);
  second->position()->setXYZ(0, 50, 0);
  EXPECT_EQ(applet->device()->windowParts().camera.eye, MakeVector4F(0, 50, 0, 1));
  find(u"camera")->setX(0);
  EXPECT_EQ(applet->device()->windowParts().camera.eye, MakeVector4F(0, -100, 0, 1));
}

TEST_F(Shapes, TheEighthLightIsDisabledAndAFreedLightsEntryIsTakenAgain) {
  std::string lights;
  for (int i = 1; i <= 8; ++i) lights += "<Light name=\"l" + std::to_string(i) + "\" kind=\"okSpace\"/>\r\n";
  Applet* applet = load("<Dummy name=\"level\">\r\n" + lights + "</Dummy>\r\n");
  ASSERT_NE(applet, nullptr);
  const char16_t* names[] = {u"l1", u"l2", u"l3", u"l4", u"l5", u"l6", u"l7", u"l8"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(find<Light>(names[i])->enabled());
    EXPECT_EQ(find<Light>(names[i])->lightIndex(), i + 1);
  }
  EXPECT_FALSE(find<Light>(u"l8")->enabled());
  EXPECT_EQ(find<Light>(u"l8")->lightIndex(), -1);
  EXPECT_EQ(world->log.count("(i) Light disabled. Only 7 light source supported"), 1);

  // A freed light goes dark; the next light made takes its entry.
  const TLightTable& table = applet->device()->windowParts().lights;
  ASSERT_TRUE(table.entries[3].enabled);
  find(u"l3")->Free();
  EXPECT_FALSE(table.entries[3].enabled);
  auto* again = New<Light>(applet);
  EXPECT_EQ(again->lightIndex(), 3);
  EXPECT_TRUE(again->enabled());

  // A level made anew after the old one is freed gets all its lights.
  find(u"level")->Free();
  again->Free();
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(New<Light>(applet)->enabled()) << i;
  EXPECT_EQ(world->log.count("(i) Light disabled. Only 7 light source supported"), 1);
}

TEST_F(Shapes, AMirrorDrawsItsObjectReflectedInItsPlane) {
  for (const char* device : {"dx8", "ogl"}) {
    Applet* applet = load(std::string(kCameraAndLight) +
                              R"(<Box name="box" kind="okSpace" material="gui" position.x="20" position.z="20" width="10" height="10" depth="10"/>
<Mirror name="mirror" kind="okSpace" mirrorObject="box"/>
)",
                          std::string("deviceName=\"") + device + "\"");
    ASSERT_NE(applet, nullptr);
    auto* mirror = find<Mirror>(u"mirror");
    ASSERT_EQ(mirror->mirrorObject(), find(u"box"));
    EXPECT_FALSE(mirror->mirrored());
    const TPointF image = screen(20, -5, -20);  // below the floor through the mirror
    Frame f = frame();
    EXPECT_TRUE(Near(At(f, screen(20, -5, 20)), kWhite)) << device;
    EXPECT_TRUE(Near(At(f, image), kWhite)) << device << std::hex << " " << At(f, image);
    // Without its object, or once the object is freed, the mirror shows nothing.
    mirror->setMirrorObject(nullptr);
    EXPECT_TRUE(Near(At(frame(), image), kBlack));
    mirror->setMirrorObject(find(u"box"));
    find(u"box")->Free();
    EXPECT_EQ(mirror->mirrorObject(), nullptr);
    EXPECT_TRUE(Near(At(frame(), image), kBlack));
  }
}

TEST_F(Shapes, CullingKeepsEveryShapeThatReachesIntoTheScreen) {
  Applet* applet = load(std::string(kCameraAndLight) +
                        R"(<Rect name="edge" position.x="-3" position.y="50" width="20" height="10"/>
<Box name="scaled" kind="okSpace" material="gui" position.x="42" scale.x="10" scale.y="10" scale.z="10"/>
<Box name="turned" kind="okSpace" material="gui" position.x="-50" width="20" height="20" depth="20" zAngle="45"/>
<Box name="away" kind="okSpace" position.x="90"/>
<Grid name="lines" position.x="-29.5" position.y="70.5" min.x="0" min.y="-10" max.x="40" max.y="10" step.x="10" step.y="10"/>
)",
                        R"(boundsCulling="True")");
  ASSERT_NE(applet, nullptr);
  Frame f = frame();
  // Half the rect is on the screen though its centre is not.
  EXPECT_TRUE(find(u"edge")->passesCulling());
  EXPECT_FALSE(Near(f.at(2, 50), kBlack));
  // The scaled box reaches over the right edge; the turned one's corner over the left.
  for (const char16_t* name : {u"scaled", u"turned"}) EXPECT_TRUE(find(name)->passesCulling()) << WideToUtf8(name);
  EXPECT_TRUE(Near(f.at(126, static_cast<int>(screen(42, 0, 0).y)), kWhite)) << std::hex << f.at(126, 48);
  EXPECT_TRUE(Near(f.at(1, static_cast<int>(screen(-50, 0, 0).y)), kWhite)) << std::hex << f.at(1, 48);
  EXPECT_FALSE(find(u"away")->passesCulling());
  // The grid's lines from its left part off the screen to 10 on it.
  EXPECT_TRUE(find(u"lines")->passesCulling());
  for (auto [x, y] : {std::pair{5, 70}, {0, 60}, {10, 75}}) EXPECT_FALSE(Near(f.at(x, y), kBlack)) << x << "," << y;
  for (auto [x, y] : {std::pair{5, 65}, {15, 70}}) EXPECT_TRUE(Near(f.at(x, y), kBlack)) << x << "," << y;
}

TEST_F(Shapes, AMeshDrawsItsStillMeshItsKeyFrameOrTheFrameItsAnimationShows) {
  SetDynamicEngineClass(&TTestEngine::staticClassInfo());
  Applet* applet = load(std::string(kCameraAndLight) +
                        R"(<Mesh name="rock" kind="okSpace" material="gui" mesh.fileName="rock.mesh"/>
<Mesh name="walker" kind="okSpace" material="gui" position.z="20" mesh.fileName="walker.mesh" collisable="True"/>
<Mesh name="bare" kind="okSpace" collisable="True"/>
)");
  ASSERT_NE(applet, nullptr);
  // Which of the four squares of the walker (20 above) show, and the rock's.
  auto shown = [&](const Frame& f) {
    std::string squares;
    for (int i = 0; i < 4; ++i) {
      squares += Near(At(f, screen(-30.0f + 20.0f * static_cast<float>(i), 0, 20)), kWhite) ? '#' : '.';
    }
    return squares;
  };
  Frame f = frame();
  EXPECT_TRUE(Near(At(f, screen(-30, 0, 0)), kWhite)) << "the still mesh";
  EXPECT_EQ(shown(f), "#...") << "the walker's first frame";
  auto* walker = find<Mesh>(u"walker");
  walker->mesh()->setKey(2);
  EXPECT_EQ(shown(frame()), "..#.");
  walker->mesh()->setKey(3);
  EXPECT_EQ(shown(frame()), "...#");
  walker->mesh()->setKey(0);

  // An attached animation shows the frame of its time; finished, its last.
  auto* animation = New<TestKeyAnimation>(walker);
  animation->setRunningTime(3);
  walker->mesh()->setAnimation(animation);
  animation->setRunning(true);
  animation->tick(1, 1);
  ASSERT_FLOAT_EQ(animation->elapsed(), 1);
  EXPECT_EQ(shown(frame()), ".#..");
  for (int i = 2; i <= 4; ++i) animation->tick(i, 1);
  ASSERT_FALSE(animation->running());
  EXPECT_EQ(shown(frame()), "...#");
  walker->mesh()->setAnimation(nullptr);

  // Bodies: the box around the mesh, through its origin; none without a mesh.
  for (const char16_t* name : {u"walker", u"bare"}) find(name)->spawn();
  TTestEngine* engine = TTestEngine::made;
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(engine->bodySizes.count(u"bare"), 0u);
  EXPECT_EQ(engine->bodySizes[u"walker"].first, "Box");
  ExpectSize(engine->bodySizes[u"walker"].second, 70, 0, 10);
  ExpectSize(walker->bounds()->vector(), 70, 0, 10);
}

TEST_F(Shapes, ShapesAskForBodiesOfTheirOwnKindAndSize) {
  SetDynamicEngineClass(&TTestEngine::staticClassInfo());
  Applet* applet = load(R"(<Box name="box" kind="okSpace" dynamic="True" width="2" height="3" depth="4"/>
<Sphere name="sphere" kind="okSpace" dynamic="True" radius="2"/>
<Cylinder name="cylinder" kind="okSpace" collisable="True" radius="1" height="5"/>
<Cone name="cone" kind="okSpace" collisable="True" radius="1.5" height="6"/>
)");
  ASSERT_NE(applet, nullptr);
  for (const char16_t* name : {u"box", u"sphere", u"cylinder", u"cone"}) find(name)->spawn();
  TTestEngine* engine = TTestEngine::made;
  ASSERT_NE(engine, nullptr);
  const struct {
    const char16_t* name;
    const char* shape;
    float x, y, z;
  } expected[] = {{u"box", "Box", 2, 3, 4}, {u"sphere", "Sphere", 2, 2, 2}, {u"cylinder", "Cylinder", 1, 1, 5},
                  {u"cone", "Cone", 1.5f, 1.5f, 6}};
  for (const auto& e : expected) {
    EXPECT_EQ(engine->bodySizes[e.name].first, e.shape);
    ExpectSize(engine->bodySizes[e.name].second, e.x, e.y, e.z);
    EXPECT_NE(find(e.name)->body(), 0);
  }
  find(u"cone")->unspawn();
  EXPECT_EQ(engine->calls.back(), "RemoveBody cone");
  EXPECT_EQ(find(u"cone")->body(), 0);
}

TEST_F(Shapes, TheDefaultCursorIsASpriteOfTheSkinsCursorElementDrawnInTheTopLayer) {
  Applet* applet = load(R"(<Rect name="under" position.x="100" position.y="20" width="20" height="20"/>)",
                        R"(cursorSystem="False")");
  ASSERT_NE(applet, nullptr);
  auto* cursor = dynamic_cast<PositionObject*>(applet->cursorObject());
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->getParent(), applet->topLayer());
  ASSERT_EQ(cursor->count(), 1);
  auto* arrow = dynamic_cast<Sprite*>(cursor->childAt(0));
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(arrow->pixmap()->objectName(), u"cursor");
  EXPECT_EQ(arrow->material(), u"gui");
  EXPECT_EQ(arrow->position()->vector(), MakeVector4F(8, 18, 0, 1));
  EXPECT_FLOAT_EQ(arrow->width(), 48);
  EXPECT_FLOAT_EQ(arrow->height(), 59);

  // The cursor follows the mouse: the arrow's picture centred 8 right and 18
  // below the mouse point.
  POINT pointer;
  GetCursorPos(&pointer);
  const TPointF client = applet->platform()->curMousePos(applet->window());
  SetCursorPos(pointer.x + 40 - static_cast<int>(client.x), pointer.y + 30 - static_cast<int>(client.y));
  Frame f = frame();
  const TPointF mouse = applet->platform()->curMousePos(applet->window());
  EXPECT_EQ(cursor->position()->vector(), MakeVector4F(mouse.x, mouse.y, 0, 1));
  EXPECT_TRUE(Near(f.at(static_cast<int>(mouse.x) + 8, static_cast<int>(mouse.y) + 18), kGreen));
  EXPECT_TRUE(Near(f.at(static_cast<int>(mouse.x) + 34, static_cast<int>(mouse.y) + 18), kBlack));

  // What the top layer holds is drawn over the scene.
  auto* over = New<Rect>(applet->topLayer());
  over->setMaterial(u"default");
  over->position()->setXYZ(100, 20, 0);
  f = frame();
  EXPECT_TRUE(Near(f.at(100, 20), kLitGray)) << std::hex << f.at(100, 20);

  // With the system's cursor the sprite is hidden.
  applet->setCursorSystem(true);
  EXPECT_TRUE(Near(frame().at(static_cast<int>(mouse.x) + 8, static_cast<int>(mouse.y) + 18), kBlack));
}

TEST_F(Shapes, ShapesKeepWhatIsSetInThemThroughAnObjectFile) {
  Applet* applet = load(R"(<PositionObject name="holder" kind="okSpace">
  <Box name="box" kind="okSpace" width="2.5"/>
  <Light name="lamp" kind="okSpace" diffuse="#FF102030"/>
  <Mirror name="mirror" kind="okSpace" mirrorObject="box" width="4"/>
  <Grid name="grid" kind="okSpace" step.x="0.5" min.y="-2"/>
  <Plane name="plane" kind="okSpace" height="3" pixmap.fileName="quad.png"/>
  <Camera name="eye" kind="okSpace" enabled="False"/>
</PositionObject>
)");
  ASSERT_NE(applet, nullptr);
  applet->storeObject(applet->findByName(u"holder"), u"stored.qxml");
  const std::string text = world->game.read("stored.qxml");
  for (const char* written : {"width=\"2.5", "diffuse=\"#FF102030\"", "mirrorObject=\"box\"", "step.x=\"0.5",
                              "min.y=\"-2", "pixmap.fileName=\"quad.png\"", "enabled=\"False\""}) {
    EXPECT_NE(text.find(written), std::string::npos) << written << "\n" << text;
  }
  // Values the shapes start with are left out.
  for (const char* omitted : {"zTest", "mirrored", "ambient", "max.x", "radius", "depth"}) {
    EXPECT_EQ(text.find(omitted), std::string::npos) << omitted << "\n" << text;
  }

  applet->findByName(u"holder")->Free();  // so that "box" names the copy's box
  auto* copy = dynamic_cast<BaseObject*>(applet->newFromFile(u"stored.qxml", applet));
  ASSERT_NE(copy, nullptr);
  auto* box = dynamic_cast<Box*>(copy->findByName(u"box"));
  auto* mirror = dynamic_cast<Mirror*>(copy->findByName(u"mirror"));
  auto* grid = dynamic_cast<Grid*>(copy->findByName(u"grid"));
  ASSERT_TRUE(box && mirror && grid);
  EXPECT_FLOAT_EQ(box->width(), 2.5f);
  EXPECT_TRUE(box->zTest());
  EXPECT_EQ(mirror->mirrorObject(), box);
  EXPECT_FLOAT_EQ(grid->step()->x(), 0.5f);
  EXPECT_FLOAT_EQ(grid->max()->x(), 10);
  EXPECT_EQ(dynamic_cast<Light*>(copy->findByName(u"lamp"))->diffuse(), 0xFF102030u);
  EXPECT_FALSE(dynamic_cast<Camera*>(copy->findByName(u"eye"))->enabled());
  EXPECT_EQ(dynamic_cast<Plane*>(copy->findByName(u"plane"))->pixmap()->fileName(), u"quad.png");
  // Scripts see the same properties: colours as text, sizes as numbers.
  applet->scriptEngine()->evaluate(u"lamp.ambient = '#FF0000FF'; box.depth = 7;");
  EXPECT_EQ(dynamic_cast<Light*>(copy->findByName(u"lamp"))->ambient(), 0xFF0000FFu);
  EXPECT_FLOAT_EQ(box->depth(), 7);
}

}  // namespace
