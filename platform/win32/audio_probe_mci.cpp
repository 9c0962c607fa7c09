// Kamishibai: audio checks by opening the file through MCI, the service the show plays music
// with, and closing it again; no sound is played.
#include <windows.h>

#include <mmsystem.h>

#include "platform/audio.h"
#include "platform/audio_probe.h"
#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

std::string audioProblem(const std::filesystem::path& file, AudioUse use) {
  // Sounds are played by PlaySound, which plays wave files only: they are opened as such. Music
  // is opened as the show opens it, the device chosen from the file.
  const std::wstring type = use == AudioUse::Sound ? L" type waveaudio" : L"";
  const std::wstring open = L"open \"" + file.wstring() + L"\"" + type + L" alias kamishibai_check";
  wchar_t reply[kReplyLength] = {};
  const MCIERROR error = mciSendStringW(open.c_str(), reply, kReplyLength, nullptr);
  if (error != 0) {
    wchar_t reason[256] = {};
    if (mciGetErrorStringW(error, reason, 256)) return toUtf8(reason);
    return "the system cannot open it (MCI error " + std::to_string(error) + ")";
  }
  mciSendStringW(L"close kamishibai_check", reply, kReplyLength, nullptr);
  return {};
}

}  // namespace kamishibai
