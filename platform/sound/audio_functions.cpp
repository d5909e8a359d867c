#include "platform/sound/audio_functions.h"

#include "core/system/library_loader.h"

namespace {
const char* libraryName = "bass";

TLibEntry* library = nullptr;
TAudioFunctions boundFunctions;
const TAudioFunctions* testFunctions = nullptr;

template <typename F>
bool Bind(const TLibEntry* entry, const char* name, F& function) {
  function = reinterpret_cast<F>(GetProc(entry, name));
  return function != nullptr;
}
}  // namespace

bool BindAudioFunctions(const TLibEntry* entry, TAudioFunctions& f) {
  return Bind(entry, "BASS_Init", f.Init) && Bind(entry, "BASS_Start", f.Start) && Bind(entry, "BASS_Free", f.Free) &&
         Bind(entry, "BASS_SampleLoad", f.SampleLoad) && Bind(entry, "BASS_SampleGetChannel", f.SampleGetChannel) &&
         Bind(entry, "BASS_SampleFree", f.SampleFree) &&
         Bind(entry, "BASS_StreamCreateFileUser", f.StreamCreateFileUser) &&
         Bind(entry, "BASS_MusicLoad", f.MusicLoad) && Bind(entry, "BASS_StreamFree", f.StreamFree) &&
         Bind(entry, "BASS_MusicFree", f.MusicFree) &&
         Bind(entry, "BASS_ChannelSetAttributes", f.ChannelSetAttributes) &&
         Bind(entry, "BASS_ChannelPlay", f.ChannelPlay) && Bind(entry, "BASS_ChannelPause", f.ChannelPause) &&
         Bind(entry, "BASS_ChannelStop", f.ChannelStop) && Bind(entry, "BASS_ChannelIsActive", f.ChannelIsActive);
}

bool TAudioLibrary::Load() {
  if (loaded()) return true;
  library = LoadLib(libraryName);
  if (library && BindAudioFunctions(library, boundFunctions)) return true;
  Unload();
  return false;
}

void TAudioLibrary::Unload() {
  FreeLib(library);
  library = nullptr;
  boundFunctions = TAudioFunctions();
}

bool TAudioLibrary::loaded() { return testFunctions || library; }

const TAudioFunctions& TAudioLibrary::functions() { return testFunctions ? *testFunctions : boundFunctions; }

void TAudioLibrary::UseFunctionsForTests(const TAudioFunctions* functions) { testFunctions = functions; }

void TAudioLibrary::UseBaseNameForTests(const char* name) { libraryName = name ? name : "bass"; }
