// A published method called from a script loop against the same loop calling
// a bare native function. The loops with one number and one text argument
// show what converting an argument adds; they compare with the bare function
// taking the same value and reading it, as any native that uses its argument
// does. The last benchmark reports each kind against its goal
// (bench_goals.cpp).
#include <benchmark/benchmark.h>

#include <js/PropertyAndElement.h>
#include <js/String.h>

#include "bench/bench_goals.h"
#include "core/objects/base_object.h"
#include "core/objects/class_builder.h"
#include "core/system/log.h"
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
// Reads its argument as a native of its own would: a number's value, a
// text's length and characters. It keeps what it read, so that the reading
// is not optimised away.
int64_t bareSum = 0;
size_t bareLength = 0;
size_t bareCharacterSum = 0;

template <typename Char>
size_t CharacterSum(const Char* chars, size_t length) {
  size_t sum = 0;
  for (size_t i = 0; i < length; ++i) sum += chars[i];
  return sum;
}

bool BareNative(JSContext* cx, unsigned argc, JS::Value* vp) {
  JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
  args.rval().setUndefined();
  if (args.length() == 0) return true;
  if (args[0].isNumber()) {
    bareSum += static_cast<int64_t>(args[0].toNumber());
  } else if (args[0].isString()) {
    JSLinearString* linear = JS_EnsureLinearString(cx, args[0].toString());
    if (!linear) return false;
    const size_t length = JS::GetLinearStringLength(linear);
    JS::AutoCheckCannotGC noGC;
    bareCharacterSum += JS::LinearStringHasLatin1Chars(linear)
                            ? CharacterSum(JS::GetLatin1LinearStringChars(noGC, linear), length)
                            : CharacterSum(JS::GetTwoByteLinearStringChars(noGC, linear), length);
    bareLength += length;
  }
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
  state.counters["length"] = static_cast<double>(setup.target->textLength + bareLength);
  state.counters["sum"] = static_cast<double>(setup.target->sum + bareSum);
  state.counters["characters"] = static_cast<double>(bareCharacterSum);
}
BENCHMARK_CAPTURE(ScriptLoop, PublishedMethodLoop, kMethodLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, BareNativeLoop, kNativeLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, NumberArgumentMethodLoop, kNumberMethodLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, NumberArgumentNativeLoop, kNumberNativeLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, TextArgumentMethodLoop, kTextMethodLoop)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScriptLoop, TextArgumentNativeLoop, kTextNativeLoop)->Unit(benchmark::kMillisecond);

// Each kind of call against the bare native, in alternating rounds.
void BM_Goals(benchmark::State& state) {
  Setup setup;
  constexpr int kRounds = 15;
  auto loop = [&](const char16_t* text) {
    return [&setup, text] { return TimeOf([&] { setup.engine->evaluate(text); }); };
  };
  BenchRatio none, number, text;
  for (auto _ : state) {
    none = AlternatingRatio(kRounds, loop(kMethodLoop), loop(kNativeLoop));
    number = AlternatingRatio(kRounds, loop(kNumberMethodLoop), loop(kNumberNativeLoop));
    text = AlternatingRatio(kRounds, loop(kTextMethodLoop), loop(kTextNativeLoop));
  }
  ReportGoal(state, "no_argument_call_vs_native", none);
  ReportGoal(state, "number_call_vs_native", number);
  ReportGoal(state, "text_call_vs_native", text);
}
BENCHMARK(BM_Goals)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace
