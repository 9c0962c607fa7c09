// Kamishibai: the show's opt-in refresh log: what a show writes into it, that the time is taken
// after the platform's present, and that a log which cannot be written never stops the show.
#include "show/refresh_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/unit/scoped_variable.h"
#include "tests/unit/show/show_support.h"
#ifndef _WIN32
#include "tests/unit/small_disk.h"
#endif

namespace kamishibai::testing {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// One line of the log split into its kind and its numbers.
struct LogLine {
  std::string kind;
  std::vector<long long> numbers;
};

std::vector<LogLine> readLog(const std::string& path) {
  std::vector<LogLine> lines;
  std::ifstream file(path);
  for (std::string text; std::getline(file, text);) {
    std::istringstream fields(text);
    LogLine line;
    fields >> line.kind;
    for (long long number; fields >> number;) line.numbers.push_back(number);
    lines.push_back(line);
  }
  return lines;
}

class RefreshLogTest : public ShowTest {
 protected:
  std::string logPath = workFile("refreshes.log");
};

TEST_F(RefreshLogTest, ShowLogsEachRefreshWithWhetherItPresentedAndEachTransitionStart) {
  writePicture({"red.png", 8, 6, kRed, {}});
  writePicture({"green.png", 8, 6, kGreen, {}});
  addEntry("red.png", 100, 1);
  addEntry("green.png", 100, 1);
  addEntry("green.png", 100, 0);
  keyAt(3500);
  {
    ScopedVariable variable(kRefreshLogVariable, logPath);
    runShow();
  }
  form.reset();  // writes the log out

  const std::vector<LogLine> lines = readLog(logPath);
  ASSERT_FALSE(lines.empty());
  // The first picture, put on screen before any transition.
  EXPECT_EQ(lines[0].kind, "refresh");
  EXPECT_THAT(std::vector(lines[0].numbers.begin() + 1, lines[0].numbers.end()),
              ElementsAre(kStartTick, 1));

  std::vector<std::vector<long long>> transitions;
  // Per transition: whether each of its Refreshes presented anything.
  std::vector<std::vector<long long>> presented;
  for (const LogLine& line : lines) {
    if (line.kind == "transition") {
      ASSERT_EQ(line.numbers.size(), 5u);
      transitions.push_back({line.numbers.begin() + 1, line.numbers.end()});
      presented.emplace_back();
    } else {
      ASSERT_EQ(line.kind, "refresh");
      ASSERT_EQ(line.numbers.size(), 3u);
      if (!presented.empty()) presented.back().push_back(line.numbers[2]);
    }
  }
  // Tick, code, display deadline, speed factor: each transition begins at the first tick after
  // its deadline.
  ASSERT_GE(transitions.size(), 3u);
  EXPECT_THAT(transitions[0], ElementsAre(kStartTick + 101, 1, kStartTick + 100, 1));
  for (const auto& transition : transitions) EXPECT_EQ(transition[0], transition[2] + 1);
  EXPECT_THAT(std::vector({transitions[1][1], transitions[2][1]}), ElementsAre(1, 0));
  // Red to green changes pixels; green to the same green changes none, yet each of its steps
  // still refreshes.
  EXPECT_THAT(presented[0], ::testing::Contains(1));
  EXPECT_GE(presented[1].size(), 2u);
  EXPECT_THAT(presented[1], Each(0));
}

TEST_F(RefreshLogTest, TimeIsTakenAfterThePlatformsPresentReturns) {
  Surface surface(4, 4);
  int presents = 0;
  // A present that takes 5 ms of the virtual clock.
  surface.setRefreshHook([&](const ChangedArea&) {
    ++presents;
    events.advance(5);
  });
  {
    RefreshLog log(logPath);
    ASSERT_TRUE(log.open());
    log.watch(surface, events);
    surface.fillBox(0, 0, 1, 1, kWhite);
    surface.refresh();
    surface.refresh();
    log.transitionStarted(events, 35, 1009, 4);
  }
  EXPECT_EQ(presents, 2);
  const std::vector<LogLine> lines = readLog(logPath);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].kind, "refresh");
  EXPECT_THAT(std::vector(lines[0].numbers.begin() + 1, lines[0].numbers.end()),
              ElementsAre(kStartTick + 5, 1));
  EXPECT_THAT(std::vector(lines[1].numbers.begin() + 1, lines[1].numbers.end()),
              ElementsAre(kStartTick + 10, 0));
  EXPECT_EQ(lines[2].kind, "transition");
  EXPECT_THAT(std::vector(lines[2].numbers.begin() + 1, lines[2].numbers.end()),
              ElementsAre(kStartTick + 10, 35, 1009, 4));
  EXPECT_LE(lines[0].numbers[0], lines[1].numbers[0]);
}

TEST_F(RefreshLogTest, LogThatCannotBeWrittenIsReportedOnceAndTheShowGoesOn) {
  writePicture({"red.png", 8, 6, kRed, {}});
  writePicture({"green.png", 8, 6, kGreen, {}});
  addEntry("red.png", 100, kProbeCode);
  addEntry("green.png", 100, kProbeCode);
  keyAt(1350);
  const std::string missing = workFile("no-such-folder/refreshes.log");
  ::testing::internal::CaptureStderr();
  {
    ScopedVariable variable(kRefreshLogVariable, missing);
    runShow();
  }
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(said, HasSubstr("cannot open the refresh log \"" + missing + "\""));
  EXPECT_EQ(said.find("refresh log"), said.rfind("refresh log"));
  // The show ran as without a log: four transitions (the key at 1350 cuts the last wait short) and
  // their Refreshes.
  EXPECT_EQ(probeCalls().size(), 4u);
  EXPECT_EQ(std::count(log.begin(), log.end(), "refresh"), 5);
}

#ifndef _WIN32
TEST_F(RefreshLogTest, AFullDiskIsReportedWhenTheLogCloses) {
  // The lines go into the buffer, and the disk, filled to its last byte, refuses them when they
  // are written out: the show is over by then, and the loss is said.
  const SmallDisk disk(workFile("disk"), 4096);
  if (!disk.mounted()) GTEST_SKIP() << disk.reason();
  writeBytes(disk.path() / "filler", std::vector<std::uint8_t>(4096, 1));
  const std::string path = (disk.path() / "refreshes.log").string();
  Surface surface(2, 2);
  ::testing::internal::CaptureStderr();
  {
    RefreshLog full(path);
    ASSERT_TRUE(full.open());
    full.watch(surface, events);
    surface.refresh();
  }
  EXPECT_THAT(::testing::internal::GetCapturedStderr(),
              HasSubstr("the refresh log \"" + path + "\" could not be written in full"));
}
#endif

TEST(RefreshLogVariable, WithoutTheVariableTheShowKeepsNoLog) {
  const ScopedVariable unset(kRefreshLogVariable, std::nullopt);
  EXPECT_EQ(RefreshLog::fromEnvironment(), nullptr);
}

}  // namespace
}  // namespace kamishibai::testing
