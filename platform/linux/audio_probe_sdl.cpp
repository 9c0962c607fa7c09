// Kamishibai: audio checks with SDL2_mixer. The checks only decode, so they open the mixer on
// SDL's dummy output, whatever SDL_AUDIODRIVER names, and need no sound device.
#include "platform/audio_probe.h"
#include "platform/linux/audio_devices_sdl.h"

namespace kamishibai {
namespace {

// Opens the mixer once for the life of the process; an audio system opened by someone else is
// used as it is.
bool mixerReady(const SdlAudioLibrary& sdl) {
  static const bool ready = [&sdl] {
    if (sdl.wasInit(SDL_INIT_AUDIO) == 0) {
      sdl.setHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
      if (sdl.initSubSystem(SDL_INIT_AUDIO) != 0) return false;
    }
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    if (sdl.querySpec(&frequency, &format, &channels) != 0) return true;
    return sdl.openAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) == 0;
  }();
  return ready;
}

}  // namespace

std::string audioProblem(const std::filesystem::path& file, AudioUse use) {
  const SdlAudioLibrary* sdl = sdlAudioLibrary();
  if (sdl == nullptr) return "the audio library (SDL2_mixer) cannot be loaded";
  if (!mixerReady(*sdl)) return std::string("the audio library cannot start: ") + sdl->getError();
  bool loaded = false;
  if (use == AudioUse::Music) {
    loaded = MixMusicPtr(sdl->loadMusic(file.c_str())) != nullptr;
  } else {
    loaded = MixChunkPtr(sdl->loadWav(file.c_str())) != nullptr;
  }
  return loaded ? std::string() : std::string(sdl->getError());
}

}  // namespace kamishibai
