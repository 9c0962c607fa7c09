// Kamishibai: Form1's setup and slide-show loop on the headless window: the order of the steps,
// the timeline of a picture, the display time, the dispatch by effect code, the composition of
// the frames and the wrap.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "tests/unit/effects/effects_support.h"
#include "tests/unit/show/show_support.h"

namespace kamishibai::testing {
namespace {

using ::testing::ElementsAre;

class ShowLoopTest : public ShowTest {
 protected:
  // Two full-area pictures, red and green, and a smaller green one.
  void writeRedGreen() {
    writePicture({"a.png", 8, 6, kRed, {}});
    writePicture({"b.png", 8, 6, kGreen, {}});
  }
  // Every Refresh of Picture1 as a frame.
  void recordFrames() {
    window.onRefresh([this] {
      log.push_back("refresh");
      frames.push_back(snapshot(form->picture1()));
    });
  }
  std::vector<std::string> soundsPlayed() const {
    std::vector<std::string> played;
    for (const std::string& line : log) {
      if (line.rfind("sound: ", 0) == 0) played.push_back(line.substr(line.rfind('/') + 1));
    }
    return played;
  }

  std::vector<Frame> frames;
};

// A picture drawn as rows of letters: R red, G green, B the area colour.
std::function<Colour(std::int32_t, std::int32_t)> picture(std::vector<std::string> rows) {
  return [rows = std::move(rows)](std::int32_t x, std::int32_t y) {
    switch (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) {
      case 'R':
        return kRed;
      case 'G':
        return kGreen;
      default:
        return kAreaColour;
    }
  };
}

TEST_F(ShowLoopTest, StepsRunInOrderAndEachPictureKeepsItsDisplayTime) {
  writeRedGreen();
  record.BgmName = "m.ogg";
  PictureEntry& first = addEntry("a.png", 100, kProbeCode);
  first.Speed = 1;
  first.SoundName = "a.wav";
  addEntry("b.png", 50, kProbeCode).SoundName = "b.wav";
  keyAt(1120);
  runShow();

  const std::string dir = workDir.string() + "/";
  EXPECT_THAT(log, ElementsAre("music: open \"" + dir + "m.ogg\" alias bgm", "music: play bgm",
                               "refresh",  // the first picture, without transition or sound
                               "sound: " + dir + "b.wav", "transition S=2", "refresh",
                               "music: status bgm mode",  // entry 0 left for entry 1
                               "sound: " + dir + "a.wav", "transition S=1", "refresh",
                               "music: status bgm mode",  // entry 1 left, cut short by the key
                               "music: close bgm", "sound purge 64"));
  ASSERT_EQ(probeCalls().size(), 2u);
  // Entry 0 stays until the first tick after 1000 + 100; entry 1 from there for 50 ms, but the
  // key at 1120 ends its wait.
  EXPECT_EQ(probeCalls()[0].tick, 1101);
  EXPECT_EQ(probeCalls()[1].tick, 1120);
  EXPECT_EQ(probeCalls()[0].displayAt00, kRed);
  EXPECT_EQ(probeCalls()[0].currentAt00, kRed);
  EXPECT_EQ(probeCalls()[0].nextAt00, kGreen);
  EXPECT_EQ(probeCalls()[1].currentAt00, kGreen);
  EXPECT_EQ(probeCalls()[1].nextAt00, kRed);
  EXPECT_EQ(form->picture1().pixel(0, 0), kRed);
  EXPECT_TRUE(window.errorPrompt().empty());
  EXPECT_FALSE(window.screenSaverRunning());
}

TEST_F(ShowLoopTest, SetupCentresPicture1AndShowsTheWindowOnTop) {
  struct Case {
    ScreenSize screen;
    std::int32_t width, height;
    Point expected;
  };
  for (const Case& c : {Case{{1024, 768}, 250, 250, {387, 259}},
                        Case{{1024, 768}, 251, 251, {387, 259}},  // odd area: left margin wider
                        Case{{1023, 767}, 250, 250, {386, 258}},  // odd screen: right wider
                        Case{{200, 100}, 250, 150, {-25, -25}}}) {
    log.clear();
    record = {};
    record.AreaWidth = c.width;
    record.AreaHeight = c.height;
    writePicture({"a.png", 4, 4, kRed, {}});
    addEntry("a.png");
    window.setScreenSize(c.screen);
    keyAt(events.now() + 1);
    runShow();
    EXPECT_EQ(window.picture1Position(), c.expected) << c.screen.width << " " << c.width;
    EXPECT_EQ(form->picture1().width(), c.width);
    EXPECT_EQ(form->nowPicture().height(), c.height);
    EXPECT_EQ(form->nextPicture().width(), c.width);
  }
  EXPECT_TRUE(window.shown());
  EXPECT_TRUE(window.topmost());
}

TEST_F(ShowLoopTest, OnePicturePackageCarriesThePictureIntoItself) {
  writePicture({"a.png", 8, 6, kRed, {}});
  addEntry("a.png", 10, kProbeCode).SoundName = "a.wav";
  keyAt(1030);
  runShow();
  ASSERT_EQ(probeCalls().size(), 3u);
  for (const ProbeCall& call : probeCalls()) {
    EXPECT_EQ(call.currentAt00, kRed);
    EXPECT_EQ(call.nextAt00, kRed);
  }
  EXPECT_EQ(probeCalls()[2].tick, 1030);
  EXPECT_EQ(form->currentIndex(), 0);
  EXPECT_THAT(soundsPlayed(), ElementsAre("a.wav", "a.wav", "a.wav"));
}

TEST_F(ShowLoopTest, ZeroDisplayTimeLastsUntilTheTickMovesOn) {
  writeRedGreen();
  addEntry("a.png", 0, kProbeCode);
  addEntry("b.png", 0, kProbeCode);
  keyAt(1002);
  runShow();
  ASSERT_EQ(probeCalls().size(), 2u);
  EXPECT_EQ(probeCalls()[0].tick, 1001);
  EXPECT_EQ(probeCalls()[1].tick, 1002);
}

TEST_F(ShowLoopTest, NegativeDisplayTimeEndsTheWaitAfterOnePass) {
  writeRedGreen();
  addEntry("a.png", -5, kProbeCode);
  addEntry("b.png", -5, kProbeCode);
  // The clock stands still, so the key comes with the first transition's refresh.
  window.onRefresh([this] {
    if (!probeCalls().empty()) window.pressKey();
  });
  runShow();
  ASSERT_EQ(probeCalls().size(), 1u);
  EXPECT_EQ(probeCalls()[0].tick, kStartTick);
  EXPECT_EQ(events.blockingWaits(), 0);
}

TEST_F(ShowLoopTest, PlainCutCopiesTheNextFrame) {
  writeRedGreen();
  addEntry("a.png", 100, 0);
  addEntry("b.png", 100, 0);
  recordFrames();
  keyAt(1150);
  runShow();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_TRUE(frameMatches(frames[0], [](auto, auto) { return kRed; }));
  EXPECT_TRUE(frameMatches(frames[1], [](auto, auto) { return kGreen; }));
  EXPECT_TRUE(frameMatches(frames[2], [](auto, auto) { return kRed; }));
}

TEST_F(ShowLoopTest, CodesOutside0To35DrawNothing) {
  writeRedGreen();
  writePicture({"c.png", 8, 6, kWhite, {}});
  addEntry("a.png", 100, 36);
  addEntry("b.png", 100, kProbeCode);
  addEntry("c.png", 100, -1);
  recordFrames();
  keyAt(1350);
  runShow();
  // Entry 0's code 36 leaves the red frame on the display; entry 1's transition starts from the
  // green picture, built from its file, though it was never seen.
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_TRUE(frameMatches(frames[1], [](auto, auto) { return kRed; }));
  ASSERT_EQ(probeCalls().size(), 1u);
  EXPECT_EQ(probeCalls()[0].displayAt00, kRed);
  EXPECT_EQ(probeCalls()[0].currentAt00, kGreen);
  EXPECT_EQ(probeCalls()[0].nextAt00, kWhite);
  // Entry 2's code -1 keeps white on the display.
  EXPECT_TRUE(frameMatches(frames[3], [](auto, auto) { return kWhite; }));
}

TEST_F(ShowLoopTest, TransparentOverlayLetsTheAreaColourShowThePreviousFrame) {
  writePicture({"a.png", 8, 6, kRed, {}});
  writePicture({"b.png", 4, 3, kGreen, kAreaColour});
  addEntry("a.png", 100, 0);
  PictureEntry& over = addEntry("b.png", 100, kProbeCode);
  over.PosX = 2;
  over.PosY = 1;
  over.Overlay = -1;
  over.Transparent = -1;
  recordFrames();
  keyAt(1150);
  runShow();
  ASSERT_GE(frames.size(), 2u);
  // clang-format off
  EXPECT_TRUE(frameMatches(frames[1], picture({
      "RRRRRRRR",
      "RRRGGGRR",
      "RRGGGGRR",
      "RRGGGGRR",
      "RRRRRRRR",
      "RRRRRRRR"})));
  // clang-format on
  // Leaving an overlaid entry starts from the display's image, not from its file at (2, 1).
  ASSERT_EQ(probeCalls().size(), 1u);
  EXPECT_EQ(probeCalls()[0].currentAt00, kRed);
}

TEST_F(ShowLoopTest, OverlayWithoutTransparentDrawsTheWholePicture) {
  writePicture({"a.png", 8, 6, kRed, {}});
  writePicture({"b.png", 4, 3, kGreen, kAreaColour});
  addEntry("a.png", 100, 0);
  PictureEntry& over = addEntry("b.png", 100, 0);
  over.PosX = 2;
  over.PosY = 1;
  over.Overlay = 1;
  recordFrames();
  keyAt(1150);
  runShow();
  ASSERT_GE(frames.size(), 2u);
  // clang-format off
  EXPECT_TRUE(frameMatches(frames[1], picture({
      "RRRRRRRR",
      "RRBGGGRR",
      "RRGGGGRR",
      "RRGGGGRR",
      "RRRRRRRR",
      "RRRRRRRR"})));
  // clang-format on
}

TEST_F(ShowLoopTest, TransparentWithoutOverlayDrawsOnACleanFrame) {
  writePicture({"a.png", 8, 6, kRed, {}});
  writePicture({"b.png", 4, 3, kGreen, kWhite});
  addEntry("a.png", 100, 0);
  PictureEntry& plain = addEntry("b.png", 100, 0);
  plain.PosX = 2;
  plain.PosY = 1;
  plain.Transparent = -1;
  window.onRefresh([this] { frames.push_back(snapshot(form->picture1())); });
  keyAt(1150);
  runShow();
  ASSERT_GE(frames.size(), 2u);
  EXPECT_TRUE(frameMatches(frames[1], [](std::int32_t x, std::int32_t y) {
    if (x == 2 && y == 1) return kWhite;
    return x >= 2 && x < 6 && y >= 1 && y < 4 ? kGreen : kAreaColour;
  }));
}

// The frame being left is built anew or taken over from the last next frame; either way it is the
// entry's own picture alone on the area colour, also after the index wraps.
TEST_F(ShowLoopTest, EachFrameLeftIsItsOwnPictureAloneAtItsPlace) {
  writePicture({"a.png", 8, 6, kRed, {}});
  writePicture({"b.png", 4, 3, kGreen, {}});
  addEntry("a.png", 10, kProbeCode);
  PictureEntry& inside = addEntry("b.png", 10, kProbeCode);
  inside.PosX = 2;
  inside.PosY = 1;
  PictureEntry& acrossTheCorner = addEntry("b.png", 10, kProbeCode);
  acrossTheCorner.PosX = 6;
  acrossTheCorner.PosY = 4;
  keyAt(1050);
  runShow();
  const auto red = [](auto, auto) { return kRed; };
  const auto greenFrom = [](std::int32_t left, std::int32_t top) {
    return [=](std::int32_t x, std::int32_t y) {
      return x >= left && x < left + 4 && y >= top && y < top + 3 ? kGreen : kAreaColour;
    };
  };
  const std::vector<std::function<Colour(std::int32_t, std::int32_t)>> expected{
      red, greenFrom(2, 1), greenFrom(6, 4), red, greenFrom(2, 1)};
  ASSERT_EQ(probeCalls().size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_TRUE(frameMatches(snapshot(probeCalls()[k].current), expected[k])) << "transition " << k;
  }
}

TEST_F(ShowLoopTest, TheIndexWrapsAtPictureCount) {
  for (const char* name : {"a.png", "b.png", "c.png"}) {
    writePicture({name, 8, 6, kRed, {}});
    addEntry(name, 10, kProbeCode).SoundName = std::string(1, name[0]) + ".wav";
  }
  keyAt(1040);
  runShow();
  EXPECT_THAT(soundsPlayed(), ElementsAre("b.wav", "c.wav", "a.wav", "b.wav"));
}

TEST_F(ShowLoopTest, TheWrapComparesWithPictureCountNotTheEntries) {
  for (const char* name : {"a.png", "b.png", "c.png"}) {
    writePicture({name, 8, 6, kRed, {}});
    addEntry(name, 10, kProbeCode).SoundName = std::string(1, name[0]) + ".wav";
  }
  record.PictureCount = 2;
  keyAt(1030);
  runShow();
  EXPECT_THAT(soundsPlayed(), ElementsAre("b.wav", "a.wav", "b.wav"));
}

TEST_F(ShowLoopTest, SpeedExponentsGiveTheirPowersOfTwo) {
  writeRedGreen();
  PictureEntry& first = addEntry("a.png", 10, kProbeCode);
  first.Speed = 3;
  addEntry("b.png", 10, kProbeCode).Speed = 30;
  keyAt(1020);
  runShow();
  ASSERT_EQ(probeCalls().size(), 2u);
  EXPECT_EQ(probeCalls()[0].speedFactor, 8);
  EXPECT_EQ(probeCalls()[1].speedFactor, 1 << 30);
}

TEST_F(ShowLoopTest, ARealTransitionIsDispatchedByItsCode) {
  writeRedGreen();
  addEntry("a.png", 100, 19);  // a wipe: draws steps, then the whole next frame
  addEntry("b.png", 100, 0);
  recordFrames();
  keyAt(1102);
  runShow();
  ASSERT_GE(frames.size(), 3u);
  EXPECT_TRUE(frameMatches(frames.back(), [](auto, auto) { return kGreen; }));
}

}  // namespace
}  // namespace kamishibai::testing
