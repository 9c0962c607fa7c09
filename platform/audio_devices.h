// Kamishibai: the machine's music device and one-shot sound player, sharing one sound output.
#pragma once

#include <memory>

#include "platform/audio.h"

namespace kamishibai {

struct AudioDevices {
  std::unique_ptr<MusicDevice> music;
  std::unique_ptr<SoundPlayer> sounds;
};

// Opens nothing yet: the output opens at the first sound, and stays silent without a device.
AudioDevices createAudioDevices();

}  // namespace kamishibai
