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

// The settings of a saver that cannot keep them beside itself (one installed in a system
// folder): NAME.set in the user's configuration folder. The user's file is read first when it
// exists, and the dialog's choice goes where it will be read.
struct SettingsFiles {
  std::string beside;  // the program's folder + name + ".set"
  std::string user;    // the user's configuration folder + name + ".set"; empty when unknown
};

// The user's file of a program: folder + "/" + the settings file's own name.
std::string userSettingsFile(const std::string& userFolder, const std::string& besideFile);

// The file every mode reads: the user's file when a normal file is there, else the one beside.
std::string settingsFileToRead(const SettingsFiles& files);

// Saves the choice into the file that is read: the user's file when it exists; else beside the
// program, and, when that cannot be written, the user's file (its folder made when missing).
// Returns the path written; a std::system_error when no file can be written, and every old file
// stays as it was.
std::string saveSettings(const SettingsFiles& files, bool bgmOn, bool soundOn);

// The message shown when saving fails: the file and the reason.
std::string settingsSaveFailure(const std::string& path, const std::string& reason);

}  // namespace kamishibai
