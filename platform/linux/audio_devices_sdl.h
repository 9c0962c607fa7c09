// Kamishibai: music and one-shot sounds on SDL2_mixer, sharing one output device that is opened
// at the first need; without a device everything stays silent.
#pragma once

#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/audio_devices.h"
#include "platform/linux/audio_library_sdl.h"
#include "platform/linux/music_commands.h"

namespace kamishibai {

// The SDL audio subsystem and the mixer's output. The first call of ready() loads the library and
// opens both; when that fails (no library, no sound device) it is not tried again and every later
// call answers false.
class SdlAudioOutput {
 public:
  SdlAudioOutput();
  ~SdlAudioOutput();
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  bool ready();

 private:
  enum class State { Untried, Open, Failed };
  State state_ = State::Untried;
  bool subsystemStarted_ = false;
};

// Music and chunks exist only once the library is loaded.
struct MixMusicDeleter {
  void operator()(Mix_Music* music) const { sdlAudioLibrary()->freeMusic(music); }
};
struct MixChunkDeleter {
  void operator()(Mix_Chunk* chunk) const { sdlAudioLibrary()->freeChunk(chunk); }
};
using MixMusicPtr = std::unique_ptr<Mix_Music, MixMusicDeleter>;
using MixChunkPtr = std::unique_ptr<Mix_Chunk, MixChunkDeleter>;

// The mixer's single music stream, played once per play.
class SdlMusicBackend final : public MusicBackend {
 public:
  explicit SdlMusicBackend(std::shared_ptr<SdlAudioOutput> output);
  ~SdlMusicBackend() override;

  bool load(const std::string& path) override;
  void play() override;
  bool isPlaying() const override;
  void rewind() override;
  void close() override;

 private:
  std::shared_ptr<SdlAudioOutput> output_;  // declared first: outlives the music
  MixMusicPtr music_;
};

// Sound files on one mixer channel: a new sound replaces the one still playing, and a call
// without a file stops it. Playback always runs in the background.
class SdlSoundPlayer final : public SoundPlayer {
 public:
  explicit SdlSoundPlayer(std::shared_ptr<SdlAudioOutput> output);
  ~SdlSoundPlayer() override;

  void playSound(const std::string* file, std::uint32_t flags) override;

 private:
  void stop();

  std::shared_ptr<SdlAudioOutput> output_;  // declared first: outlives the chunk
  MixChunkPtr current_;
};

}  // namespace kamishibai
