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

// The switches from the file: both on when no normal file of that name exists (a folder, a
// device, and on Windows a hidden or system file count as absent); a switch that a short or
// unreadable file does not hold stays 0.
SettingsSwitches readSettingsFile(const std::string& path);

// The four bytes the dialog writes: each switch as a little-endian int16, -1 or 0.
std::array<std::uint8_t, 4> settingsFileBytes(bool bgmOn, bool soundOn);

// Replaces the file with those four bytes so that it is never left half-written; a
// std::system_error names the reason when it cannot, and the old file stays as it was.
void saveSettingsFile(const std::string& path, bool bgmOn, bool soundOn);

// A saver keeps its settings beside itself. One whose folder its user cannot write (an installed
// saver) keeps them in the user's configuration folder instead, under its name and a hash of its
// full path, so that two savers of one name in different folders keep their own.
struct SettingsFiles {
  std::string beside;  // the program's folder + name + ".set"
  // The user's file (userSettingsFile); empty for a saver whose own folder can be written, and
  // where no user's folder is known.
  std::string user;
};

// The user's file of the saver whose file beside itself would be besideFile (a full path):
// userFolder + "/" + name + "-" + 16 hex digits of a hash of besideFile + ".set".
std::string userSettingsFile(const std::string& userFolder, const std::string& besideFile);

// The file every mode reads: the user's file when it is a normal file, else the one beside (an
// installed saver may come with one).
std::string settingsFileToRead(const SettingsFiles& files);

// Saves the choice into the user's file when there is one (its folder made when missing), else
// beside the program. Returns the path written; a std::system_error when it cannot be written,
// and the old file stays as it was.
std::string saveSettings(const SettingsFiles& files, bool bgmOn, bool soundOn);

// The message shown when saving fails: the file and the reason.
std::string settingsSaveFailure(const std::string& path, const std::string& reason);

}  // namespace kamishibai
