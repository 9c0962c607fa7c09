// Kamishibai: the password store and the desktop switch that says whether the show asks for it.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/linux/desktop_ini.h"
#include "platform/linux/password_sodium.h"
#include "platform/linux/password_store.h"
#include "tests/unit/scoped_variable.h"
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

// A relative folder would put the files wherever the program was started.
TEST(DesktopSwitch, TheFilesNeedAnAbsoluteConfigurationFolder) {
  using Environment = std::pair<std::optional<std::string>, std::optional<std::string>>;
  const std::vector<std::pair<Environment, std::optional<fs::path>>> cases = {
      {{"/xdg", "/home/u"}, "/xdg/kamishibai"},
      {{"xdg", "/home/u"}, "/home/u/.config/kamishibai"},
      {{std::nullopt, "/home/u"}, "/home/u/.config/kamishibai"},
      {{"xdg", "home"}, std::nullopt},
      {{std::nullopt, std::nullopt}, std::nullopt},
  };
  for (const auto& [environment, folder] : cases) {
    const ScopedVariable config("XDG_CONFIG_HOME", environment.first);
    const ScopedVariable home("HOME", environment.second);
    const auto files = DesktopFiles::forCurrentUser();
    ASSERT_EQ(files.has_value(), folder.has_value()) << environment.first.value_or("(unset)");
    if (!files) continue;
    EXPECT_EQ(files->passwordFile, *folder / "password");
    EXPECT_EQ(files->desktopIni, *folder / "desktop.ini");
  }
}

// A file far larger than any settings file is refused by name before it is read.
TEST(DesktopSwitch, AHugeFileIsAnErrorNamingIt) {
  ScratchFolder folder;
  const std::string group = "[Control Panel\\desktop]\nScreenSaveUsePassword=1\n";
  EXPECT_EQ(usePasswordFrom(folder, group + std::string(65536 - group.size(), ';')), 1);
  try {
    usePasswordFrom(folder, group + std::string(65537 - group.size(), ';'));
    ADD_FAILURE() << "a file over 64 KiB was read";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find(filesIn(folder).desktopIni.string() + " is too large"),
              std::string::npos)
        << error.what();
  }
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

PasswordState::Kind kindOf(const DesktopFiles& files) {
  return passwordState(files).kind;
}

// The hash with other memory (KiB) and time costs, its salt and hash kept.
std::string withCosts(const std::string& hash, std::uint64_t memory, std::uint64_t passes) {
  return "$argon2id$v=19$m=" + std::to_string(memory) + ",t=" + std::to_string(passes) + ",p=1" +
         hash.substr(hash.find("$", 30));
}

TEST(PasswordStore, SetVerifyChangeAndClear) {
  ScratchFolder folder;
  const DesktopFiles files = filesIn(folder);
  EXPECT_EQ(kindOf(files), PasswordState::Kind::NotSet);
  EXPECT_THROW(verifyPassword(files, ""), PasswordStoreError);

  setPassword(files, "秘密 one");
  EXPECT_EQ(kindOf(files), PasswordState::Kind::Usable);
  EXPECT_TRUE(verifyPassword(files, "秘密 one"));
  EXPECT_FALSE(verifyPassword(files, "秘密 one "));
  EXPECT_EQ(readScreenSaveUsePassword(files), 1);
  EXPECT_EQ(fs::status(files.passwordFile).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(files.passwordFile.parent_path()).permissions() & fs::perms::all,
            fs::perms::owner_all);
  EXPECT_EQ(readText(files.passwordFile).find("秘密"), std::string::npos);

  setPassword(files, "two");
  EXPECT_FALSE(verifyPassword(files, "秘密 one"));
  EXPECT_TRUE(verifyPassword(files, "two"));

  clearPassword(files);
  EXPECT_EQ(kindOf(files), PasswordState::Kind::NotSet);
  EXPECT_EQ(readScreenSaveUsePassword(files), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(files.passwordFile.parent_path()),
                          fs::directory_iterator()),
            1);  // desktop.ini only: no temporary files left
}

// The hash as the saver writes it, with the blanks an editor or echo leaves around it.
TEST(PasswordStore, BlanksAndLineEndsAroundAGoodHashAreIgnored) {
  ScratchFolder folder;
  const DesktopFiles files = filesIn(folder);
  setPassword(files, "pw");
  const std::string hash = readText(files.passwordFile);
  EXPECT_EQ(storedHashProblem(hash), "");
  for (const std::string& stored :
       {hash + "\n", hash + "\r\n", " " + hash, "\t" + hash + " \n\n"}) {
    writeBytes(files.passwordFile, std::vector<std::uint8_t>(stored.begin(), stored.end()));
    EXPECT_TRUE(verifyPassword(files, "pw")) << stored;
    EXPECT_FALSE(verifyPassword(files, "pW")) << stored;
    EXPECT_EQ(kindOf(files), PasswordState::Kind::Usable);
  }
}

// Every form of a damaged file is a failure of the check that names the file and the fault,
// never a wrong password that keeps the show running.
TEST(PasswordStore, AFileThatCannotBeUsedIsReportedWithItsName) {
  ScratchFolder folder;
  const DesktopFiles files = filesIn(folder);
  setPassword(files, "pw");
  const std::string hash = readText(files.passwordFile);
  const auto lastDollar = hash.rfind('$');
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"", "is empty"},
      {" \n", "is empty"},
      {hash.substr(0, hash.size() - 5), "cut short"},
      {hash.substr(0, lastDollar), "damaged"},
      {hash.substr(0, 20), "damaged"},
      {hash + " junk", "other text after"},
      {hash + "x", "other text after"},
      {hash + "\n" + hash, "other text after"},
      {"$2y$10$abcdefghijklmnopqrstuuJ0Qz2yzOWtqW1nR1pCtfyxe3S5Yp2mW", "not hold an argon2id"},
      {"$argon2i$v=19$m=65536,t=2,p=1$c29tZXNhbHRzb21lc2FsdA$"
       "aGFzaGhhc2hoYXNoaGFzaGhhc2hoYXNoaGFzaGhhc2g",
       "not hold an argon2id"},
      {withCosts(hash, 4294967295, 2), "more memory"},
      {withCosts(hash, 65536, 999999), "more memory"},
      // One past each limit: memory, time at the largest memory, time at less memory.
      {withCosts(hash, 1048577, 1), "more memory"},
      {withCosts(hash, 1048576, 5), "more memory"},
      {withCosts(hash, 65536, 65), "more memory"},
      // A good hash, but blanks take the file past its limit.
      {hash + std::string(4097 - hash.size(), ' '), "too large"},
  };
  for (const auto& [stored, fault] : damaged) {
    writeBytes(files.passwordFile, std::vector<std::uint8_t>(stored.begin(), stored.end()));
    try {
      verifyPassword(files, "pw");
      ADD_FAILURE() << "accepted: " << stored;
    } catch (const PasswordStoreError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(files.passwordFile.string()), std::string::npos) << message;
      EXPECT_NE(message.find(fault), std::string::npos) << message;
    }
    EXPECT_EQ(kindOf(files), PasswordState::Kind::Unusable) << stored;
  }

  fs::remove(files.passwordFile);
  EXPECT_THROW(verifyPassword(files, "pw"), PasswordStoreError);
  fs::create_directory(files.passwordFile);
  EXPECT_THROW(verifyPassword(files, "pw"), PasswordStoreError);
  EXPECT_EQ(kindOf(files), PasswordState::Kind::Unusable);
}

// The limits themselves are allowed.
TEST(PasswordStore, CostsAndSizeAtTheirLimitsAreUsable) {
  ScratchFolder folder;
  const DesktopFiles files = filesIn(folder);
  setPassword(files, "pw");
  const std::string hash = readText(files.passwordFile);
  for (const std::string& stored : {withCosts(hash, 1048576, 4), withCosts(hash, 65536, 64)}) {
    EXPECT_EQ(storedHashProblem(stored), "") << stored;
  }
  const std::string padded = hash + std::string(4096 - hash.size(), ' ');
  writeBytes(files.passwordFile, std::vector<std::uint8_t>(padded.begin(), padded.end()));
  EXPECT_TRUE(verifyPassword(files, "pw"));
}

// Either both files change or neither does. A desktop settings file that cannot be read (a link
// to nothing, one too large) is never replaced, since its other values would be lost; when the
// password file cannot be replaced or removed, the switch is put back as it was.
TEST(PasswordStore, AChangeThatCannotBeMadeWholeChangesNothing) {
  ScratchFolder folder;
  const DesktopFiles files = filesIn(folder);
  setPassword(files, "one");
  fs::remove(files.desktopIni);
  for (const bool tooLarge : {false, true}) {
    if (tooLarge) {
      writeText(files.desktopIni, std::string(65537, ';'));
    } else {
      fs::create_symlink("missing", files.desktopIni);
    }
    EXPECT_THROW(setPassword(files, "two"), std::runtime_error);
    EXPECT_THROW(clearPassword(files), std::runtime_error);
    EXPECT_TRUE(verifyPassword(files, "one"));
    EXPECT_EQ(fs::symlink_status(files.desktopIni).type(),
              tooLarge ? fs::file_type::regular : fs::file_type::symlink);
    fs::remove(files.desktopIni);
  }

  const std::string ini = "[Control Panel\\desktop]\nWallpaper=\"w\"\nScreenSaveUsePassword=1\n";
  writeText(files.desktopIni, ini);
  fs::remove(files.passwordFile);
  fs::create_directories(files.passwordFile / "inside");
  EXPECT_THROW(clearPassword(files), std::runtime_error);
  EXPECT_EQ(readText(files.desktopIni), ini);
  writeText(files.desktopIni, "[Control Panel\\desktop]\nScreenSaveUsePassword=0\n");
  EXPECT_THROW(setPassword(files, "two"), std::runtime_error);
  EXPECT_EQ(readScreenSaveUsePassword(files), 0);
  fs::remove(files.desktopIni);
  EXPECT_THROW(setPassword(files, "two"), std::runtime_error);
  EXPECT_EQ(namesIn(files.passwordFile.parent_path()), std::vector<std::string>{"password"});
}

// A configuration folder that is a link keeps its target's mode.
TEST(PasswordStore, AFolderReachedThroughALinkKeepsItsMode) {
  ScratchFolder folder;
  const fs::path shared = folder.path() / "shared";
  fs::create_directories(shared);
  fs::create_directories(folder.path() / "config");
  fs::create_directory_symlink(shared, folder.path() / "config" / "kamishibai");
  const auto mode = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
  fs::permissions(shared, mode);
  setPassword(filesIn(folder), "pw");
  EXPECT_EQ(fs::status(shared).permissions() & fs::perms::all, mode);
  EXPECT_TRUE(verifyPassword(filesIn(folder), "pw"));
}

// A new password replaces one that cannot be used.
TEST(PasswordStore, ANewPasswordReplacesAnUnusableFile) {
  ScratchFolder folder;
  const DesktopFiles files = filesIn(folder);
  fs::create_directories(files.passwordFile.parent_path());
  writeBytes(files.passwordFile, {'$', 'a', 'r', 'g'});
  setPassword(files, "new");
  EXPECT_TRUE(verifyPassword(files, "new"));
}

}  // namespace
}  // namespace kamishibai
