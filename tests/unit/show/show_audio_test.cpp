// Kamishibai: the show's music and sound steps as the commands and calls they send.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "show/show_audio.h"
#include "tests/unit/audio_fakes.h"

namespace kamishibai {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ShowAudio, MusicCommandsFollowTheNameAndTheSwitch) {
  {
    RecordingMusicDevice device;
    RecordingSoundPlayer sounds;
    ShowAudio audio(device, sounds, "", "/w/", kOn, kOn);  // a package without music
    audio.startMusic();
    audio.keepMusicAlive();
    audio.finish();
    EXPECT_THAT(device.commands, IsEmpty());
  }
  {
    RecordingMusicDevice device;
    RecordingSoundPlayer sounds;
    ShowAudio audio(device, sounds, "bgm.wav", "/w/", kOff, kOn);
    audio.startMusic();
    audio.keepMusicAlive();
    audio.finish();
    // Only the close, which finds nothing open under the alias.
    EXPECT_THAT(device.commands, ElementsAre("close bgm"));
  }
  {
    RecordingMusicDevice device;
    RecordingSoundPlayer sounds;
    ShowAudio audio(device, sounds, "bgm.wav", "/w/", 1, kOn);  // any non-zero value is on
    audio.startMusic();
    audio.keepMusicAlive();  // the blank reply is not "stopped"
    EXPECT_THAT(device.commands,
                ElementsAre("open \"/w/bgm.wav\" alias bgm", "play bgm", "status bgm mode"));
  }
}

TEST(ShowAudio, SoundsFollowTheNameAndTheSwitch) {
  RecordingMusicDevice device;
  RecordingSoundPlayer on;
  ShowAudio withSounds(device, on, "", "/w/", kOn, kOn);
  withSounds.playSound("a.wav");
  withSounds.playSound("");
  withSounds.playSound("b.wav");
  withSounds.finish();
  EXPECT_THAT(on.calls, ElementsAre("/w/a.wav 131075", "/w/b.wav 131075", "(none) 64"));

  RecordingSoundPlayer off;
  ShowAudio withoutSounds(device, off, "", "/w/", kOn, kOff);
  withoutSounds.playSound("a.wav");
  withoutSounds.finish();
  EXPECT_THAT(off.calls, ElementsAre("(none) 64"));
}

TEST(ShowAudio, NamesThatLeadOutOfTheWorkFolderAreNeverOpened) {
  RecordingMusicDevice device;
  RecordingSoundPlayer sounds;
  ShowAudio audio(device, sounds, "../bgm.wav", "/w/", kOn, kOn);
  audio.startMusic();
  audio.keepMusicAlive();
  audio.playSound("/etc/ding.wav");
  audio.playSound("sub/ding.wav");
  audio.playSound("ding.wav");
  EXPECT_THAT(device.commands, IsEmpty());
  EXPECT_THAT(sounds.calls, ElementsAre("/w/ding.wav 131075"));
}
}  // namespace
}  // namespace kamishibai
