#pragma once
// Classes and an applet stand-in for the script engine tests: a tree object
// that publishes one property of every kind and methods of many signatures,
// a nested persistent, and the applet wiring (handlers, exports, removal)
// that the applet layer installs through the applet services.
#include <functional>
#include <memory>
#include <string>

#include "core/objects/applet_services.h"
#include "core/objects/base_object.h"
#include "core/objects/class_builder.h"
#include "core/text/exceptions.h"
#include "engine/javascript/javascript_engine.h"

enum TProbeMood { pmCalm, pmHappy, pmAngry };
Q_DECLARE_ENUM(TProbeMood)
inline Q_DEFINE_ENUM(TProbeMood, "pmCalm", "pmHappy", "pmAngry")
using TProbeMoods = SetOf<TProbeMood>;

// A nested persistent owned by the probe: reached from scripts as `probe.point`.
class TProbePoint : public TSomePersistent {
  Q_OBJECT(TProbePoint, TSomePersistent)

 public:
  float x = 0;
  float y = 0;
  void moveBy(float dx, float dy) {
    x += dx;
    y += dy;
  }
};

inline const ClassInfo& TProbePoint::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TProbePoint>("TProbePoint")
                                    .property("x", &TProbePoint::x)
                                    .property("y", &TProbePoint::y)
                                    .method("moveBy", &TProbePoint::moveBy)
                                    .build();
  return info;
}

class ScriptProbe : public BaseObject {
  Q_OBJECT(ScriptProbe, BaseObject)

 public:
  void Create(TObject* owner) override {
    inherited::Create(owner);
    point_ = New<TProbePoint>(this);
  }
  void Destroy() override {
    FreeAndNil(point_);
    inherited::Destroy();
  }

  int32_t width = 0;
  float ratio = 0;
  WideString title;
  AnsiString sound;
  TProbeMood mood = pmCalm;
  TProbeMoods moods;
  bool active = false;
  int64_t big = 0;
  BaseObject* target = nullptr;
  int pings = 0;
  // Runs inside `ping`, for tests that act while a script is on the stack.
  std::function<void()> onPing;

  TProbePoint* point() const { return point_; }
  // Replaces the nested point, freeing the old one.
  void renewPoint() {
    FreeAndNil(point_);
    point_ = New<TProbePoint>(this);
  }

  int32_t add(int32_t a, int32_t b) { return a + b; }
  WideString greet(const WideString& name) {
    if (onGreet) onGreet();
    return u"Hello " + name;
  }
  // Runs inside `greet`, before it reads its text.
  std::function<void()> onGreet;
  double half(float value) { return value / 2; }
  void grow(int32_t by) { width += by; }
  void setMood(TProbeMood value) { mood = value; }
  bool isActive() { return active; }
  void follow(BaseObject* other) { target = other; }
  BaseObject* findTarget() { return target; }
  void ping() {
    ++pings;
    if (onPing) onPing();
  }
  void fail() { throw EListError("List index out of bounds (7)"); }
  // Takes one or two values of any kind, as `format` does.
  WideString describe(const WideString& head, const Variant& first, const Variant& second) {
    auto kind = [](const Variant& v) -> WideString {
      if (v.isEmpty()) return u"empty";
      if (v.isNull()) return u"null";
      if (v.isObject()) return v.toObject() ? u"object" : u"nil";
      return v.toText();
    };
    return head + u":" + kind(first) + u"," + kind(second);
  }

 private:
  TProbePoint* point_ = nullptr;
};

inline const ClassInfo& ScriptProbe::staticClassInfo() {
  using P = ScriptProbe;
  static const ClassInfo info = ClassBuilder<P>("ScriptProbe")
                                    .property("width", &P::width)
                                    .property("ratio", &P::ratio)
                                    .property("title", &P::title)
                                    .property("sound", &P::sound)
                                    .property("mood", &P::mood)
                                    .property("moods", &P::moods)
                                    .property("active", &P::active)
                                    .property("big", &P::big)
                                    .property("target", &P::target)
                                    .readOnly("point", &P::point)
                                    .method("add", &P::add)
                                    .method("greet", &P::greet)
                                    .method("half", &P::half)
                                    .method("grow", &P::grow)
                                    .method("setMood", &P::setMood)
                                    .method("isActive", &P::isActive)
                                    .method("follow", &P::follow)
                                    .method("findTarget", &P::findTarget)
                                    .method("ping", &P::ping)
                                    .method("fail", &P::fail)
                                    .method("describe", &P::describe)
                                    .build();
  return info;
}

// Stands in for the applet layer: handlers run in the engine, objects of the
// tree are exported when loaded and removed when destroyed.
class ScriptTestServices : public AppletServices {
 public:
  explicit ScriptTestServices(TScriptEngine* engine) : engine_(engine) { SetAppletServices(this); }
  ~ScriptTestServices() override { SetAppletServices(nullptr); }
  ScriptTestServices(const ScriptTestServices&) = delete;
  ScriptTestServices& operator=(const ScriptTestServices&) = delete;

  void setEngine(TScriptEngine* engine) { engine_ = engine; }

  void runHandler(BaseObject*, BaseObject*, const WideString& script) override {
    if (engine_) engine_->evaluate(script);
  }
  void scheduleFree(BaseObject*, BaseObject*, double) override {}
  bool hasScriptEngine(BaseObject*) override { return engine_ != nullptr; }
  void exportObject(BaseObject*, BaseObject* object) override {
    if (engine_) engine_->exportObject(object->name(), AnsiToWide(object->className()), object);
  }
  void removeExport(BaseObject*, BaseObject* object) override {
    if (engine_) engine_->removeObject(object);
  }
  void* acquireFileEntry(BaseObject*, const WideString&) override { return nullptr; }
  void releaseFileEntry(BaseObject*, void*) override {}
  void dropFileEntries(BaseObject*, const WideString&) override {}
  TResourceMan* resourceManager(BaseObject*) override { return nullptr; }
  void requestUpdate(BaseObject*) override {}
  int appendSearchResult(BaseObject*, BaseObject*) override { return 0; }
  WideString exchangeCustomText(BaseObject*, const WideString& text) override { return text; }
  bool effectInScript(BaseObject*) override { return false; }
  bool isTerminated(BaseObject*) override { return false; }
  int runStep(BaseObject*) override { return 0; }
  bool isPaused(BaseObject*) override { return false; }
  void showInspector(BaseObject*, BaseObject*) override {}
  void storeObject(BaseObject*, BaseObject*, const WideString&) override {}

 private:
  TScriptEngine* engine_;
};

// Frees through Free(), as every owner of the system does.
template <typename T>
using Owned = std::unique_ptr<T, FreeDeleter>;

// A root object that plays the applet (its applet is itself) with a
// JavaScript engine owned beside it.
struct ScriptWorld {
  ScriptWorld() : services(nullptr) {
    root.reset(New<BaseObject>());
    root->setApplet(root.get());
    engine.reset(New<TJavaScriptEngine>(root.get()));
    services.setEngine(engine.get());
  }
  ~ScriptWorld() {
    // The tree goes first, while the engine can still let its objects go.
    root.reset();
    services.setEngine(nullptr);
    engine.reset();
  }
  ScriptWorld(const ScriptWorld&) = delete;
  ScriptWorld& operator=(const ScriptWorld&) = delete;

  // A probe under the root, exported under `name`.
  ScriptProbe* probe(const std::string& name) {
    auto* p = New<ScriptProbe>(root.get());
    p->SetName(AnsiToWide(name));
    engine->exportObject(p->name(), u"ScriptProbe", p);
    return p;
  }
  // Runs `source`, then answers the global `result` as text.
  std::string run(const std::string& source) {
    engine->evaluate(u"result = undefined;");
    engine->evaluate(Utf8ToWide(source));
    return WideToUtf8(engine->getGlobal(u"result").toText());
  }

  ScriptTestServices services;
  Owned<BaseObject> root;
  Owned<TJavaScriptEngine> engine;
};
