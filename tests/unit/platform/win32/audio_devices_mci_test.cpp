// Kamishibai: what the show's music and sound steps hand to the winmm functions on Windows: the
// exact command strings, the reply buffer, the sound flags, and the UTF-16 functions for a path
// the ANSI code page cannot name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/audio_devices_mci.h"
#include "show/show_audio.h"

namespace kamishibai {
namespace {

using ::testing::ElementsAre;

// What reached the recording stand-ins of the winmm functions, one line a call.
std::vector<std::string> calls;
// The reply the stand-in MCI gives to "status bgm mode"; empty: the command fails.
std::string statusReply;

std::string narrow(const std::wstring& text) {
  std::string result;
  for (wchar_t c : text) result += c < 0x80 ? static_cast<char>(c) : '?';
  return result;
}

DWORD WINAPI recordMciA(LPCSTR command, LPSTR reply, UINT length, HWND callback) {
  calls.push_back(std::string("A ") + command + " | " + std::to_string(length) +
                  (callback == nullptr ? "" : " with callback"));
  if (std::string(command) != "status bgm mode" || statusReply.empty())
    return MCIERR_INVALID_DEVICE_NAME;
  lstrcpynA(reply, statusReply.c_str(), static_cast<int>(length));
  return 0;
}

DWORD WINAPI recordMciW(LPCWSTR command, LPWSTR, UINT length, HWND) {
  calls.push_back("W " + narrow(command) + " | " + std::to_string(length));
  return MCIERR_INVALID_DEVICE_NAME;
}

std::string soundCall(const char* function, const std::string& sound, HMODULE module, DWORD flags) {
  char line[64];
  std::snprintf(line, sizeof line, " | %s | 0x%lX", module == nullptr ? "no module" : "module",
                static_cast<unsigned long>(flags));
  return function + (" " + sound) + line;
}

BOOL WINAPI recordSoundA(LPCSTR sound, HMODULE module, DWORD flags) {
  calls.push_back(soundCall("PlaySoundA", sound == nullptr ? "(none)" : sound, module, flags));
  return FALSE;
}

BOOL WINAPI recordSoundW(LPCWSTR sound, HMODULE module, DWORD flags) {
  calls.push_back(soundCall("PlaySoundW", narrow(sound), module, flags));
  return FALSE;
}

class MciAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    statusReply.clear();
  }
  AudioDevices devices =
      createMciAudioDevices({recordMciA, recordMciW, recordSoundA, recordSoundW});
};

TEST_F(MciAudioTest, TheShowsStepsReachMciAndPlaySoundAsCommandStringsAndFlags) {
  ShowAudio audio(*devices.music, *devices.sounds, "bgm.mid", "C:\\WINDOWS\\temp1\\", -1, -1);
  audio.startMusic();
  statusReply = "playing";
  audio.keepMusicAlive();
  statusReply = "stopped";
  audio.keepMusicAlive();
  audio.playSound("chime.wav");
  audio.finish();
  EXPECT_THAT(calls,
              ElementsAre("A open \"C:\\WINDOWS\\temp1\\bgm.mid\" alias bgm | 256",
                          "A play bgm | 256", "A status bgm mode | 256", "A status bgm mode | 256",
                          "A seek bgm to start | 256", "A play bgm | 256",
                          "PlaySoundA C:\\WINDOWS\\temp1\\chime.wav | no module | 0x20003",
                          "A close bgm | 256", "PlaySoundA (none) | no module | 0x40"));
}

TEST_F(MciAudioTest, TheReplyIsCopiedAndPaddedWithBlanksAndAFailureLeavesOnlyBlanks) {
  char reply[kReplyLength];
  statusReply = "stopped";
  devices.music->sendString("status bgm mode", reply, sizeof reply);
  EXPECT_EQ(std::string(reply, sizeof reply), "stopped" + std::string(kReplyLength - 7, ' '));
  devices.music->sendString("play bgm", reply, sizeof reply);
  EXPECT_EQ(std::string(reply, sizeof reply), std::string(kReplyLength, ' '));
}

// No ANSI code page holds this character; a UTF-8 code page holds every text and needs no
// second path.
TEST_F(MciAudioTest, APathTheAnsiCodePageCannotNameGoesToTheUtf16Functions) {
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "the ANSI code page is UTF-8";
  const std::string folder = "C:\\Users\\\xF0\x9F\x8E\xB5\\temp\\";
  ShowAudio audio(*devices.music, *devices.sounds, "bgm.wav", folder, -1, -1);
  audio.startMusic();
  audio.playSound("a.wav");
  EXPECT_THAT(calls, ElementsAre("W open \"C:\\Users\\??\\temp\\bgm.wav\" alias bgm | 256",
                                 "A play bgm | 256",
                                 "PlaySoundW C:\\Users\\??\\temp\\a.wav | no module | 0x20003"));
}

}  // namespace
}  // namespace kamishibai
