// Kamishibai: a music device and a sound player that record what the show asks of them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio.h"

namespace kamishibai {

// Records the strings sent; answers every one with a blank reply.
class RecordingMusicDevice final : public MusicDevice {
 public:
  void sendString(std::string_view command, char* reply, std::size_t length) override {
    commands.emplace_back(command);
    std::fill(reply, reply + length, ' ');
  }
  std::vector<std::string> commands;
};

class RecordingSoundPlayer final : public SoundPlayer {
 public:
  void playSound(const std::string* file, std::uint32_t flags) override {
    calls.push_back((file ? *file : std::string("(none)")) + " " + std::to_string(flags));
  }
  std::vector<std::string> calls;
};

inline constexpr std::int16_t kOn = -1;
inline constexpr std::int16_t kOff = 0;

}  // namespace kamishibai
