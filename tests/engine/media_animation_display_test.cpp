// Effects that animate what their owner draws, in a real applet: cells of a
// pixmap sheet, a scrolling pixmap offset and the key frames of a mesh, each
// found through its owner's published pixmap or mesh.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "engine/effects/mesh_animation_effect.h"
#include "engine/effects/pixmap_animation_effect.h"
#include "engine/media/mesh_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "engine/scene/mesh.h"
#include "engine/scene/sprite.h"
#include "tests/engine/media_world.h"

namespace {
const char* const kScene = R"(<Sprite name="sheet" pixmap.fileName="sheet.png">
  <PixmapAnimationEffect name="cells" width="64" height="64" keyPerSecond="10" loop="True"/>
</Sprite>
<Sprite name="strip" pixmap.fileName="strip.png">
  <PixmapOffsetAnimationEffect name="scroll" offsetx="32" loop="True"/>
</Sprite>
<Mesh name="walker" mesh.fileName="walker.mesh">
  <MeshAnimationEffect name="walk" key1="1" key2="3" keyTime="0.25" running="True"/>
  <MeshAnimationEffect name="run" key2="2"/>
</Mesh>
)";

class MediaAnimation : public ::testing::Test {
 protected:
  MediaAnimation() {
    makers.pixmaps["sheet"] = {256, 128, [](int, int) { return kWhite; }};
    makers.pixmaps["strip"] = {64, 64, [](int, int) { return kWhite; }};
    makers.meshes["walker"] = 4;
    world = std::make_unique<AppletWorld>(AppletText(R"(width="64" height="48" title="Animation")", kScene));
  }
  template <class T>
  T* find(const char16_t* name) {
    return dynamic_cast<T*>(world->applet->findByName(name));
  }
  // Runs the effect from its start for `seconds`, then applies once more at that time.
  static void runFor(Effect* effect, double seconds) {
    effect->setRunning(false);
    effect->setRunning(true);
    effect->tick(0, seconds);
    effect->tick(0, 0);
  }

  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
};

TEST_F(MediaAnimation, ASheetShowsItsCellsLeftToRightThenTopToBottom) {
  auto* cells = find<PixmapAnimationEffect>(u"cells");
  ASSERT_NE(cells, nullptr);
  TPixmapPersistent* pixmap = find<Sprite>(u"sheet")->pixmap();
  ASSERT_EQ(cells->target(), pixmap);
  EXPECT_FLOAT_EQ(cells->keyTime(), 0.1f);
  struct Case {
    double time;
    TRectF cell;
  };
  const Case cases[] = {
      {0, {0, 0, 64, 64}},
      {0.35, {192, 0, 256, 64}},
      {0.55, {64, 64, 128, 128}},  // cell 5: second row, second column
      {0.79, {192, 64, 256, 128}},
  };
  for (const Case& c : cases) {
    runFor(cells, c.time);
    const TRectF r = pixmap->rect()->getRect();
    EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}),
              (std::array{c.cell.left, c.cell.top, c.cell.right, c.cell.bottom}))
        << c.time;
  }
  EXPECT_FLOAT_EQ(cells->runningTime(), 0.8f);
  cells->setRunning(false);
  cells->apply(0, 0);
  EXPECT_FLOAT_EQ(pixmap->rect()->right(), 64);  // stopped: the first cell

  // No grid of whole cells leaves the rectangle; rates have no infinity.
  cells->setWidth(512);
  runFor(cells, 0.55);
  EXPECT_FLOAT_EQ(pixmap->rect()->right(), 64);
  cells->setKeyPerSecond(20);
  EXPECT_FLOAT_EQ(cells->keyTime(), 0.05f);
  cells->setKeyPerSecond(0);
  EXPECT_EQ(cells->keyTime(), 0);
  EXPECT_EQ(cells->keyPerSecond(), 0);
}

// Frames of the running game: a sheet shows its first cell before it ever
// ran, its cells while it runs, and the first cell again once it stopped.
TEST_F(MediaAnimation, ASheetThatIsNotRunningShowsItsFirstCell) {
  auto* cells = find<PixmapAnimationEffect>(u"cells");
  ASSERT_NE(cells, nullptr);
  TPixmapPersistent* pixmap = find<Sprite>(u"sheet")->pixmap();
  auto cell = [&] {
    const TRectF r = pixmap->rect()->getRect();
    return std::array{r.left, r.top, r.right, r.bottom};
  };
  const std::array<float, 4> first{0, 0, 64, 64};
  EXPECT_EQ(cell(), first);  // never started
  cells->setLoop(false);
  cells->setRunning(true);
  std::vector<std::array<float, 4>> shown;
  for (uint32_t ms = 50; ms <= 1200; ms += 50) {
    world->setAppletClock(ms);
    world->applet->runStep();
    if (ms == 600) shown.push_back(cell());
  }
  EXPECT_FALSE(cells->running());
  EXPECT_EQ(shown, (std::vector<std::array<float, 4>>{{64, 64, 128, 128}}));  // cell 5 at about 0.55 s
  EXPECT_EQ(cell(), first);  // stopped
}

TEST_F(MediaAnimation, AnOffsetScrollsAtItsSpeedWithinThePixmap) {
  auto* scroll = find<PixmapOffsetAnimationEffect>(u"scroll");
  ASSERT_NE(scroll, nullptr);
  TPixmapPersistent* pixmap = find<Sprite>(u"strip")->pixmap();
  runFor(scroll, 2.5);
  EXPECT_FLOAT_EQ(pixmap->offset()->x(), 16);
  EXPECT_FLOAT_EQ(pixmap->offset()->y(), 0);
  // Moved to another owner it forgets the pixmap, which stays as it was.
  scroll->moveTo(find<Sprite>(u"sheet"));
  runFor(scroll, 1);
  EXPECT_EQ(scroll->target(), nullptr);
  EXPECT_FLOAT_EQ(pixmap->offset()->x(), 16);
}

TEST_F(MediaAnimation, AMeshEffectHoldsTheMeshLinkOnlyWhileItIsItsOwn) {
  auto* walker = find<Mesh>(u"walker");
  auto* walk = find<MeshAnimationEffect>(u"walk");
  auto* run = find<MeshAnimationEffect>(u"run");
  ASSERT_NE(walker, nullptr);
  TMeshPersistent* mesh = walker->mesh();
  ASSERT_EQ(walk->target(), mesh);
  EXPECT_EQ(mesh->animation(), walk);  // running after loading: attached
  EXPECT_FLOAT_EQ(walk->runningTime(), 0.5f);
  run->setRunning(true);
  EXPECT_EQ(mesh->animation(), run);
  walk->Free();
  EXPECT_EQ(mesh->animation(), run);  // not the freed effect's link
  // Leaving its mesh takes the link back; the mesh may then go first.
  run->moveTo(world->applet);
  EXPECT_EQ(mesh->animation(), nullptr);
  walker->Free();
  run->setRunning(true);
  run->Free();
}
}  // namespace
