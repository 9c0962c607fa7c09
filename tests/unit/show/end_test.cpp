// Kamishibai: the show's input handlers and its end sequence: what ends the show, the password
// check, the restart after a failed check, and the finish.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/unit/effects/effects_support.h"
#include "tests/unit/show/show_support.h"

namespace kamishibai::testing {
namespace {

class ShowEndTest : public ShowTest {
 protected:
  ShowEndTest() {
    record.BgmName = "m.ogg";
    writePicture({"a.png", 4, 3, kRed, {}});
    writePicture({"b.png", 4, 3, kGreen, {}});
    addEntry("a.png", 100, kProbeCode);
    addEntry("b.png", 100, kProbeCode);
  }
  void expectFinished() {
    EXPECT_FALSE(window.screenSaverRunning());
    EXPECT_GE(window.cursorCounter(), 0);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "music: close bgm");
    EXPECT_EQ(log.back(), "sound purge 64");
  }
};

TEST_F(ShowEndTest, KeyOrButtonEndsTheShowAndFinishes) {
  for (bool key : {true, false}) {
    log.clear();
    events.at(events.now() + 150, [this, key] { key ? window.pressKey() : window.pressButton(); });
    runShow();
    expectFinished();
    EXPECT_EQ(probeCalls().back().tick, events.now());
    EXPECT_EQ(window.passwordDialogs(), 0);
  }
}

TEST_F(ShowEndTest, WhileShowingTheCursorIsHiddenAndThePointerGrabbed) {
  bool runningDuringShow = false;
  std::int32_t counterDuringShow = 0;
  events.at(1050, [&] {
    runningDuringShow = window.screenSaverRunning();
    counterDuringShow = window.cursorCounter();
    window.pressKey();
  });
  runShow();
  EXPECT_TRUE(runningDuringShow);
  EXPECT_EQ(counterDuringShow, -1);
  expectFinished();
}

TEST_F(ShowEndTest, OnlyAMoveAwayFromTheStartPositionEndsTheShow) {
  window.moveMouse({5, 5});  // before the show: nobody listens yet
  events.at(1050, [this] { window.moveMouse({5, 5}); });
  events.at(1150, [this] { window.moveMouse({5, 5}); });
  events.at(1300, [this] { window.moveMouse({6, 5}); });
  runShow();
  ASSERT_EQ(probeCalls().size(), 3u);
  EXPECT_EQ(probeCalls().back().tick, 1300);
  expectFinished();
}

TEST_F(ShowEndTest, AMoveReportedWhileTheWindowAppearsIsForgottenAtTheStartOfShow) {
  events.at(kStartTick, [this] { window.moveMouse({9, 9}); });
  events.at(1250, [this] { window.moveMouse({9, 10}); });
  runShow();
  ASSERT_EQ(probeCalls().size(), 3u);
  EXPECT_EQ(probeCalls().back().tick, 1250);
}

TEST_F(ShowEndTest, NoPasswordDialogUnlessTheSwitchIsOn) {
  for (std::optional<std::int32_t> value :
       {std::optional<std::int32_t>{}, std::optional<std::int32_t>{0}}) {
    window.setUsePassword(value);
    keyAt(events.now() + 50);
    runShow();
    EXPECT_EQ(window.passwordDialogs(), 0);
    expectFinished();
  }
  window.setUsePassword(-1);
  window.onPasswordDialog([] { return true; });
  keyAt(events.now() + 50);
  runShow();
  EXPECT_EQ(window.passwordDialogs(), 1);
  expectFinished();
}

TEST_F(ShowEndTest, AFailedCheckRestartsFromTheFirstEntryWithTheLastPicture) {
  record.Pictures.entries[0].PosX = 1;
  record.Pictures.entries[0].PosY = 1;
  record.Pictures.entries[1].PosX = 3;
  record.Pictures.entries[1].PosY = 2;
  window.setUsePassword(1);
  std::vector<std::int32_t> countersAtDialog;
  window.onPasswordDialog([&] {
    countersAtDialog.push_back(window.cursorCounter());
    if (countersAtDialog.size() == 1) keyAt(events.now() + 150);
    return countersAtDialog.size() == 2;
  });
  std::vector<Frame> framesAfterFailure;
  std::vector<std::int32_t> countersAfterFailure;
  window.onRefresh([&] {
    if (window.passwordDialogs() != 1) return;
    framesAfterFailure.push_back(snapshot(form->picture1()));
    countersAfterFailure.push_back(window.cursorCounter());
  });
  keyAt(1050);  // during entry 0's display time: the green picture is loaded already
  runShow();

  EXPECT_EQ(countersAtDialog, (std::vector<std::int32_t>{0, 0}));
  ASSERT_FALSE(framesAfterFailure.empty());
  // The restart draws the picture loaded last (green) at entry 0's position (1, 1).
  EXPECT_TRUE(frameMatches(framesAfterFailure[0], [](std::int32_t x, std::int32_t y) {
    return x >= 1 && x < 5 && y >= 1 && y < 4 ? kGreen : kAreaColour;
  }));
  EXPECT_EQ(countersAfterFailure[0], -2);
  // The show goes on with entry 0's display time and then entry 1.
  ASSERT_GE(probeCalls().size(), 2u);
  EXPECT_EQ(probeCalls()[1].tick, 1050 + 101);
  // The music opened once and stays open across the restart.
  EXPECT_EQ(std::count(log.begin(), log.end(),
                       "music: open \"" + workDir.string() + "/m.ogg\" alias bgm"),
            1);
  expectFinished();
}

// The system's end request (a daemon's stop, a logout) finishes in order and asks for no
// password, also when it comes while the password dialog is open or before the show starts.
TEST_F(ShowEndTest, AnEndRequestFinishesWithoutThePassword) {
  window.setUsePassword(1);
  events.at(1150, [this] { window.requestEnd(); });
  runShow();
  expectFinished();
  EXPECT_EQ(window.passwordDialogs(), 0);

  log.clear();
  window.onPasswordDialog([this] {
    window.requestEnd();
    return false;
  });
  keyAt(events.now() + 150);
  runShow();
  expectFinished();
  EXPECT_EQ(window.passwordDialogs(), 1);

  log.clear();
  events.at(events.now(), [this] { window.requestEnd(); });
  runShow();
  expectFinished();
  EXPECT_EQ(window.passwordDialogs(), 1);
}

// At the end of the session the system may stop the process as soon as the window's handler
// returns: everything is finished inside it, the work files removed too, and nothing twice.
TEST_F(ShowEndTest, TheSessionsEndFinishesInsideTheHandler) {
  window.setUsePassword(1);
  std::vector<std::string> doneInHandler;
  events.at(1150, [&] {
    window.endSession();
    doneInHandler = log;
    EXPECT_FALSE(window.screenSaverRunning());
  });
  runShow();
  EXPECT_EQ(doneInHandler.back(), "work files removed");
  EXPECT_EQ(std::count(log.begin(), log.end(), "music: close bgm"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "work files removed"), 1);
  EXPECT_EQ(window.passwordDialogs(), 0);
}

}  // namespace
}  // namespace kamishibai::testing
