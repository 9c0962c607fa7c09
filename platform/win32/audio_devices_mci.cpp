// Kamishibai: music through MCI command strings and sounds through PlaySound.
#include "platform/win32/audio_devices_mci.h"

#include <mmsystem.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

namespace {

// The text in the ANSI code page; nullopt when a character has no exact ANSI form.
std::optional<std::string> toAnsi(std::string_view utf8) {
  const std::wstring wide = toWide(utf8);
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                         0, nullptr, &lossy);
  if (length <= 0 || lossy) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length, nullptr,
                      nullptr);
  return ansi;
}

// Copies the reply up to its end and pads the rest of reply[0, length) with blanks.
void copyPadded(std::string_view answer, char* reply, std::size_t length) {
  const std::size_t count = std::min(answer.size(), length);
  std::copy_n(answer.data(), count, reply);
  std::fill(reply + count, reply + length, ' ');
}

class MciMusic final : public MusicDevice {
 public:
  explicit MciMusic(const WinmmFunctions& winmm) : winmm_(winmm) {}

  // The result is not examined: a failed command leaves an empty reply, so the show's status
  // test finds no "stopped" and goes on.
  void sendString(std::string_view command, char* reply, std::size_t length) override {
    if (reply == nullptr) return;
    if (const auto ansi = toAnsi(command)) {
      char answer[kReplyLength + 1] = {};
      winmm_.mciSendStringA(ansi->c_str(), answer, kReplyLength, nullptr);
      copyPadded(answer, reply, length);
    } else {
      wchar_t answer[kReplyLength + 1] = {};
      winmm_.mciSendStringW(toWide(command).c_str(), answer, kReplyLength, nullptr);
      copyPadded(toUtf8(answer), reply, length);
    }
  }

 private:
  WinmmFunctions winmm_;
};

class PlaySoundPlayer final : public SoundPlayer {
 public:
  explicit PlaySoundPlayer(const WinmmFunctions& winmm) : winmm_(winmm) {}

  void playSound(const std::string* file, std::uint32_t flags) override {
    if (file == nullptr) {
      winmm_.playSoundA(nullptr, nullptr, flags);
    } else if (const auto ansi = toAnsi(*file)) {
      winmm_.playSoundA(ansi->c_str(), nullptr, flags);
    } else {
      winmm_.playSoundW(toWide(*file).c_str(), nullptr, flags);
    }
  }

 private:
  WinmmFunctions winmm_;
};

}  // namespace

AudioDevices createMciAudioDevices(const WinmmFunctions& winmm) {
  return {std::make_unique<MciMusic>(winmm), std::make_unique<PlaySoundPlayer>(winmm)};
}

// MCI and PlaySound need no set-up; without a sound device their calls fail and the show runs
// on in silence.
AudioDevices createAudioDevices() {
  return createMciAudioDevices({::mciSendStringA, ::mciSendStringW, ::PlaySoundA, ::PlaySoundW});
}

}  // namespace kamishibai
