// Kamishibai: the music device and the sound player on SDL2_mixer.
#include "platform/linux/audio_devices_sdl.h"

#include <utility>

namespace kamishibai {
namespace {

// The channel every sound plays on, so that each new sound cuts off the previous one.
constexpr int kSoundChannel = 0;
constexpr int kOutputChannels = 2;
constexpr int kOutputFrames = 2048;

}  // namespace

SdlAudioOutput::SdlAudioOutput() = default;

SdlAudioOutput::~SdlAudioOutput() {
  const SdlAudioLibrary* sdl = sdlAudioLibrary();
  if (state_ == State::Open) {
    sdl->closeAudio();
    sdl->quit();
  }
  if (subsystemStarted_) sdl->quitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudioOutput::ready() {
  if (state_ != State::Untried) return state_ == State::Open;
  state_ = State::Failed;
  const SdlAudioLibrary* sdl = sdlAudioLibrary();
  if (sdl == nullptr) return false;
  // The saver ends on SIGTERM like any program; SDL would otherwise turn it into a quit event
  // that nobody reads.
  sdl->setHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  sdl->setHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Kamishibai");
  if (sdl->initSubSystem(SDL_INIT_AUDIO) != 0) return false;
  subsystemStarted_ = true;
  if (sdl->openAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, kOutputChannels, kOutputFrames) !=
      0)
    return false;
  state_ = State::Open;
  return true;
}

SdlMusicBackend::SdlMusicBackend(std::shared_ptr<SdlAudioOutput> output)
    : output_(std::move(output)) {}

SdlMusicBackend::~SdlMusicBackend() {
  close();
}

bool SdlMusicBackend::load(const std::string& path) {
  close();
  if (!output_->ready()) return false;
  music_.reset(sdlAudioLibrary()->loadMusic(path.c_str()));
  return music_ != nullptr;
}

void SdlMusicBackend::play() {
  if (music_ && sdlAudioLibrary()->playingMusic() == 0)
    sdlAudioLibrary()->playMusic(music_.get(), 0);
}

bool SdlMusicBackend::isPlaying() const {
  return music_ && sdlAudioLibrary()->playingMusic() != 0;
}

void SdlMusicBackend::rewind() {
  if (music_) sdlAudioLibrary()->haltMusic();
}

void SdlMusicBackend::close() {
  if (!music_) return;
  sdlAudioLibrary()->haltMusic();
  music_.reset();
}

SdlSoundPlayer::SdlSoundPlayer(std::shared_ptr<SdlAudioOutput> output)
    : output_(std::move(output)) {}

SdlSoundPlayer::~SdlSoundPlayer() {
  stop();
}

void SdlSoundPlayer::playSound(const std::string* file, std::uint32_t flags) {
  // Without a file every call stops the sound still playing, purge or not.
  if (file == nullptr) {
    stop();
    return;
  }
  // Only sounds named by a file path are known here.
  if ((flags & kSndFilename) == 0 || !output_->ready()) return;
  stop();
  const SdlAudioLibrary* sdl = sdlAudioLibrary();
  current_.reset(sdl->loadWav(file->c_str()));
  if (current_ && sdl->playChannelTimed(kSoundChannel, current_.get(), 0, -1) < 0) current_.reset();
}

void SdlSoundPlayer::stop() {
  if (!current_) return;
  // Halting first means the mixer no longer reads the chunk when it is freed.
  sdlAudioLibrary()->haltChannel(kSoundChannel);
  current_.reset();
}

AudioDevices createAudioDevices() {
  auto output = std::make_shared<SdlAudioOutput>();
  return {std::make_unique<MusicCommandInterpreter>(std::make_unique<SdlMusicBackend>(output)),
          std::make_unique<SdlSoundPlayer>(output)};
}

}  // namespace kamishibai
