// Kamishibai: the settings file beside the program: two 16-bit switches, music and sounds.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kamishibai {

// 0 is off, any other value on; the program writes -1 for on.
struct SettingsSwitches {
  std::int16_t BgmOn = -1;
  std::int16_t SoundOn = -1;
};

// The switches from the file: both on when no normal file of that name exists (a folder or a
// device counts as absent); a switch that a short or unreadable file does not hold stays 0.
SettingsSwitches readSettingsFile(const std::string& path);

// The four bytes the dialog writes: each switch as a little-endian int16, -1 or 0.
std::array<std::uint8_t, 4> settingsFileBytes(bool bgmOn, bool soundOn);

// Replaces the file with those four bytes so that it is never left half-written; a
// std::system_error names the reason when it cannot, and the old file stays as it was.
void saveSettingsFile(const std::string& path, bool bgmOn, bool soundOn);

// The message shown when saving fails: the file and the reason.
std::string settingsSaveFailure(const std::string& path, const std::string& reason);

}  // namespace kamishibai
