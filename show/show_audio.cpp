// Kamishibai: the show's music and sound steps.
#include "show/show_audio.h"

#include <string_view>

#include <utility>
#include "formats/stored_name.h"

namespace kamishibai {

ShowAudio::ShowAudio(MusicDevice& music, SoundPlayer& sounds, std::string bgmName,
                     std::string workDir, std::int16_t bgmOn, std::int16_t soundOn)
    : music_(music),
      sounds_(sounds),
      bgmName_(std::move(bgmName)),
      workDir_(std::move(workDir)),
      bgmOn_(bgmOn),
      soundOn_(soundOn) {
  reply_.fill(' ');
}

// Only plain names are opened, so a package never makes the show read outside the work folder.
bool ShowAudio::musicWanted() const {
  return !bgmName_.empty() && bgmOn_ != 0 && storedNameProblem(bgmName_).empty();
}

void ShowAudio::send(const std::string& command) {
  music_.sendString(command, reply_.data(), reply_.size());
}

void ShowAudio::startMusic() {
  if (!musicWanted()) return;
  send("open \"" + workDir_ + bgmName_ + "\" alias bgm");
  send("play bgm");
}

void ShowAudio::keepMusicAlive() {
  if (!musicWanted()) return;
  send("status bgm mode");
  if (std::string_view(reply_.data(), 7) == "stopped") {
    send("seek bgm to start");
    send("play bgm");
  }
}

void ShowAudio::playSound(const std::string& soundName) {
  if (soundName.empty() || soundOn_ == 0 || !storedNameProblem(soundName).empty()) return;
  const std::string path = workDir_ + soundName;
  sounds_.playSound(&path, kSndFilename | kSndNoDefault | kSndAsync);
}

void ShowAudio::finish() {
  if (!bgmName_.empty()) send("close bgm");
  sounds_.playSound(nullptr, kSndPurge);
}

}  // namespace kamishibai
