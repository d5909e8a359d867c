#pragma once
// SpiderMonkey compiles its own built-in functions (written in JavaScript)
// for every new runtime, which is most of the cost of starting the script
// engine. The compiled form is kept in the user's cache folder
// ($XDG_CACHE_HOME/qplay, else ~/.cache/qplay), one file for each library
// version, and decoded instead on later starts. Internal to
// engine/javascript/.
#include <jsapi.h>

// Runs JS::InitSelfHostedCode on a new context: from the cache when it holds
// this library version's compiled form, else compiling and storing it.
// False when the library could not initialise the context (a stale or broken
// cache is not such a failure: the caller then makes a new context and calls
// again, and the cache is compiled anew).
bool InitSelfHostedCodeCached(JSContext* cx, bool& cacheRefused);
