// Kamishibai: the music device and the sound player on the system's MCI and PlaySound, through
// a table of the winmm functions so that tests can record what reaches them.
#pragma once

#include <windows.h>

#include "platform/audio_devices.h"

namespace kamishibai {

struct WinmmFunctions {
  DWORD(WINAPI* mciSendStringA)(LPCSTR command, LPSTR reply, UINT length, HWND callback);
  DWORD(WINAPI* mciSendStringW)(LPCWSTR command, LPWSTR reply, UINT length, HWND callback);
  BOOL(WINAPI* playSoundA)(LPCSTR sound, HMODULE module, DWORD flags);
  BOOL(WINAPI* playSoundW)(LPCWSTR sound, HMODULE module, DWORD flags);
};

// The show's texts are UTF-8. A text that the ANSI code page holds goes to the ANSI function
// (mciSendStringA, PlaySoundA), so a command reaches MCI exactly as the show wrote it; a path
// the code page cannot name (a user folder in another script) goes to the UTF-16 function,
// which opens the right file where the ANSI one would open a wrong name.
AudioDevices createMciAudioDevices(const WinmmFunctions& winmm);

}  // namespace kamishibai
