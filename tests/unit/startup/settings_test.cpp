// Kamishibai: the settings file: reading odd and short files, and the all-or-nothing save.
#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "startup/settings.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

SettingsSwitches readFrom(const ScratchFolder& folder, const Bytes& bytes) {
  writeBytes(folder.path() / "saver.set", bytes);
  return readSettingsFile((folder.path() / "saver.set").string());
}

TEST(SettingsRead, MissingFileOrNoNormalFileMeansBothOn) {
  ScratchFolder folder;
  const std::string path = (folder.path() / "saver.set").string();
  EXPECT_EQ(readSettingsFile(path).BgmOn, -1);
  EXPECT_EQ(readSettingsFile(path).SoundOn, -1);
  fs::create_directory(path);
  EXPECT_EQ(readSettingsFile(path).BgmOn, -1);
}

TEST(SettingsRead, ValuesAsStoredAndShortFilesLeaveZero) {
  ScratchFolder folder;
  SettingsSwitches s = readFrom(folder, {0x00, 0x00, 0xFF, 0xFF});
  EXPECT_EQ(s.BgmOn, 0);
  EXPECT_EQ(s.SoundOn, -1);
  s = readFrom(folder, {0x01, 0x00, 0x00, 0x00});
  EXPECT_EQ(s.BgmOn, 1);
  EXPECT_EQ(s.SoundOn, 0);
  s = readFrom(folder, {0x34, 0x12, 0x00, 0x80, 0xAA, 0xBB});
  EXPECT_EQ(s.BgmOn, 0x1234);
  EXPECT_EQ(s.SoundOn, -32768);
  s = readFrom(folder, {0xFF, 0xFF, 0x01});
  EXPECT_EQ(s.BgmOn, -1);
  EXPECT_EQ(s.SoundOn, 0);
  s = readFrom(folder, {0xFF});
  EXPECT_EQ(s.BgmOn, 0);
  EXPECT_EQ(s.SoundOn, 0);
  s = readFrom(folder, {});
  EXPECT_EQ(s.BgmOn, 0);
  EXPECT_EQ(s.SoundOn, 0);
}

TEST(SettingsSave, WritesExactlyFourBytesOverALongerFile) {
  ScratchFolder folder;
  const fs::path path = folder.path() / "saver.set";
  writeBytes(path, {1, 2, 3, 4, 5, 6, 7, 8});
  saveSettingsFile(path.string(), false, true);
  EXPECT_EQ(readBytes(path), (Bytes{0x00, 0x00, 0xFF, 0xFF}));
  saveSettingsFile(path.string(), true, false);
  EXPECT_EQ(readBytes(path), (Bytes{0xFF, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(fs::directory_iterator(folder.path())->path(), path);  // no temporary file left
}

TEST(SettingsSave, ReadOnlyFolderReportsAndKeepsTheOldFile) {
  ScratchFolder folder;
  const fs::path path = folder.path() / "saver.set";
  writeBytes(path, {1, 0, 1, 0, 9});
  fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
  if (std::ofstream(folder.path() / "probe"))
    GTEST_SKIP() << "the folder stays writable (for root, and on Windows)";
  try {
    saveSettingsFile(path.string(), false, false);
    FAIL() << "the save reported success";
  } catch (const std::system_error& error) {
    EXPECT_NE(std::string(error.what()).find(folder.str()), std::string::npos) << error.what();
  }
  EXPECT_EQ(readBytes(path), (Bytes{1, 0, 1, 0, 9}));
  const std::string message = settingsSaveFailure(path.string(), "Permission denied");
  EXPECT_NE(message.find(path.string()), std::string::npos);
  EXPECT_NE(message.find("Permission denied"), std::string::npos);
}

TEST(SettingsSave, AFolderInTheWayIsReported) {
  ScratchFolder folder;
  const fs::path path = folder.path() / "saver.set";
  fs::create_directories(path / "inside");
  EXPECT_THROW(saveSettingsFile(path.string(), true, true), std::system_error);
  EXPECT_TRUE(fs::is_directory(path / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

// An installed saver (its folder cannot be written) keeps its choice in the user's file, which is
// then read; until then it reads the file it came with. A saver whose folder can be written has no
// user's file and keeps its settings beside itself.
TEST(SettingsUserFile, AnInstalledSaverReadsAndWritesTheUsersFile) {
  ScratchFolder folder;
  const SettingsFiles files{(folder.path() / "saver.set").string(),
                            (folder.path() / "config" / "kamishibai" / "saver-1.set").string()};
  writeBytes(files.beside, {0, 0, 0, 0});
  EXPECT_EQ(settingsFileToRead(files), files.beside);
  EXPECT_EQ(saveSettings(files, false, true), files.user);
  EXPECT_EQ(readBytes(files.user), (Bytes{0x00, 0x00, 0xFF, 0xFF}));
  EXPECT_EQ(readBytes(files.beside), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(settingsFileToRead(files), files.user);

  const SettingsFiles writable{files.beside, ""};
  EXPECT_EQ(settingsFileToRead(writable), files.beside);
  EXPECT_EQ(saveSettings(writable, true, true), files.beside);
  EXPECT_EQ(readBytes(files.beside), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

// Two savers of one name in different folders have files of their own.
TEST(SettingsUserFile, NamedByTheSaversNameAndAHashOfItsPath) {
  const std::string folder = "/home/a/.config/kamishibai";
  const std::string demo = userSettingsFile(folder, "/usr/bin/demo.set");
  EXPECT_TRUE(demo.starts_with(folder + "/demo-")) << demo;
  EXPECT_TRUE(demo.ends_with(".set")) << demo;
  EXPECT_EQ(demo.size(), folder.size() + std::string("/demo-.set").size() + 16) << demo;
  EXPECT_EQ(demo, userSettingsFile(folder, "/usr/bin/demo.set"));
  EXPECT_NE(demo, userSettingsFile(folder, "/opt/savers/demo.set"));
}

TEST(SettingsUserFile, AUsersFileThatCannotBeWrittenIsReportedAndNothingChanges) {
  ScratchFolder folder;
  writeBytes(folder.path() / "config", {1});  // a file where the user's folder belongs
  const SettingsFiles files{(folder.path() / "saver.set").string(),
                            (folder.path() / "config" / "kamishibai" / "saver-1.set").string()};
  EXPECT_THROW(saveSettings(files, true, true), std::system_error);
  EXPECT_EQ(readBytes(folder.path() / "config"), Bytes{1});
  EXPECT_FALSE(fs::exists(files.beside));
}

}  // namespace
}  // namespace kamishibai
