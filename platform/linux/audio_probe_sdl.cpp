// Kamishibai: audio checks with SDL2_mixer. The checks only decode, so they open the mixer on
// SDL's dummy output, whatever SDL_AUDIODRIVER names, and need no sound device.
#include <SDL.h>
#include <SDL_mixer.h>

#include "platform/audio_probe.h"
#include "platform/linux/audio_devices_sdl.h"

namespace kamishibai {
namespace {

// Opens the mixer once for the life of the process; an audio system opened by someone else is
// used as it is.
bool mixerReady() {
  static const bool ready = [] {
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
      SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    }
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) != 0) return true;
    return Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) == 0;
  }();
  return ready;
}

}  // namespace

std::string audioProblem(const std::filesystem::path& file, AudioUse use) {
  if (!mixerReady()) return std::string("the audio library cannot start: ") + SDL_GetError();
  bool loaded = false;
  if (use == AudioUse::Music) {
    loaded = MixMusicPtr(Mix_LoadMUS(file.c_str())) != nullptr;
  } else {
    loaded = MixChunkPtr(Mix_LoadWAV(file.c_str())) != nullptr;
  }
  return loaded ? std::string() : std::string(Mix_GetError());
}

}  // namespace kamishibai
