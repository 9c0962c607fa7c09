// Kamishibai: the password store and the desktop switch that says whether the show asks for it.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/desktop_ini.h"
#include "platform/password.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

DesktopFiles filesIn(const ScratchFolder& folder) {
  const fs::path config = folder.path() / "config" / "kamishibai";
  return {config / "password", config / "desktop.ini"};
}

std::optional<std::int32_t> usePasswordFrom(const ScratchFolder& folder, const std::string& ini) {
  const DesktopFiles files = filesIn(folder);
  fs::create_directories(files.desktopIni.parent_path());
  writeBytes(files.desktopIni, std::vector<std::uint8_t>(ini.begin(), ini.end()));
  return readScreenSaveUsePassword(files);
}

TEST(DesktopSwitch, IntegerAndTextValuesOnTheirFirstBytes) {
  ScratchFolder folder;
  const std::string group = "[Control Panel\\desktop]\n";
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=1\n"), 1);
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword = 0\n"), 0);
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=-1\n"), -1);
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=4294967295\n"), -1);
  EXPECT_EQ(usePasswordFrom(folder, "[control panel\\DESKTOP]\nscreensaveusepassword=7\n"), 7);
  // A text counts with its terminating NUL: "0" is the bytes 30 00, a password in use.
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=\"0\"\n"), 0x30);
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=\"\"\n"), 0);
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=\"abc\"\n"), 0x636261);
}

TEST(DesktopSwitch, MissingLongOrUnreadableValuesGiveNothing) {
  ScratchFolder folder;
  const std::string group = "[Control Panel\\desktop]\n";
  EXPECT_EQ(readScreenSaveUsePassword(filesIn(folder)), std::nullopt);
  EXPECT_EQ(usePasswordFrom(folder, "ScreenSaveUsePassword=1\n"), std::nullopt);
  EXPECT_EQ(usePasswordFrom(folder, "[Other]\nScreenSaveUsePassword=1\n" + group), std::nullopt);
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=\"abcd\"\n"), std::nullopt);
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=yes\n"), std::nullopt);
  EXPECT_EQ(usePasswordFrom(folder, group + "ScreenSaveUsePassword=4294967296\n"), std::nullopt);
  EXPECT_EQ(usePasswordFrom(folder, group + "; ScreenSaveUsePassword=1\n"), std::nullopt);
}

TEST(DesktopIni, SettingAValueKeepsEverythingElse) {
  const std::string group = "Control Panel\\desktop";
  const std::string text =
      "# mine\n[Other]\nScreenSaveUsePassword=5\n\n[Control Panel\\desktop]\n"
      "Wallpaper=\"x\"\nScreenSaveUsePassword=1\n\n[Last]\nA=1\n";
  const std::string changed = withIniValue(text, group, "ScreenSaveUsePassword", "0");
  EXPECT_EQ(changed,
            "# mine\n[Other]\nScreenSaveUsePassword=5\n\n[Control Panel\\desktop]\n"
            "Wallpaper=\"x\"\nScreenSaveUsePassword=0\n\n[Last]\nA=1\n");
  const std::string added = withIniValue("[Control Panel\\desktop]\nWallpaper=\"x\"\n\n[Last]\n",
                                         group, "ScreenSaveUsePassword", "1");
  EXPECT_EQ(added,
            "[Control Panel\\desktop]\nWallpaper=\"x\"\nScreenSaveUsePassword=1\n\n[Last]\n");
  EXPECT_EQ(withIniValue("", group, "ScreenSaveUsePassword", "1"),
            "[Control Panel\\desktop]\nScreenSaveUsePassword=1\n");
}

TEST(PasswordStore, SetVerifyChangeAndClear) {
  ScratchFolder folder;
  const DesktopFiles files = filesIn(folder);
  EXPECT_FALSE(hasPassword(files));
  EXPECT_FALSE(verifyPassword(files, ""));

  setPassword(files, "秘密 one");
  EXPECT_TRUE(hasPassword(files));
  EXPECT_TRUE(verifyPassword(files, "秘密 one"));
  EXPECT_FALSE(verifyPassword(files, "秘密 one "));
  EXPECT_EQ(readScreenSaveUsePassword(files), 1);
  EXPECT_EQ(fs::status(files.passwordFile).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(readText(files.passwordFile).find("秘密"), std::string::npos);

  setPassword(files, "two");
  EXPECT_FALSE(verifyPassword(files, "秘密 one"));
  EXPECT_TRUE(verifyPassword(files, "two"));

  clearPassword(files);
  EXPECT_FALSE(hasPassword(files));
  EXPECT_FALSE(verifyPassword(files, "two"));
  EXPECT_EQ(readScreenSaveUsePassword(files), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(files.passwordFile.parent_path()),
                          fs::directory_iterator()),
            1);  // desktop.ini only: no temporary files left
}

TEST(PasswordStore, DamagedHashFileVerifiesNothing) {
  ScratchFolder folder;
  const DesktopFiles files = filesIn(folder);
  fs::create_directories(files.passwordFile.parent_path());
  writeBytes(files.passwordFile, {'$', 'a', 'r', 'g'});
  EXPECT_FALSE(verifyPassword(files, ""));
  EXPECT_FALSE(verifyPassword(files, "$arg"));
  writeBytes(files.passwordFile, std::vector<std::uint8_t>(1000, 'x'));
  EXPECT_FALSE(verifyPassword(files, ""));
}

}  // namespace
}  // namespace kamishibai
