#include "engine/javascript/js_runtime.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

#include <js/BuildId.h>
#include <js/Initialization.h>
#include <js/Stack.h>
#include <js/Warnings.h>
#include <jsfriendapi.h>

#include "engine/javascript/js_compiled_script.h"
#include "engine/javascript/js_report.h"
#include "engine/javascript/js_self_hosted_cache.h"
#include "engine/javascript/js_watchdog.h"

namespace {
std::once_flag libraryStarted;
bool libraryReady = false;
std::atomic<int> liveContexts{0};

struct ThreadContext {
  JSContext* cx = nullptr;
  int users = 0;
  std::vector<JsRealm*> realms;
};
thread_local ThreadContext threadContext;

// Compiled caches are tied to the library build that wrote them: a cache from
// another build carries another id and is compiled again from its source.
bool CompiledCacheBuildId(JS::BuildIdCharVector* buildId) {
  const std::string& id = CompiledScriptBuildId();
  return buildId->append(id.data(), id.size());
}

void ShutDownLibrary() {
  if (liveContexts.load() == 0) JS_ShutDown();
}

void StartLibrary() {
  libraryReady = JS_Init();
  if (!libraryReady) return;
  // Encoding a compiled script without a build id crashes the library.
  JS::SetProcessBuildIdOp(CompiledCacheBuildId);
  std::atexit(ShutDownLibrary);
}

// Half the thread's stack: deep script recursion raises "too much recursion"
// long before the native stack runs out. The main thread's stack is its
// limit (asking the thread library for it reads the whole memory map); other
// threads' stacks are what they were made with.
size_t NativeStackQuota() {
  constexpr size_t kUsualStack = 8u << 20;
  size_t size = kUsualStack;
  if (getpid() == static_cast<pid_t>(syscall(SYS_gettid))) {
    rlimit limit{};
    if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur > 0) {
      size = std::min<size_t>(limit.rlim_cur, 1u << 30);
    }
    return size / 2;
  }
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    void* base = nullptr;
    size_t found = 0;
    if (pthread_attr_getstack(&attr, &base, &found) == 0 && found > 0) size = found;
    pthread_attr_destroy(&attr);
  }
  return size / 2;
}

JSContext* NewContext() {
  JSContext* cx = JS_NewContext(JS::DefaultHeapMaxBytes);
  if (!cx) return nullptr;
  bool cacheRefused = false;
  if (!js::UseInternalJobQueues(cx) || !InitSelfHostedCodeCached(cx, cacheRefused)) {
    JS_DestroyContext(cx);
    return cacheRefused ? NewContext() : nullptr;
  }
  JS_SetNativeStackQuota(cx, NativeStackQuota());
  JS::SetWarningReporter(cx, ReportJsWarning);
  WatchJsContext(cx);
  return cx;
}
}  // namespace

JSContext* AcquireJsContext() {
  std::call_once(libraryStarted, StartLibrary);
  if (!libraryReady) return nullptr;
  ThreadContext& thread = threadContext;
  if (!thread.cx) {
    thread.cx = NewContext();
    if (!thread.cx) return nullptr;
    ++liveContexts;
  }
  ++thread.users;
  return thread.cx;
}

void ReleaseJsContext() {
  ThreadContext& thread = threadContext;
  if (thread.users <= 0 || --thread.users > 0) return;
  UnwatchJsContext(thread.cx);
  JS_DestroyContext(thread.cx);
  thread.cx = nullptr;
  --liveContexts;
}

std::vector<JsRealm*>& ThreadRealms() { return threadContext.realms; }
