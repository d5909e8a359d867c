// The resource cache over real folder managers, with creators that read the
// named files and make real small objects, recording every call.
#include "engine/cache/cache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/objects/item.h"
#include "core/objects/wide_strings.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "engine/cache/cache_keys.h"
#include "platform/font.h"
#include "platform/mesh.h"
#include "platform/pixmap.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

template <typename T>
using Owned = std::unique_ptr<T, FreeDeleter>;

// Sounds, music and compiled scripts belong to engines that the cache only
// names; the cache passes their pointers back untouched, so a plain record
// stands in for each.
struct FakeMedia {
  std::string name;
};

std::string Utf8(const WideString& text) { return WideToUtf8(text); }

// Makes what the named file holds: a pixmap as wide as the file's bytes, a
// mesh with as many vertices; nil when the manager has no such file.
class RecordingCreators : public TCacheCreators {
 public:
  ~RecordingCreators() override {
    // What the cache dropped while other users still held it stays theirs;
    // here the test is the last holder.
    for (auto& [object, name] : objects) object->Free();
    for (auto& [media, name] : media) delete media;
  }

  TFont* createFont(const WideString& family, float size, int32_t style) override {
    calls.push_back("make font " + Utf8(family));
    TFont* font = New<TFont>();
    font->family = Utf8(family);
    font->size = size;
    font->style = style;
    objects[font] = font->family;
    return font;
  }
  void destroyFont(TFont* font) override { destroy("font", font); }

  TPixmap* createPixmap(TResourceMan* manager, const WideString& name) override {
    calls.push_back("make pixmap " + Utf8(name));
    int64_t bytes = fileSize(manager, name);
    if (bytes < 0) return nullptr;
    TPixmap* pixmap = New<TPixmap>();
    pixmap->setSize(static_cast<int32_t>(bytes), 1);
    objects[pixmap] = Utf8(name);
    return pixmap;
  }
  void destroyPixmap(TPixmap* pixmap) override { destroy("pixmap", pixmap); }

  TMesh* createMesh(TResourceMan* manager, const WideString& name) override {
    calls.push_back("make mesh " + Utf8(name));
    int64_t bytes = fileSize(manager, name);
    if (bytes < 0) return nullptr;
    TMesh* mesh = New<TMesh>();
    mesh->vertexCount = static_cast<int32_t>(bytes);
    objects[mesh] = Utf8(name);
    return mesh;
  }
  void destroyMesh(TMesh* mesh) override { destroy("mesh", mesh); }

  bool soundEngineClassRegistered() override { return soundClassRegistered; }
  bool hasSoundEngine() override { return soundEngine; }
  void createSoundEngine() override {
    calls.push_back("make sound engine");
    soundEngine = true;
  }
  TSound* createSound(TResourceMan* manager, const WideString& name) override {
    return reinterpret_cast<TSound*>(makeMedia("sound", manager, name));
  }
  void destroySound(TSound* sound) override { destroyMedia("sound", reinterpret_cast<FakeMedia*>(sound)); }
  TMusic* createMusic(TResourceMan* manager, const WideString& name) override {
    return reinterpret_cast<TMusic*>(makeMedia("music", manager, name));
  }
  void destroyMusic(TMusic* music) override { destroyMedia("music", reinterpret_cast<FakeMedia*>(music)); }
  TScript* createScript(TResourceMan* manager, const WideString& name) override {
    return reinterpret_cast<TScript*>(makeMedia("script", manager, name));
  }
  void freeScript(TScript* script) override { destroyMedia("script", reinterpret_cast<FakeMedia*>(script)); }

  std::vector<std::string> calls;
  bool soundClassRegistered = true;
  bool soundEngine = false;

 private:
  static int64_t fileSize(TResourceMan* manager, const WideString& name) {
    Owned<TStream> stream(manager ? manager->createStream(name, fmOpenRead) : nullptr);
    return stream ? stream->Size() : -1;
  }
  void destroy(const std::string& kind, TObject* object) {
    record("destroy " + kind + " " + objects[object]);
    objects.erase(object);
    object->Free();
  }
  FakeMedia* makeMedia(const std::string& kind, TResourceMan* manager, const WideString& name) {
    calls.push_back("make " + kind + " " + Utf8(name));
    if (fileSize(manager, name) < 0) return nullptr;
    FakeMedia* made = new FakeMedia{Utf8(name)};
    media[made] = kind;
    return made;
  }
  void destroyMedia(const std::string& kind, FakeMedia* made) {
    record("destroy " + kind + " " + made->name);
    media.erase(made);
    delete made;
  }

  // Destructions also go to the log when asked, to show where they fall among
  // the cache's own lines.
  void record(const std::string& call) {
    calls.push_back(call);
    if (echoToLog) LogInfo(Utf8ToWide(call));
  }

  std::map<TObject*, std::string> objects;
  std::map<FakeMedia*, std::string> media;

 public:
  bool echoToLog = false;
};

class CacheTest : public ::testing::Test {
 protected:
  CacheTest() {
    first.write("a.png", "12345");
    first.write("m.3ds", "123");
    first.write("boom.wav", "1");
    first.write("theme.ogg", "12");
    first.write("logic.js", "1");
    second.write("a.png", "1234567");
    firstMan.reset(New<TFolderResourceMan>());
    firstMan->setRoot(first.path());
    secondMan.reset(New<TFolderResourceMan>());
    secondMan->setRoot(second.path());
    applet.reset(New<Item>());
    cache = New<TCache>(applet.get());
    cache->setCreators(&creators);
  }

  // Frees the cache alone and answers the lines it logged on the way.
  std::vector<std::string> freeCache() {
    LogCapture log;
    FreeAndNil(cache);
    return log.messages();
  }

  TempDir first, second;
  RecordingCreators creators;  // outlives the cache, as the applet's parts do
  Owned<TFolderResourceMan> firstMan, secondMan;
  Owned<Item> applet;
  TCache* cache = nullptr;
};

TEST_F(CacheTest, OneCreationPerNameAndDestructionWithTheLastUser) {
  TPixmap* a = cache->getPixmap(firstMan.get(), u"a.png");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->width(), 5);
  // The extension is not part of the key: the converted copy is the same pixmap.
  EXPECT_EQ(cache->getPixmap(firstMan.get(), u"A.pixmap"), a);
  EXPECT_EQ(cache->pixmaps().useCountOf(a), 2);
  EXPECT_EQ(creators.calls, std::vector<std::string>{"make pixmap a.png"});

  cache->releasePixmap(a);
  EXPECT_EQ(cache->pixmaps().useCountOf(a), 1);
  EXPECT_EQ(creators.calls.size(), 1u);
  cache->releasePixmap(a);
  EXPECT_EQ(creators.calls.back(), "destroy pixmap a.png");
  EXPECT_EQ(cache->pixmaps().count(), 0);

  // Nil and objects the cache does not hold are ignored.
  Owned<TPixmap> stranger(New<TPixmap>());
  cache->releasePixmap(nullptr);
  cache->releasePixmap(stranger.get());
  EXPECT_EQ(creators.calls.size(), 2u);
}

TEST_F(CacheTest, SameNameThroughTwoManagersIsTwoEntries) {
  TPixmap* fromFirst = cache->getPixmap(firstMan.get(), u"a.png");
  TPixmap* fromSecond = cache->getPixmap(secondMan.get(), u"a.png");
  ASSERT_NE(fromFirst, nullptr);
  ASSERT_NE(fromSecond, nullptr);
  EXPECT_NE(fromFirst, fromSecond);
  EXPECT_EQ(fromFirst->width(), 5);
  EXPECT_EQ(fromSecond->width(), 7);
  cache->releasePixmap(fromSecond);
  EXPECT_EQ(cache->pixmaps().useCountOf(fromFirst), 1);
  EXPECT_EQ(cache->getPixmap(firstMan.get(), u"a.png"), fromFirst);

  TMemoryStream text(std::vector<uint8_t>{'x'});
  cache->putStream(firstMan.get(), u"level.qxml", &text);
  EXPECT_EQ(cache->getStream(secondMan.get(), u"level.qxml"), nullptr);
  EXPECT_NE(cache->getStream(firstMan.get(), u"LEVEL.qxml"), nullptr);
}

TEST_F(CacheTest, FontKeysKeepFamilyAndSizeApart) {
  EXPECT_EQ(Utf8(FontCacheKey(u"arial", 1, 10.7f)), "arial|10|bold");
  EXPECT_EQ(Utf8(FontCacheKey(u"a", 3, -0.5f)), "a|0|bolditalic");
  EXPECT_EQ(Utf8(FontCacheKey(u"a", 2, std::nanf(""))), "a|0|italic");
  EXPECT_EQ(TruncFontSize(1e20f), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TruncFontSize(-1e20f), std::numeric_limits<int32_t>::min());

  TFont* arial = cache->getFont(u"arial", 1, 10.7f);
  ASSERT_NE(arial, nullptr);
  EXPECT_EQ(cache->getFont(u"Arial", 1, 10.2f), arial);
  EXPECT_EQ(cache->fonts().useCountOf(arial), 2);
  EXPECT_NE(cache->getFont(u"arial", 0, 10.2f), arial);

  TFont* font1at2 = cache->getFont(u"font1", 0, 2);
  TFont* fontAt12 = cache->getFont(u"font", 0, 12);
  ASSERT_NE(font1at2, nullptr);
  ASSERT_NE(fontAt12, nullptr);
  EXPECT_NE(font1at2, fontAt12);
  EXPECT_EQ(font1at2->size, 2);
  EXPECT_EQ(fontAt12->size, 12);
  EXPECT_EQ(cache->fonts().count(), 4);
}

TEST_F(CacheTest, FailedMeshStaysListedFailedPixmapIsTriedAgain) {
  EXPECT_EQ(cache->getMesh(firstMan.get(), u"gone.3ds"), nullptr);
  EXPECT_EQ(cache->getMesh(firstMan.get(), u"gone.mesh"), nullptr);
  EXPECT_EQ(cache->getPixmap(firstMan.get(), u"gone.png"), nullptr);
  EXPECT_EQ(cache->getPixmap(firstMan.get(), u"gone.png"), nullptr);
  EXPECT_EQ(creators.calls,
            (std::vector<std::string>{"make mesh gone.3ds", "make pixmap gone.png", "make pixmap gone.png"}));
  EXPECT_EQ(cache->meshes().count(), 1);
  EXPECT_EQ(cache->pixmaps().count(), 0);
  cache->clear();
  EXPECT_EQ(cache->meshes().count(), 0);
  EXPECT_EQ(cache->getMesh(firstMan.get(), u"gone.3ds"), nullptr);
  EXPECT_EQ(creators.calls.back(), "make mesh gone.3ds");

  TMesh* mesh = cache->getMesh(firstMan.get(), u"m.3ds");
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->vertexCount, 3);
}

TEST_F(CacheTest, SoundEngineIsMadeOnFirstUse) {
  creators.soundClassRegistered = false;
  EXPECT_EQ(cache->getSound(firstMan.get(), u"boom.wav"), nullptr);
  EXPECT_EQ(cache->getMusic(firstMan.get(), u"theme.ogg"), nullptr);
  EXPECT_TRUE(creators.calls.empty());
  EXPECT_FALSE(creators.soundEngine);

  creators.soundClassRegistered = true;
  TMusic* theme = cache->getMusic(firstMan.get(), u"theme.ogg");
  TSound* boom = cache->getSound(firstMan.get(), u"boom.wav");
  ASSERT_NE(theme, nullptr);
  ASSERT_NE(boom, nullptr);
  EXPECT_EQ(cache->getSound(firstMan.get(), u"BOOM.wav"), boom);
  EXPECT_EQ(creators.calls,
            (std::vector<std::string>{"make sound engine", "make music theme.ogg", "make sound boom.wav"}));

  cache->releaseSound(boom);
  cache->releaseSound(boom);
  EXPECT_EQ(creators.calls.back(), "destroy sound boom.wav");
  // Without an engine the entry goes but nothing is destroyed through one.
  creators.soundEngine = false;
  creators.soundClassRegistered = false;
  cache->releaseMusic(theme);
  EXPECT_EQ(cache->music().count(), 0);
  EXPECT_EQ(creators.calls.back(), "destroy sound boom.wav");
}

TEST_F(CacheTest, ScriptsAreSharedAndOutliveClear) {
  TScript* logic = cache->getScript(firstMan.get(), u"logic.js");
  ASSERT_NE(logic, nullptr);
  EXPECT_EQ(cache->getScript(firstMan.get(), u"logic.js"), logic);
  EXPECT_EQ(cache->scripts().useCountOf(logic), 2);
  cache->clear();
  EXPECT_EQ(cache->scripts().useCountOf(logic), 2);
  cache->releaseScript(logic);
  cache->releaseScript(logic);
  EXPECT_EQ(creators.calls, (std::vector<std::string>{"make script logic.js", "destroy script logic.js"}));
}

TEST_F(CacheTest, StreamCopiesLiveFromFirstGetToLastRelease) {
  TMemoryStream original(std::vector<uint8_t>{'G', 'F', 'E', '0'});
  original.SetPosition(3);
  cache->putStream(firstMan.get(), u"level.qxml", &original);
  EXPECT_EQ(original.Position(), 3);
  TMemoryStream other(std::vector<uint8_t>{'z'});
  cache->putStream(firstMan.get(), u"level.qxml", &other);
  EXPECT_EQ(cache->getStream(firstMan.get(), u"unknown.qxml"), nullptr);

  TStream* copy = cache->getStream(firstMan.get(), u"level.qxml");
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, &original);
  char bytes[5] = {};
  EXPECT_EQ(copy->Read(bytes, 5), 4);
  EXPECT_STREQ(bytes, "GFE0");
  EXPECT_EQ(cache->getStream(firstMan.get(), u"level.qxml"), copy);
  EXPECT_EQ(copy->Position(), 0);

  LogCapture log;
  cache->releaseStream(firstMan.get(), u"level.qxml");
  EXPECT_TRUE(log.messages().empty());
  cache->releaseStream(firstMan.get(), u"level.qxml");
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(i) delete from cache level.qxml"});
  EXPECT_EQ(cache->streams().count(), 0);

  // A copy nobody got has no user to give back: a stray release leaves it, so
  // a later user's copy is not freed under another.
  cache->putStream(firstMan.get(), u"hud.qxml", &original);
  cache->releaseStream(firstMan.get(), u"hud.qxml");
  TStream* held = cache->getStream(firstMan.get(), u"hud.qxml");
  ASSERT_NE(cache->getStream(firstMan.get(), u"hud.qxml"), nullptr);
  cache->releaseStream(firstMan.get(), u"hud.qxml");
  EXPECT_EQ(cache->streams().useCountOf(held), 1);
  EXPECT_EQ(log.count("(i) delete from cache hud.qxml"), 0);

  // A file's streams are its name and its two twins, each released once.
  cache->putStream(firstMan.get(), u"hud.qbin", &original);
  cache->getStream(firstMan.get(), u"hud.qbin");
  cache->releaseFileStreams(firstMan.get(), u"hud.qxml");
  EXPECT_EQ(log.count("(i) delete from cache hud.qxml"), 1);
  EXPECT_EQ(log.count("(i) delete from cache hud.qbin"), 1);
}

TEST_F(CacheTest, ClearReleasesOnceInKindOrderLastToFirst) {
  cache->getFont(u"arial", 0, 10);
  cache->getFont(u"courier", 0, 10);
  TPixmap* shared = cache->getPixmap(firstMan.get(), u"a.png");
  cache->getPixmap(firstMan.get(), u"a.png");
  cache->getPixmap(secondMan.get(), u"a.png");
  cache->getMesh(firstMan.get(), u"m.3ds");
  cache->getSound(firstMan.get(), u"boom.wav");
  cache->getMusic(firstMan.get(), u"theme.ogg");
  cache->getScript(firstMan.get(), u"logic.js");
  TMemoryStream bytes(std::vector<uint8_t>{1, 2});
  cache->putStream(firstMan.get(), u"level.qxml", &bytes);
  creators.calls.clear();

  cache->clear();
  // The pixmap still held by a second user is dropped, not destroyed.
  EXPECT_EQ(creators.calls, (std::vector<std::string>{"destroy music theme.ogg", "destroy sound boom.wav",
                                                      "destroy mesh m.3ds", "destroy pixmap a.png",
                                                      "destroy font courier", "destroy font arial"}));
  EXPECT_EQ(cache->pixmaps().count(), 0);
  EXPECT_EQ(cache->pixmaps().useCountOf(shared), 0);
  EXPECT_EQ(cache->streams().count(), 0);
  EXPECT_EQ(cache->scripts().count(), 1);
  cache->releasePixmap(shared);
  EXPECT_EQ(creators.calls.size(), 6u);
}

TEST_F(CacheTest, FreeingTheCacheClearsThenLetsGoOfEveryList) {
  cache->getFont(u"arial", 0, 10);
  cache->getPixmap(firstMan.get(), u"a.png");
  cache->getMusic(firstMan.get(), u"theme.ogg");
  creators.echoToLog = true;
  std::vector<std::string> lines = freeCache();
  EXPECT_EQ(lines, (std::vector<std::string>{"(i) destroy music theme.ogg", "(i) destroy pixmap a.png",
                                             "(i) destroy font arial", "(i) cleared", "(i) mesh ok",
                                             "(i) script ok", "(i) stream ok", "(i) sound ok", "(i) music ok",
                                             "(i) pixmap ok", "(i) font ok"}));
  EXPECT_EQ(applet->count(), 0);
}

TEST_F(CacheTest, OwnerFreesItsCacheAsAChild) {
  EXPECT_EQ(applet->children(0), cache);
  cache->getPixmap(firstMan.get(), u"a.png");
  LogCapture log;
  applet.reset();
  cache = nullptr;
  EXPECT_EQ(log.count("(i) font ok"), 1);
  EXPECT_EQ(creators.calls.back(), "destroy pixmap a.png");
}

TEST_F(CacheTest, DebugValuesCountTheEntriesOfEachList) {
  Owned<THashedStringList> values(New<THashedStringList>());
  cache->logStatistics();  // no sink yet: nothing to write to
  cache->setDebugValueSink([&](const WideString& name, const WideString& value) { values->setValue(name, value); });
  cache->getFont(u"arial", 0, 10);
  cache->getFont(u"arial", 1, 10);
  cache->getPixmap(firstMan.get(), u"a.png");
  cache->getMesh(firstMan.get(), u"gone.3ds");
  TMemoryStream bytes(std::vector<uint8_t>{1});
  cache->putStream(firstMan.get(), u"level.qxml", &bytes);
  cache->logStatistics();
  EXPECT_EQ(Utf8(values->text()),
            "Cache Font=2\r\nCache Pixmap=1\r\nCache Mesh=1\r\nCache Script=0\r\nCache Stream=1\r\n"
            "Cache Sound=0\r\nCache Music=0\r\n");
}

TEST_F(CacheTest, WithoutCreatorsOnlyStreamsAreKept) {
  cache->setCreators(nullptr);
  EXPECT_EQ(cache->getFont(u"arial", 0, 10), nullptr);
  EXPECT_EQ(cache->getPixmap(firstMan.get(), u"a.png"), nullptr);
  EXPECT_EQ(cache->getSound(firstMan.get(), u"boom.wav"), nullptr);
  EXPECT_EQ(cache->getScript(firstMan.get(), u"logic.js"), nullptr);
  TMemoryStream bytes(std::vector<uint8_t>{1});
  cache->putStream(nullptr, u"level.qxml", &bytes);
  EXPECT_NE(cache->getStream(nullptr, u"level.qxml"), nullptr);
  EXPECT_TRUE(creators.calls.empty());
}

}  // namespace
