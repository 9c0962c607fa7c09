// Kamishibai: the Windows services: stored names on the Windows file system, the work folder and
// its fallback, the running-copy mutex, the registry switch, the password module, the tick
// count and the wait, the settings file's attributes, and the own-file rule with Windows paths.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_names.h"
#include "platform/folder_lock.h"
#include "platform/instance_lock.h"
#include "platform/user_folders.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/password_dialog_win32.h"
#include "startup/paths.h"
#include "startup/settings.h"
#include "startup/work_folder.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

PictureEntry entryNamed(const std::string& name) {
  PictureEntry entry;
  entry.FileName = name;
  entry.FileData = {{1, 0}, ByteBuffer(std::vector<std::uint8_t>{7})};
  return entry;
}

TEST(WindowsWorkFiles, NamesWindowsWouldNotStoreAsPlainFilesAreNeverWrittenOrRead) {
  ScratchFolder scratch;
  const std::string workDir = prepareWorkFolder(scratch.str()).path;
  ASSERT_EQ(workDir, scratch.str() + "\\temp1\\");
  PackageRecord record;
  record.BgmName = "NUL";
  record.BgmData = {{1, 0}, ByteBuffer(std::vector<std::uint8_t>{1})};
  for (const char* name :
       {"CON.jpg", "trail.jpg. ", "pic.jpg:stream", "c:x.jpg", "com1", "ok.jpg"}) {
    record.Pictures.entries.push_back(entryNamed(name));
  }
  record.PictureCount = static_cast<std::int32_t>(record.Pictures.entries.size());
  record.Pictures.shape = {1, 0};
  writeWorkFiles(record, workDir);
  EXPECT_THAT(namesIn(workDir), ElementsAre("ok.jpg"));
  removeWorkFiles(record, workDir);
  EXPECT_FALSE(fs::exists(scratch.path() / "temp1"));
}

TEST(WindowsWorkFolder, TheWindowsFolderElseTheUsersTemporaryFolder) {
  const auto windows = workFoldersParent();
  ASSERT_TRUE(windows.has_value());
  EXPECT_TRUE(fs::is_directory(pathFromUtf8(*windows)));
  const auto temporary = fallbackWorkFoldersParent();
  ASSERT_TRUE(temporary.has_value());
  EXPECT_NE(temporary->back(), '\\');
  EXPECT_TRUE(fs::is_directory(pathFromUtf8(*temporary)));

  ScratchFolder scratch;
  const std::string unwritable = scratch.str() + "\\no such folder";
  const WorkFolder folder = prepareWorkFolder(unwritable, scratch.str());
  const std::string& workDir = folder.path;
  EXPECT_EQ(workDir, scratch.str() + "\\temp1\\");
  EXPECT_TRUE(fs::is_directory(scratch.path() / "temp1"));
}

TEST(WindowsFolders, EntriesListedAndTreesRemovedWithReadOnlyFiles) {
  ScratchFolder scratch;
  const fs::path tree = scratch.path() / "tree";
  fs::create_directories(tree / "inner");
  writeBytes(tree / "a.jpg", {1});
  writeBytes(tree / "inner" / "b.wav", {2});
  SetFileAttributesW((tree / "a.jpg").c_str(), FILE_ATTRIBUTE_READONLY);
  std::vector<std::string> names = folderEntryNames(tree.string());
  std::sort(names.begin(), names.end());
  EXPECT_THAT(names, ElementsAre("a.jpg", "inner"));
  EXPECT_TRUE(FolderLock::tryLock(tree.string()).held());
  EXPECT_FALSE(FolderLock::tryLock((tree / "a.jpg").string()).held());
  EXPECT_TRUE(removeFolderTree(tree.string() + "\\"));
  EXPECT_FALSE(fs::exists(tree));
}

TEST(WindowsRunningCopy, OneMutexPerOwnFileWhateverItsSpelling) {
  ScratchFolder scratch;
  const std::string ownFile = scratch.str() + "\\saver.scr";
  {
    InstanceLock first(ownFile);
    EXPECT_EQ(first.state(), InstanceLock::State::Held);
    EXPECT_EQ(InstanceLock(ownFile).state(), InstanceLock::State::HeldByAnotherCopy);
    std::string otherCase = ownFile;
    for (char& c : otherCase) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(InstanceLock(otherCase).state(), InstanceLock::State::HeldByAnotherCopy);
    EXPECT_EQ(InstanceLock(scratch.str() + "\\.\\saver.scr").state(),
              InstanceLock::State::HeldByAnotherCopy);
    EXPECT_EQ(InstanceLock(scratch.str() + "\\other.scr").state(), InstanceLock::State::Held);
  }
  EXPECT_EQ(InstanceLock(ownFile).state(), InstanceLock::State::Held);
}

// A key of the test's own under HKEY_CURRENT_USER, removed afterwards.
class RegistryValues : public ::testing::Test {
 protected:
  static constexpr const char* kSubkey = "Software\\Kamishibai tests";
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSubkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key_);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSubkey);
  }
  void set(const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  std::optional<std::int32_t> read(const char* name) {
    return readRegistryInt32(HKEY_CURRENT_USER, kSubkey, name);
  }
  HKEY key_ = nullptr;
};

TEST_F(RegistryValues, TheFirstBytesDecideWhateverTheType) {
  const DWORD zero = 0;
  const DWORD one = 1;
  const std::uint64_t wide = 1;
  set("Off", REG_DWORD, &zero, sizeof zero);
  set("On", REG_DWORD, &one, sizeof one);
  set("TextZero", REG_SZ, "0", 2);
  set("Long", REG_QWORD, &wide, sizeof wide);
  EXPECT_EQ(read("Off"), 0);
  EXPECT_EQ(read("On"), 1);
  EXPECT_EQ(read("TextZero"), '0');
  EXPECT_EQ(read("Long"), std::nullopt);
  EXPECT_EQ(read("Missing"), std::nullopt);
  EXPECT_EQ(readRegistryInt32(HKEY_CURRENT_USER, "Software\\Kamishibai no such key", "On"),
            std::nullopt);
}

// The stand-in module built beside the test program.
std::wstring standInModule() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return (fs::path(std::wstring(path, length)).parent_path() / "password.cpl").wstring();
}

TEST(PasswordModule, AMissingModuleCountsAsVerified) {
  EXPECT_TRUE(verifyScreenSaverPassword(L"kamishibai-no-such-module.cpl", nullptr));
  EXPECT_TRUE(verifyScreenSaverPassword(L"kernel32.dll", nullptr));  // no such function
}

TEST(PasswordModule, TheModulesAnswerDecides) {
  ScratchFolder scratch;
  const fs::path answer = scratch.path() / "answer";
  const fs::path calls = scratch.path() / "calls";
  SetEnvironmentVariableW(L"KAMISHIBAI_PASSWORD_ANSWER", answer.wstring().c_str());
  SetEnvironmentVariableW(L"KAMISHIBAI_PASSWORD_CALLS", calls.wstring().c_str());
  writeBytes(answer, {'0'});
  EXPECT_FALSE(verifyScreenSaverPassword(standInModule().c_str(), nullptr));
  writeBytes(answer, {'1'});
  EXPECT_TRUE(verifyScreenSaverPassword(standInModule().c_str(), nullptr));
  EXPECT_EQ(readText(calls), "no owner\nno owner\n");
  SetEnvironmentVariableW(L"KAMISHIBAI_PASSWORD_ANSWER", nullptr);
  SetEnvironmentVariableW(L"KAMISHIBAI_PASSWORD_CALLS", nullptr);
}

TEST(WindowsEventLoop, TicksCountFromTheProgramsStartAndWaitsEndOnAMessage) {
  Win32EventLoop events;
  const std::int32_t start = events.tickCount();
  EXPECT_GE(start, 0);
  EXPECT_LT(start, 10 * 60 * 1000);  // the system's count would hold the machine's uptime
  const EndFlag endFlag = kFalse;
  const std::int32_t deadline = start + 30;
  EXPECT_EQ(waitForDeadline(events, endFlag, deadline), WaitResult::DeadlinePassed);
  EXPECT_GT(events.tickCount(), deadline);

  // A queued message ends a wait long before its deadline.
  PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
  events.waitForEventOrDeadline(events.tickCount() + 60 * 60 * 1000);
  MSG message{};
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_REMOVE));
}

// A hidden or a system settings file counts as absent: both switches are on.
TEST(WindowsSettingsFile, AHiddenOrSystemFileCountsAsAbsent) {
  ScratchFolder scratch;
  const fs::path file = scratch.path() / "saver.set";
  writeBytes(file, {0, 0, 0, 0});
  EXPECT_EQ(readSettingsFile(file.string()).BgmOn, 0);
  for (const DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), attribute));
    const SettingsSwitches switches = readSettingsFile(file.string());
    EXPECT_EQ(switches.BgmOn, -1) << attribute;
    EXPECT_EQ(switches.SoundOn, -1) << attribute;
  }
}

TEST(WindowsProgramPaths, OwnFileBesideTheExecutableWithBackslashes) {
  EXPECT_EQ(programPathsFor("C:\\Savers\\demo.exe").ownFile, "C:\\Savers\\demo.scr");
  EXPECT_EQ(programPathsFor("C:\\Savers\\demo.exe").settingsFile, "C:\\Savers\\demo.set");
  EXPECT_EQ(programPathsFor("C:\\demo.scr").ownFile, "C:\\demo.scr");
  EXPECT_EQ(programPathsFor("C:\\スライド\\見本.scr").ownFile, "C:\\スライド\\見本.scr");
}

}  // namespace
}  // namespace kamishibai
