// Kamishibai: a small WAV file made in the tests: mono, 16-bit, 8000 Hz, a square wave.
#pragma once

#include <cstdint>
#include <vector>

namespace kamishibai {

inline std::vector<std::uint8_t> squareWaveWav(std::uint32_t frames) {
  std::vector<std::uint8_t> b;
  const auto text = [&](const char* s) { b.insert(b.end(), s, s + 4); };
  const auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const auto u16 = [&](std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  text("RIFF");
  u32(36 + frames * 2);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);      // PCM
  u16(1);      // mono
  u32(8000);   // samples per second
  u32(16000);  // bytes per second
  u16(2);      // bytes per frame
  u16(16);     // bits per sample
  text("data");
  u32(frames * 2);
  for (std::uint32_t i = 0; i < frames; ++i) u16((i / 10) % 2 ? 0x2000 : 0xE000);
  return b;
}

}  // namespace kamishibai
