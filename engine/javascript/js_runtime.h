#pragma once
// The SpiderMonkey runtime shared by every JavaScript engine of a thread.
//
// The library allows one context per thread, so all applets share it: the
// first engine of a thread creates the context and the last one destroys it;
// each engine has its own global (realm). Internal to engine/javascript/.
#include <jsapi.h>

#include <vector>

class JsRealm;

// The thread's context, created on first use; nil when the library cannot
// start. Every successful call is matched by one ReleaseJsContext.
JSContext* AcquireJsContext();
void ReleaseJsContext();

// The realms alive on this thread, in creation order.
std::vector<JsRealm*>& ThreadRealms();
