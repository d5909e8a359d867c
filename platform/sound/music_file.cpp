#include "platform/sound/music_file.h"

#include "compat/audio/audio_library.h"
#include "core/resources/stream.h"

uint32_t MusicFileProc(uint32_t action, uint32_t param, void* buffer, void* user) {
  auto* stream = static_cast<TStream*>(user);
  if (!stream) return 0;
  switch (action) {
    case kAudioFileClose:
      stream->Free();
      return 0;
    case kAudioFileRead:
      return buffer ? static_cast<uint32_t>(stream->Read(buffer, param)) : 0;
    case kAudioFileLength: {
      const int64_t size = stream->Size();
      return size > 0 && size <= INT32_MAX ? static_cast<uint32_t>(size) : 0;
    }
    case kAudioFileSeek:
      stream->SetPosition(param);
      return 1;
    default:
      return 0;
  }
}
