// Kamishibai: loading SDL2_mixer on demand.
#include "platform/linux/audio_library_sdl.h"

#include <dlfcn.h>

#include <optional>
#include <type_traits>

namespace kamishibai {
namespace {

// The mixer's stable name, as the programs would otherwise have been linked against it; it
// brings SDL2, whose functions are found through it.
const char* const kMixerLibrary = "libSDL2_mixer-2.0.so.0";

std::optional<SdlAudioLibrary> loaded() {
  // Never closed: the library lives as long as the process.
  void* handle = dlopen(kMixerLibrary, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return std::nullopt;
  SdlAudioLibrary library{};
  bool complete = true;
  const auto bind = [&](auto& function, const char* name) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
    complete = complete && function != nullptr;
  };
  bind(library.setHint, "SDL_SetHint");
  bind(library.setHintWithPriority, "SDL_SetHintWithPriority");
  bind(library.initSubSystem, "SDL_InitSubSystem");
  bind(library.quitSubSystem, "SDL_QuitSubSystem");
  bind(library.wasInit, "SDL_WasInit");
  bind(library.getError, "SDL_GetError");
  bind(library.rwFromFile, "SDL_RWFromFile");
  bind(library.openAudio, "Mix_OpenAudio");
  bind(library.closeAudio, "Mix_CloseAudio");
  bind(library.quit, "Mix_Quit");
  bind(library.querySpec, "Mix_QuerySpec");
  bind(library.loadMusic, "Mix_LoadMUS");
  bind(library.freeMusic, "Mix_FreeMusic");
  bind(library.playMusic, "Mix_PlayMusic");
  bind(library.playingMusic, "Mix_PlayingMusic");
  bind(library.haltMusic, "Mix_HaltMusic");
  bind(library.loadWavFrom, "Mix_LoadWAV_RW");
  bind(library.freeChunk, "Mix_FreeChunk");
  bind(library.playChannelTimed, "Mix_PlayChannelTimed");
  bind(library.haltChannel, "Mix_HaltChannel");
  if (!complete) return std::nullopt;
  return library;
}

}  // namespace

const SdlAudioLibrary* sdlAudioLibrary() {
  static const std::optional<SdlAudioLibrary> library = loaded();
  return library ? &*library : nullptr;
}

}  // namespace kamishibai
