// Kamishibai: loading Form1 on the desktop: the show window and the machine's sound output.
#include <iostream>
#include <optional>

#include "platform/audio_devices.h"
#include "platform/hosted_window.h"
#include "platform/running_program.h"
#include "show/form1.h"

namespace kamishibai {

struct PreparedForm1::State {
  explicit State(const ShowInputs& inputs)
      : audio(createAudioDevices()),
        showAudio(*audio.music, *audio.sounds, inputs.record.BgmName, inputs.WorkDir, inputs.BgmOn,
                  inputs.SoundOn) {}

  // Without a display there is no window, and no window to show a message in: the reason goes to
  // the standard error when the show would start.
  std::string noWindow;
  std::unique_ptr<ShowWindow> window;
  AudioDevices audio;
  ShowAudio showAudio;
  std::optional<Form1> form;
};

PreparedForm1::PreparedForm1(const ShowInputs& inputs) : state_(std::make_unique<State>(inputs)) {
  try {
    state_->window = inputs.host ? createHostedShowWindow(*inputs.host) : createShowWindow();
  } catch (const std::exception& error) {
    state_->noWindow = error.what();
    return;
  }
  state_->form.emplace(inputs, *state_->window, state_->showAudio);
  state_->form->prepare();
}

PreparedForm1::~PreparedForm1() = default;

bool PreparedForm1::load() {
  if (!state_->form) {
    std::cerr << programName() << ": " << state_->noWindow << '\n';
    return false;
  }
  state_->form->load();
  return true;
}

bool loadForm1(const ShowInputs& inputs) {
  return PreparedForm1(inputs).load();
}

}  // namespace kamishibai
