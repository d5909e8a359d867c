// A published method called from a script loop against the same loop calling
// a bare native function: the binding should cost at most twice as much. The
// loops with one number and one text argument show what converting an
// argument adds; they compare with the bare function taking the same value.
#include <benchmark/benchmark.h>

#include <js/PropertyAndElement.h>

#include "core/base_object.h"
#include "core/class_builder.h"
#include "core/log.h"
#include "engine/javascript/javascript_engine.h"
#include "engine/javascript/js_realm.h"

namespace {
class CallTarget : public BaseObject {
  Q_OBJECT(CallTarget, BaseObject)

 public:
  int calls = 0;
  int64_t sum = 0;
  size_t textLength = 0;
  void touch() { ++calls; }
  void add(int32_t value) { sum += value; }
  void take(const WideString& text) { textLength += text.size(); }
};
}  // namespace

const ClassInfo& CallTarget::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<CallTarget>("CallTarget")
                                   .method("touch", &CallTarget::touch)
                                   .method("add", &CallTarget::add)
                                   .method("take", &CallTarget::take)
                                   .build();
  return info;
}

namespace {
bool BareNative(JSContext* /*cx*/, unsigned argc, JS::Value* vp) {
  JS::CallArgsFromVp(argc, vp).rval().setUndefined();
  return true;
}

constexpr char16_t kMethodLoop[] = u"for (var i = 0; i < 1000000; i++) target.touch();";
constexpr char16_t kNativeLoop[] = u"for (var i = 0; i < 1000000; i++) bare();";
constexpr char16_t kNumberMethodLoop[] = u"for (var i = 0; i < 1000000; i++) target.add(i);";
constexpr char16_t kNumberNativeLoop[] = u"for (var i = 0; i < 1000000; i++) bare(i);";
constexpr char16_t kTextMethodLoop[] = u"var s = 'sprite'; for (var i = 0; i < 1000000; i++) target.take(s);";
constexpr char16_t kTextNativeLoop[] = u"var s = 'sprite'; for (var i = 0; i < 1000000; i++) bare(s);";

struct Setup {
  Setup() {
    LogHandler() = [](const WideString&) {};
    target = New<CallTarget>();
    engine = New<TJavaScriptEngine>();
    engine->exportObject(u"target", u"CallTarget", target);
    JsRealm* realm = engine->realm();
    JSAutoRealm inRealm(realm->cx(), realm->global());
    JS::RootedObject global(realm->cx(), realm->global());
    JS_DefineFunction(realm->cx(), global, "bare", BareNative, 0, 0);
  }
  ~Setup() {
    engine->Free();
    target->Free();
  }
  CallTarget* target;
  TJavaScriptEngine* engine;
};

// Runs one loop per iteration; the counters show that the calls arrived.
void ScriptLoop(benchmark::State& state, const char16_t* loop) {
  Setup setup;
  for (auto _ : state) setup.engine->evaluate(loop);
  state.counters["calls"] = setup.target->calls;
  state.counters["sum"] = static_cast<double>(setup.target->sum);
  state.counters["length"] = static_cast<double>(setup.target->textLength);
}
BENCHMARK_CAPTURE(ScriptLoop, PublishedMethodLoop, kMethodLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, BareNativeLoop, kNativeLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, NumberArgumentMethodLoop, kNumberMethodLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, NumberArgumentNativeLoop, kNumberNativeLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, TextArgumentMethodLoop, kTextMethodLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, TextArgumentNativeLoop, kTextNativeLoop)->Unit(benchmark::kMillisecond);
}  // namespace
