// Kamishibai: reading and writing the settings file.
#include "startup/settings.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/file_names.h"
#include "platform/atomic_file.h"
#include "platform/normal_file.h"
#include "platform/translate.h"

namespace kamishibai {

namespace {

// Reads the next little-endian int16 into value; a value the file does not hold stays as it is.
void readSwitch(std::ifstream& in, std::int16_t& value) {
  char bytes[2];
  if (!in.read(bytes, 2)) return;
  value = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[0]) |
                                    (static_cast<std::uint8_t>(bytes[1]) << 8));
}

// 64-bit FNV-1a of the path's bytes in hex: short, and the same on every run.
std::string pathHash(const std::string& path) {
  std::uint64_t hash = 0xcbf29ce484222325;
  for (const char c : path) hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001b3;
  constexpr char kDigits[] = "0123456789abcdef";
  std::string hex(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) hex[static_cast<std::size_t>(i)] = kDigits[hash & 15];
  return hex;
}

}  // namespace

SettingsSwitches readSettingsFile(const std::string& path) {
  const std::filesystem::path file = pathFromUtf8(path);
  if (!isNormalFile(file)) return {};
  SettingsSwitches switches{0, 0};
  std::ifstream in(file, std::ios::binary);
  readSwitch(in, switches.BgmOn);
  readSwitch(in, switches.SoundOn);
  return switches;
}

std::array<std::uint8_t, 4> settingsFileBytes(bool bgmOn, bool soundOn) {
  const std::uint8_t bgm = bgmOn ? 0xFF : 0x00;
  const std::uint8_t sound = soundOn ? 0xFF : 0x00;
  return {bgm, bgm, sound, sound};
}

void saveSettingsFile(const std::string& path, bool bgmOn, bool soundOn) {
  using std::filesystem::perms;
  const auto bytes = settingsFileBytes(bgmOn, soundOn);
  replaceFileAtomically(
      pathFromUtf8(path), bytes,
      perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
}

std::string userSettingsFile(const std::string& userFolder, const std::string& besideFile) {
  const std::u8string name = pathFromUtf8(besideFile).stem().u8string();
  return userFolder + "/" + std::string(name.begin(), name.end()) + "-" + pathHash(besideFile) +
         ".set";
}

std::string settingsFileToRead(const SettingsFiles& files) {
  if (!files.user.empty() && isNormalFile(pathFromUtf8(files.user))) return files.user;
  return files.beside;
}

std::string saveSettings(const SettingsFiles& files, bool bgmOn, bool soundOn) {
  if (files.user.empty()) {
    saveSettingsFile(files.beside, bgmOn, soundOn);
    return files.beside;
  }
  std::filesystem::create_directories(pathFromUtf8(files.user).parent_path());
  saveSettingsFile(files.user, bgmOn, soundOn);
  return files.user;
}

std::string settingsSaveFailure(const std::string& path, const std::string& reason) {
  return std::string(tr("設定を保存できませんでした。")) + "\n" + path + "\n" + reason;
}

}  // namespace kamishibai
