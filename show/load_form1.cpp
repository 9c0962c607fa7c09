// Kamishibai: loading Form1 on the desktop: the GTK show window and the machine's sound output.
#include <iostream>

#include "platform/audio_devices.h"
#include "platform/hosted_window.h"
#include "platform/running_program.h"
#include "show/form1.h"

namespace kamishibai {

bool loadForm1(const ShowInputs& inputs) {
  std::unique_ptr<ShowWindow> window;
  try {
    window = inputs.host ? createHostedShowWindow(*inputs.host) : createShowWindow();
  } catch (const std::exception& error) {
    // Without a display there is no window to show a message in.
    std::cerr << programName() << ": " << error.what() << '\n';
    return false;
  }
  AudioDevices audio = createAudioDevices();
  ShowAudio showAudio(*audio.music, *audio.sounds, inputs.record.BgmName, inputs.WorkDir,
                      inputs.BgmOn, inputs.SoundOn);
  Form1 form(inputs, *window, showAudio);
  form.load();
  return true;
}

}  // namespace kamishibai
