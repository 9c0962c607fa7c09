// Kamishibai: SDL2_mixer, and SDL2 with it, loaded when the first sound, music or audio check
// needs it: the thirty libraries behind it cost a program about ten milliseconds of loading at
// every start, which a show without sound, and every show until its first sound, does without.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

namespace kamishibai {

// The functions the programs call; Mix_LoadWAV and Mix_PlayChannel are macros over two of them.
struct SdlAudioLibrary {
  decltype(&SDL_SetHint) setHint;
  decltype(&SDL_SetHintWithPriority) setHintWithPriority;
  decltype(&SDL_InitSubSystem) initSubSystem;
  decltype(&SDL_QuitSubSystem) quitSubSystem;
  decltype(&SDL_WasInit) wasInit;
  decltype(&SDL_GetError) getError;
  decltype(&SDL_RWFromFile) rwFromFile;
  decltype(&Mix_OpenAudio) openAudio;
  decltype(&Mix_CloseAudio) closeAudio;
  decltype(&Mix_Quit) quit;
  decltype(&Mix_QuerySpec) querySpec;
  decltype(&Mix_LoadMUS) loadMusic;
  decltype(&Mix_FreeMusic) freeMusic;
  decltype(&Mix_PlayMusic) playMusic;
  decltype(&Mix_PlayingMusic) playingMusic;
  decltype(&Mix_HaltMusic) haltMusic;
  decltype(&Mix_LoadWAV_RW) loadWavFrom;
  decltype(&Mix_FreeChunk) freeChunk;
  decltype(&Mix_PlayChannelTimed) playChannelTimed;
  decltype(&Mix_HaltChannel) haltChannel;

  Mix_Chunk* loadWav(const char* file) const { return loadWavFrom(rwFromFile(file, "rb"), 1); }
};

// The library, loaded at the first call; null when it cannot be loaded, and the programs then
// stay silent, as without a sound device.
const SdlAudioLibrary* sdlAudioLibrary();

}  // namespace kamishibai
