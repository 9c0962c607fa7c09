// Kamishibai: music and sounds on Windows are not built yet: both devices stay silent, as a
// machine without a sound output would.
#include "platform/audio_devices.h"

#include <algorithm>

namespace kamishibai {

namespace {

class SilentMusic final : public MusicDevice {
 public:
  // Every command fails: the reply holds no answer.
  void sendString(std::string_view, char* reply, std::size_t length) override {
    if (reply != nullptr) std::fill_n(reply, length, ' ');
  }
};

class SilentSounds final : public SoundPlayer {
 public:
  void playSound(const std::string*, std::uint32_t) override {}
};

}  // namespace

AudioDevices createAudioDevices() {
  return {std::make_unique<SilentMusic>(), std::make_unique<SilentSounds>()};
}

}  // namespace kamishibai
