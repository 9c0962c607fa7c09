// Kamishibai: the music device driven by command strings under an alias, and the one-shot sound
// player, as the show uses them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kamishibai {

// The size of the reply buffer the show passes with every music command.
constexpr std::size_t kReplyLength = 256;

class MusicDevice {
 public:
  virtual ~MusicDevice() = default;
  // Carries out one command string ("open \"path\" alias bgm", "play bgm", "status bgm mode",
  // "seek bgm to start", "close bgm") and copies its reply into reply[0, length), padded with
  // blanks. Failures are silent: the reply then holds no answer.
  virtual void sendString(std::string_view command, char* reply, std::size_t length) = 0;
};

// Flags of the one-shot sound player.
constexpr std::uint32_t kSndAsync = 0x1;
constexpr std::uint32_t kSndNoDefault = 0x2;
constexpr std::uint32_t kSndPurge = 0x40;
constexpr std::uint32_t kSndFilename = 0x20000;

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Plays a sound file (kSndFilename), replacing any sound still playing; with no file and
  // kSndPurge, stops the sound. Failures are silent.
  virtual void playSound(const std::string* file, std::uint32_t flags) = 0;
};

}  // namespace kamishibai
