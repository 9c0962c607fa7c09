// Kamishibai: the music device and sound player on SDL2_mixer.
#include "platform/linux/audio_devices_sdl.h"
#include "platform/audio_devices.h"

namespace kamishibai {

AudioDevices createAudioDevices() {
  auto output = std::make_shared<SdlAudioOutput>();
  return {std::make_unique<MusicCommandInterpreter>(std::make_unique<SdlMusicBackend>(output)),
          std::make_unique<SdlSoundPlayer>(output)};
}

}  // namespace kamishibai
