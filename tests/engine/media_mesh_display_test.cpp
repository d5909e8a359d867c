// Mesh persistents in a real applet: the manager a file name goes through,
// the frame key kept within the mesh's frames, and the change callback.
#include <gtest/gtest.h>

#include "core/objects/engine.h"
#include "core/resources/ext_resource_man.h"
#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "engine/cache/cache_list.h"
#include "engine/media/mesh_persistent.h"
#include "platform/mesh.h"
#include "tests/engine/media_world.h"

namespace {

class MediaMesh : public ::testing::Test {
 protected:
  void SetUp() override {
    makers.meshes["walker"] = 10;
    makers.meshes["rock"] = 1;
    world = std::make_unique<AppletWorld>(AppletText(R"(width="64" height="48" title="Meshes")"));
  }
  TMeshPersistent* mesh() {
    meshes.emplace_back(New<TMeshPersistent>(world->applet));
    return meshes.back().get();
  }
  void TearDown() override { meshes.clear(); }
  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
  std::vector<std::unique_ptr<TMeshPersistent, FreeDeleter>> meshes;
};

TEST_F(MediaMesh, TheKeyStaysWithinTheFramesOfTheMesh) {
  ASSERT_NE(world->applet, nullptr);
  TMeshPersistent* walker = mesh();
  walker->setKey(99);
  EXPECT_EQ(walker->key(), 0) << "no mesh: no frames";
  EXPECT_TRUE(walker->empty());
  EXPECT_FALSE(walker->animated());

  walker->setFileName(u"walker.mesh");
  ASSERT_NE(walker->getMesh(), nullptr);
  EXPECT_FALSE(walker->empty());
  EXPECT_TRUE(walker->animated());
  EXPECT_EQ(walker->keyCount(), 9);
  walker->setKey(99);
  EXPECT_EQ(walker->key(), 9);
  walker->setKey(4);
  EXPECT_EQ(walker->key(), 4);
  walker->setKey(-3);
  EXPECT_EQ(walker->key(), 0);

  TMeshPersistent* rock = mesh();
  rock->setFileName(u"rock.mesh");
  EXPECT_FALSE(rock->animated());
  EXPECT_EQ(rock->keyCount(), 0);
}

TEST_F(MediaMesh, NamesGoThroughTheExternalOrTheAppletsManagerAndTellTheHolder) {
  Applet* applet = world->applet;
  ASSERT_NE(applet, nullptr);
  TMeshPersistent* walker = mesh();
  int changes = 0;
  walker->setOnChange([&](TMeshPersistent* changed) {
    EXPECT_EQ(changed, walker);
    ++changes;
  });
  walker->setFileName(u"d:\\models\\walker.mesh");
  walker->setFileName(u"walker.mesh");
  walker->setFileName(u"walker.mesh");  // the same text: nothing happens
  ASSERT_EQ(makers.meshRequests.size(), 2u);
  EXPECT_EQ(makers.meshRequests[0].manager,
            static_cast<TResourceMan*>(world->engine->externalResourceManager()));
  EXPECT_EQ(makers.meshRequests[1].manager, applet->resourceManager());
  EXPECT_EQ(changes, 2);

  // Two users share one mesh; the last one gives it back.
  TMeshPersistent* second = mesh();
  second->setFileName(u"walker.mesh");
  TMesh* shared = walker->getMesh();
  EXPECT_EQ(second->getMesh(), shared);
  const TCacheList& cached = applet->cache()->meshes();
  EXPECT_EQ(cached.useCountOf(shared), 2);
  walker->setFileName(u"");
  EXPECT_EQ(cached.useCountOf(shared), 1);
  meshes.clear();
  EXPECT_LT(cached.indexOfResource(shared), 0);
}

}  // namespace
