#pragma once
// The audio library's fifteen functions as the sound engine calls them,
// bound by name from the module the library loader finds beside the program.
// Tests put their own table in place of the module's to watch the calls.
#include "compat/audio/audio_library.h"

struct TLibEntry;

struct TAudioFunctions {
  decltype(&BASS_Init) Init = nullptr;
  decltype(&BASS_Start) Start = nullptr;
  decltype(&BASS_Free) Free = nullptr;
  decltype(&BASS_SampleLoad) SampleLoad = nullptr;
  decltype(&BASS_SampleGetChannel) SampleGetChannel = nullptr;
  decltype(&BASS_SampleFree) SampleFree = nullptr;
  decltype(&BASS_StreamCreateFileUser) StreamCreateFileUser = nullptr;
  decltype(&BASS_MusicLoad) MusicLoad = nullptr;
  decltype(&BASS_StreamFree) StreamFree = nullptr;
  decltype(&BASS_MusicFree) MusicFree = nullptr;
  decltype(&BASS_ChannelSetAttributes) ChannelSetAttributes = nullptr;
  decltype(&BASS_ChannelPlay) ChannelPlay = nullptr;
  decltype(&BASS_ChannelPause) ChannelPause = nullptr;
  decltype(&BASS_ChannelStop) ChannelStop = nullptr;
  decltype(&BASS_ChannelIsActive) ChannelIsActive = nullptr;
};

// Binds every function of the loaded module; false (the table left
// incomplete) when one is missing.
bool BindAudioFunctions(const TLibEntry* library, TAudioFunctions& functions);

// The process-wide audio library shared by every applet's engine: loaded by
// the first engine, freed with the last.
class TAudioLibrary {
 public:
  // Loads the module "bass" (the loader logs each step); false when it is
  // missing or lacks a function.
  static bool Load();
  static void Unload();
  static bool loaded();
  static const TAudioFunctions& functions();

  // Tests: the table stands for a loaded library (nil: back to the module).
  static void UseFunctionsForTests(const TAudioFunctions* functions);
  // Tests: the base name Load looks for (nil: "bass").
  static void UseBaseNameForTests(const char* name);
};
