// Kamishibai: the show's music and sound steps: open and play at setup, the keep-alive after each
// transition, the sound of each picture, and closing and purging at the finish.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/audio.h"

namespace kamishibai {

class ShowAudio {
 public:
  ShowAudio(MusicDevice& music, SoundPlayer& sounds, std::string bgmName, std::string workDir,
            std::int16_t bgmOn, std::int16_t soundOn);

  // At setup: opens the music under the alias bgm and plays it, when there is music and BgmOn.
  void startMusic();
  // After every transition: restarts the music from its beginning once it has stopped.
  void keepMusicAlive();
  // As the transition into a picture starts: plays its sound, when it has one and SoundOn.
  void playSound(const std::string& soundName);
  // At the finish of the show: closes the music (when there is any) and stops every sound.
  void finish();

 private:
  bool musicWanted() const;
  void send(const std::string& command);

  MusicDevice& music_;
  SoundPlayer& sounds_;
  std::string bgmName_;
  std::string workDir_;
  std::int16_t bgmOn_;
  std::int16_t soundOn_;
  std::array<char, kReplyLength> reply_{};
};

}  // namespace kamishibai
