// Kamishibai: start-up: the mode table, the "/A" number, the program paths and the order of the
// steps, driven through stand-in services.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>

#include "base/file_names.h"
#include "startup/module1.h"
#include "startup/paths.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

using ::testing::ElementsAre;

TEST(Module1Mode, FirstTwoCharactersUpperCased) {
  EXPECT_EQ(modeFromCommandLine("/S"), Mode::Show);
  EXPECT_EQ(modeFromCommandLine("/s"), Mode::Show);
  EXPECT_EQ(modeFromCommandLine("/sx 99"), Mode::Show);
  EXPECT_EQ(modeFromCommandLine("/c:1234"), Mode::Configure);
  EXPECT_EQ(modeFromCommandLine("/C"), Mode::Configure);
  EXPECT_EQ(modeFromCommandLine("/a 1234"), Mode::ChangePassword);
  EXPECT_EQ(modeFromCommandLine("/P 1234"), Mode::Preview);
}

TEST(Module1Mode, AnythingElseDoesNothing) {
  EXPECT_EQ(modeFromCommandLine(""), Mode::Nothing);
  EXPECT_EQ(modeFromCommandLine("/"), Mode::Nothing);
  EXPECT_EQ(modeFromCommandLine(" /S"), Mode::Nothing);
  EXPECT_EQ(modeFromCommandLine("-S"), Mode::Nothing);
  EXPECT_EQ(modeFromCommandLine("/X"), Mode::Nothing);
  EXPECT_EQ(modeFromCommandLine("S/"), Mode::Nothing);
}

TEST(Module1HandleNumber, ReadsTheLeadingNumber) {
  EXPECT_EQ(readHandleNumber(" 1234"), 1234);
  EXPECT_EQ(readHandleNumber("  42  "), 42);
  EXPECT_EQ(readHandleNumber("12abc"), 12);
  EXPECT_EQ(readHandleNumber("1 2"), 1);
  EXPECT_EQ(readHandleNumber("-7"), -7);
  EXPECT_EQ(readHandleNumber("+7"), 7);
  EXPECT_EQ(readHandleNumber("1e5"), 1);
  EXPECT_EQ(readHandleNumber("12.34.5"), 12);
  EXPECT_EQ(readHandleNumber("5."), 5);
}

TEST(Module1HandleNumber, NoNumberGivesZero) {
  EXPECT_EQ(readHandleNumber(""), 0);
  EXPECT_EQ(readHandleNumber(":1234"), 0);
  EXPECT_EQ(readHandleNumber("abc"), 0);
  EXPECT_EQ(readHandleNumber("-"), 0);
  EXPECT_EQ(readHandleNumber("."), 0);
  EXPECT_EQ(readHandleNumber("\t5"), 0);
}

TEST(Module1HandleNumber, RoundsHalfToEvenAndRejectsOutOfRange) {
  EXPECT_EQ(readHandleNumber("2.5"), 2);
  EXPECT_EQ(readHandleNumber("3.5"), 4);
  EXPECT_EQ(readHandleNumber("-2.5"), -2);
  EXPECT_EQ(readHandleNumber("1.5x"), 2);
  EXPECT_EQ(readHandleNumber(".5"), 0);
  EXPECT_EQ(readHandleNumber("2147483647"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(readHandleNumber("-2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(readHandleNumber("2147483648"), 0);
  EXPECT_EQ(readHandleNumber("-2147483649"), 0);
  EXPECT_EQ(readHandleNumber(std::string(400, '9')), 0);
}

// An absolute path written the POSIX way, in the form of the system the tests run on: on Windows
// on drive C: and with backslashes, as the system hands the executable's path to the program.
std::string systemPath(const std::string& posixPath) {
  if (!kWindowsFileNames) return posixPath;
  std::string path = "C:" + posixPath;
  std::replace(path.begin(), path.end(), '/', kPathSeparator);
  return path;
}

TEST(ProgramPaths, RootFolderGetsNoSecondSeparator) {
  EXPECT_EQ(programPaths(systemPath("/"), "saver").ownFile, systemPath("/saver.scr"));
  EXPECT_EQ(programPaths(systemPath("/"), "saver").settingsFile, systemPath("/saver.set"));
  EXPECT_EQ(programPaths(systemPath("/opt/savers"), "saver").ownFile,
            systemPath("/opt/savers/saver.scr"));
  EXPECT_EQ(programPathsFor(systemPath("/saver.bin")).ownFile, systemPath("/saver.scr"));
  EXPECT_EQ(programPathsFor(systemPath("/saver")).settingsFile, systemPath("/saver.set"));
}

TEST(ProgramPaths, OwnFileIsScrWhateverTheExtension) {
  const auto pathsFor = [](const std::string& executable) {
    return programPathsFor(systemPath(executable));
  };
  EXPECT_EQ(pathsFor("/opt/savers/saver").ownFile, systemPath("/opt/savers/saver.scr"));
  EXPECT_EQ(pathsFor("/opt/savers/saver.exe").ownFile, systemPath("/opt/savers/saver.scr"));
  EXPECT_EQ(pathsFor("/opt/savers/saver.exe").settingsFile, systemPath("/opt/savers/saver.set"));
  EXPECT_EQ(pathsFor("/opt/savers/my.saver.scr").ownFile, systemPath("/opt/savers/my.saver.scr"));
}

// Records every call in order; each answer can be set by the test.
class FakeServices : public StartupServices {
 public:
  std::vector<std::string> calls;
  bool running = false;
  bool display = true;
  PackageRecord record;
  SettingsSwitches switches{-1, -1};
  std::optional<std::string> parent;
  std::optional<std::string> fallback;
  std::int32_t foreground = 77;
  std::int32_t passwordOwner = -99;
  SettingsSwitches dialogShown{};
  std::vector<std::string> messages;
  std::function<void(const ShowInputs&)> onShow;
  bool signalled = false;
  bool windowFound = true;

  bool anotherCopyRunning(const std::string& ownFile) override {
    calls.push_back("lock " + ownFile);
    return running;
  }
  PackageRecord readPackage(const std::string& ownFile) override {
    calls.push_back("package " + ownFile);
    return record;
  }
  SettingsSwitches readSettings(const std::string& settingsFile) override {
    calls.push_back("settings " + settingsFile);
    return switches;
  }
  bool openDisplay() override {
    calls.push_back("display");
    return display;
  }
  void showMessage(const std::string& prompt, const std::string& title) override {
    calls.push_back("message");
    messages.push_back(title + ": " + prompt);
  }
  void runSettingsDialog(const std::string& settingsFile, SettingsSwitches shown) override {
    calls.push_back("dialog " + settingsFile);
    dialogShown = shown;
  }
  std::int32_t foregroundWindow() override {
    calls.push_back("foreground");
    return foreground;
  }
  void changePassword(std::int32_t ownerWindow) override {
    calls.push_back("password");
    passwordOwner = ownerWindow;
  }
  std::optional<std::string> workFoldersParent() override {
    calls.push_back("windows folder");
    return parent;
  }
  std::optional<std::string> fallbackWorkFoldersParent() override { return fallback; }
  void watchEndSignals() override { calls.push_back("watch signals"); }
  bool endSignalled() override { return signalled; }
  bool runShow(const ShowInputs& inputs) override {
    calls.push_back("show " + inputs.WorkDir);
    if (onShow) onShow(inputs);
    return windowFound;
  }
};

int run(const std::string& commandLine, FakeServices& services) {
  StartupState state;
  return runModule1(commandLine, systemPath("/opt/savers/saver.bin"), services, state);
}

const std::string kOwnFile = systemPath("/opt/savers/saver.scr");
const std::string kSettingsFile = systemPath("/opt/savers/saver.set");

TEST(Module1Steps, SecondCopyEndsBeforeReadingAnything) {
  for (const char* commandLine : {"/S", "/C", "/A", "/P", ""}) {
    FakeServices services;
    services.running = true;
    EXPECT_EQ(run(commandLine, services), 0);
    EXPECT_THAT(services.calls, ElementsAre("lock " + kOwnFile)) << commandLine;
  }
}

TEST(Module1Steps, PreviewAndUnknownModesReadPackageAndSettingsOnly) {
  for (const char* commandLine : {"/P 1234", "", " /S", "/X"}) {
    FakeServices services;
    EXPECT_EQ(run(commandLine, services), 0);
    EXPECT_THAT(services.calls,
                ElementsAre("lock " + kOwnFile, "package " + kOwnFile, "settings " + kSettingsFile))
        << commandLine;
  }
}

PictureEntry entry(const std::string& file, const std::string& sound,
                   std::vector<std::uint8_t> bytes) {
  PictureEntry e;
  e.FileName = file;
  e.SoundName = sound;
  e.FileData.data = ByteBuffer(bytes);
  e.SoundData.data = ByteBuffer(bytes);
  return e;
}

// A show of one picture whose work folder goes into the scratch folder.
FakeServices onePictureShowIn(const ScratchFolder& scratch) {
  FakeServices services;
  services.parent = scratch.str();
  services.record.PictureCount = 1;
  services.record.Pictures.shape = {1, 0};
  services.record.Pictures.entries = {entry("a.jpg", "", {1})};
  return services;
}

// No display, or a show without a window to run in (a host's window that is gone), fails.
TEST(Module1Steps, NoWindowEndsWithAnErrorStatus) {
  FakeServices services;
  services.display = false;
  services.record.HasSettings = -1;
  EXPECT_NE(run("/C", services), 0);
  EXPECT_EQ(services.calls.back(), "display");

  ScratchFolder scratch;
  FakeServices hostGone;
  hostGone.parent = scratch.str();
  hostGone.windowFound = false;
  EXPECT_NE(run("/S", hostGone), 0);
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "temp1"));

  // The show opens the display while its files are unpacked; without one they are removed.
  FakeServices noDisplay = onePictureShowIn(scratch);
  noDisplay.display = false;
  EXPECT_NE(run("/S", noDisplay), 0);
  EXPECT_EQ(noDisplay.calls.back(), "display");
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "temp1"));
}

TEST(Module1Steps, ConfigureShowsTheDialogOnlyWhenThePackageAllowsIt) {
  FakeServices without;
  run("/C:1234", without);
  EXPECT_THAT(without.messages, ElementsAre("スクリーンセーバー: 設定項目はありません"));

  FakeServices with;
  with.record.HasSettings = 1;
  with.switches = {0, -1};
  run("/c", with);
  EXPECT_EQ(with.calls.back(), "dialog " + kSettingsFile);
  EXPECT_EQ(with.dialogShown.BgmOn, 0);
  EXPECT_EQ(with.dialogShown.SoundOn, -1);
  EXPECT_TRUE(with.messages.empty());
}

TEST(Module1Steps, ChangePasswordOwnerFromTheNumberElseTheForegroundWindow) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"/A 1234", 1234}, {"/A", 77}, {"/A 0", 77}, {"/A:1234", 77}, {"/a  -5", -5}};
  for (const auto& [commandLine, owner] : cases) {
    FakeServices services;
    run(commandLine, services);
    EXPECT_EQ(services.passwordOwner, owner) << commandLine;
    EXPECT_EQ(services.calls.back(), "password");
  }
}

TEST(Module1Steps, ShowWithoutAWorkFolderParentSaysSoAndEnds) {
  FakeServices services;
  run("/S", services);
  EXPECT_THAT(services.messages, ElementsAre("モザリカ: 実行できません"));
  EXPECT_EQ(services.calls.back(), "message");
}

TEST(Module1Steps, ShowRunsWithTheWorkFilesInPlaceAndRemovesThemAfterwards) {
  ScratchFolder scratch;
  FakeServices services;
  services.parent = scratch.str();
  services.switches = {0, -1};
  services.record.PictureCount = 2;
  services.record.Pictures.shape = {1, 0};
  services.record.Pictures.entries = {entry("a.jpg", "", {1}), entry("b.jpg", "b.wav", {2})};
  const std::string workDir = scratch.str() + kPathSeparator + "temp1" + kPathSeparator;
  services.onShow = [&](const ShowInputs& inputs) {
    EXPECT_EQ(inputs.WorkDir, workDir);
    EXPECT_EQ(inputs.BgmOn, 0);
    EXPECT_EQ(inputs.SoundOn, -1);
    EXPECT_EQ(readBytes(workDir + "a.jpg"), std::vector<std::uint8_t>{1});
    EXPECT_EQ(readBytes(workDir + "b.wav"), std::vector<std::uint8_t>{2});
  };
  EXPECT_EQ(run("/s", services), 0);
  EXPECT_EQ(services.calls.back(), "show " + workDir);
  EXPECT_FALSE(std::filesystem::exists(workDir));
}

TEST(Module1Steps, ShowUsesTheFallbackFolderWhenTheWorkFolderCannotBeMade) {
  ScratchFolder scratch;
  FakeServices services;
  services.parent = (scratch.path() / "not-writable").string();
  services.fallback = scratch.str();
  const std::string workDir = scratch.str() + kPathSeparator + "temp1" + kPathSeparator;
  services.onShow = [&](const ShowInputs& inputs) {
    EXPECT_EQ(inputs.WorkDir, workDir);
    EXPECT_TRUE(std::filesystem::is_directory(workDir));
  };
  EXPECT_EQ(run("/S", services), 0);
  EXPECT_EQ(services.calls.back(), "show " + workDir);
  EXPECT_FALSE(std::filesystem::exists(workDir));
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "not-writable"));
}

// A host's window makes the show whatever the switch text says, and reaches the show.
TEST(Module1Steps, HostWindowRunsTheShowInIt) {
  ScratchFolder scratch;
  FakeServices services;
  services.parent = scratch.str();
  std::optional<HostWindow> shownIn;
  services.onShow = [&](const ShowInputs& inputs) { shownIn = inputs.host; };
  StartupState state;
  EXPECT_EQ(runModule1("", "/opt/savers/saver.bin", services, state,
                       HostWindow{HostWindow::Kind::Given, 0x2a00007}),
            0);
  ASSERT_TRUE(shownIn.has_value());
  EXPECT_EQ(shownIn->kind, HostWindow::Kind::Given);
  EXPECT_EQ(shownIn->id, 0x2a00007u);
}

// A stop that arrives while the files are unpacked ends without a show, the folder removed.
TEST(Module1Steps, AnEndSignalBeforeTheShowSkipsItAndRemovesTheWorkFolder) {
  ScratchFolder scratch;
  FakeServices services = onePictureShowIn(scratch);
  services.signalled = true;
  EXPECT_EQ(run("/S", services), 0);
  EXPECT_EQ(services.calls.back(), "display");
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "temp1"));
}

}  // namespace
}  // namespace kamishibai
