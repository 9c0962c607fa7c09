// Kamishibai: the show's single error handler: every failure of the error list ends in the one
// message box, with a plain description, after the finish steps of whatever had started.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <limits>

#include "base/file_names.h"
#include "tests/unit/picture_bytes.h"
#include "tests/unit/show/show_support.h"

namespace kamishibai::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

class ShowErrorTest : public ShowTest {
 protected:
  ShowErrorTest() {
    record.BgmName = "m.ogg";
    writePicture({"a.png", 4, 3, kRed, {}});
    writePicture({"b.png", 4, 3, kGreen, {}});
  }
  // The message box was shown with the description and a source.
  void expectError(const std::string& description) {
    EXPECT_EQ(window.errorTitle(), "エラー");
    EXPECT_THAT(window.errorPrompt(), StartsWith("不明のエラーが発生しました。\r\n"));
    EXPECT_THAT(window.errorPrompt(), HasSubstr(description));
    EXPECT_THAT(window.errorPrompt(), HasSubstr("\r\nForm1: "));
  }
};

TEST_F(ShowErrorTest, MissingFirstPictureIsReportedBeforeTheWindowIsShown) {
  addEntry("missing.png");
  runShow();
  expectError("missing.png");
  EXPECT_FALSE(window.shownAtError());
  EXPECT_FALSE(window.shown());
  EXPECT_FALSE(window.screenSaverRunning());
  EXPECT_EQ(window.cursorCounter(), 0);
  EXPECT_TRUE(log.empty());
}

// The music is closed, so that its work file can be deleted, the sounds stop, the grab is
// released and the cursor shows for the message.
TEST_F(ShowErrorTest, MissingLaterPictureEndsTheShowAsAnyEndDoes) {
  addEntry("a.png");
  addEntry("gone.png");
  runShow();
  expectError("gone.png");
  EXPECT_TRUE(window.shownAtError());
  EXPECT_FALSE(window.screenSaverRunning());
  EXPECT_EQ(window.cursorCounter(), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "music: close bgm"), 1);
  EXPECT_EQ(log.back(), "sound purge 64");
}

// A picture bomb: the header promises 20000 x 20000 pixels in a few bytes. It is refused from
// the header, before the loader would try to decode it, also in a work folder whose name is not
// ASCII (a user's temporary folder on Windows may have one).
TEST_F(ShowErrorTest, PictureTooLargeIsRefusedFromItsHeader) {
  workDir /= u8"一時";
  std::filesystem::create_directory(workDir);
  writePicture({"a.png", 4, 3, kRed, {}});
  const PictureBytes bomb = pngHeaderOnly(20000, 20000);
  std::ofstream(workDir / "bomb.png", std::ios::binary)
      .write(reinterpret_cast<const char*>(bomb.data()), static_cast<std::streamsize>(bomb.size()));
  addEntry("a.png");
  addEntry("bomb.png");
  runShow();
  expectError("\"bomb.png\" of picture entry 1 is too large: 20000 x 20000 pixels");
}

TEST_F(ShowErrorTest, PictureNameReachingOutsideTheWorkFolderIsNotRead) {
  addEntry("a.png");
  addEntry("../a.png");
  runShow();
  expectError("\"../a.png\"");
}

// Windows reads a.png for A.png, so a name that differs only in letter case from an earlier one
// is refused rather than showing the earlier picture.
TEST_F(ShowErrorTest, OnWindowsANameDifferingOnlyInCaseIsNotRead) {
  if (!kWindowsFileNames) GTEST_SKIP() << "file names keep their case here";
  addEntry("a.png");
  addEntry("A.png");
  runShow();
  expectError(
      "\"A.png\" of picture entry 1: an earlier picture's name differs from it only in letter "
      "case");
}

// A stored name of 65,535 bytes, with and without blanks, is shortened in the message, so the
// box keeps to the screen; its start and end stay readable.
TEST_F(ShowErrorTest, AnyLongNameIsShortenedWithAnEllipsis) {
  for (const char filler : {'n', ' '}) {
    const std::string name = "start" + std::string(65525, filler) + "x.png";
    addEntry(name);
    runShow();
    expectError("x.png");
    EXPECT_THAT(window.errorPrompt(), HasSubstr("…"));
    EXPECT_THAT(window.errorPrompt(), Not(HasSubstr(std::string(100, filler))));
    EXPECT_LT(window.errorPrompt().size(), 1500u);
    record.Pictures.entries.clear();
  }
}

TEST_F(ShowErrorTest, PictureCountLargerThanTheEntriesNamesTheIndex) {
  addEntry("a.png");
  record.PictureCount = 3;
  runShow();
  expectError("picture index 1");
}

TEST_F(ShowErrorTest, EmptyPictureListNamesTheFirstIndex) {
  record.PictureCount = 0;
  runShow();
  expectError("picture index 0");
  EXPECT_FALSE(window.shown());
}

TEST_F(ShowErrorTest, DeadlineOutsideTheSignedRangeNamesTheValues) {
  addEntry("a.png", std::numeric_limits<std::int32_t>::max());
  addEntry("b.png");
  runShow();
  expectError("tick 1000 + ShowTime 2147483647");
}

TEST_F(ShowErrorTest, SpeedOf31OverflowsTheSpeedFactor) {
  addEntry("a.png", 10).Speed = 31;
  addEntry("b.png", 10);
  runShow();
  expectError("speed factor 2^31 of picture entry 0");
}

TEST_F(ShowErrorTest, NegativeSpeedMakesATransitionDivideByZero) {
  addEntry("a.png", 10, 19).Speed = -1;
  addEntry("b.png", 10);
  runShow();
  expectError("speed factor is 0");
  EXPECT_THAT(window.errorPrompt(), HasSubstr("effect 19"));
}

TEST_F(ShowErrorTest, NegativeSpeedWithThePlainCutIsNoError) {
  addEntry("a.png", 10, 0).Speed = -1;
  addEntry("b.png", 10);
  keyAt(1030);
  runShow();
  EXPECT_TRUE(window.errorPrompt().empty());
  EXPECT_FALSE(window.screenSaverRunning());
}

}  // namespace
}  // namespace kamishibai::testing
