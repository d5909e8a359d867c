#pragma once
// SpiderMonkey compiles its own built-in functions (written in JavaScript)
// for every new runtime, which is most of the cost of starting the script
// engine. The compiled form is kept in the user's cache folder
// ($XDG_CACHE_HOME/qplay, else ~/.cache/qplay), one file for each library
// version, and decoded instead on later starts. Internal to
// engine/javascript/.
#include <jsapi.h>

#include <cstdint>
#include <span>
#include <string>

// Runs JS::InitSelfHostedCode on a new context: from the cache when it holds
// this library version's compiled form, else compiling and storing it.
// False when the library could not initialise the context (a stale or broken
// cache is not such a failure: the caller then makes a new context and calls
// again, and the cache is compiled anew).
bool InitSelfHostedCodeCached(JSContext* cx, bool& cacheRefused);

// The cache file's form: "QSHC", the byte counts of the stamp (the library
// file's path, size and time) and of the compiled form, the compiled form's
// CRC-32, the stamp, the compiled form. Finds the compiled form in a file's
// bytes: true, with its start in `offset`, only when the file is whole and
// intact and carries `stamp`.
bool FindSelfHostedCode(std::span<const uint8_t> file, const std::string& stamp, size_t& offset);
std::string EncodeSelfHostedCache(const std::string& stamp, std::span<const uint8_t> compiled);
