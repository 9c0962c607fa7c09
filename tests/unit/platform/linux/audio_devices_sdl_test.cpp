// Kamishibai: the SDL2_mixer players on SDL's dummy and missing sound devices.
#include <SDL_mixer.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_devices.h"
#include "platform/audio_probe.h"
#include "platform/linux/audio_devices_sdl.h"
#include "tests/unit/wav_file.h"

namespace kamishibai {
namespace {

const std::string kBlank(kReplyLength, ' ');

// The real players on SDL's dummy device, which mixes without a sound card, and on a device that
// cannot be opened.
class SdlAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("kamishibai-audio-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder_);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void TearDown() override {
    ::unsetenv("SDL_AUDIODRIVER");
    std::filesystem::remove_all(folder_);
  }

  // A square-wave WAV file lasting `frames` samples at 8000 Hz.
  std::string writeWav(const std::string& name, std::uint32_t frames) {
    const std::string path = (folder_ / name).string();
    const std::vector<std::uint8_t> bytes = squareWaveWav(frames);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path folder_;
};

TEST_F(SdlAudio, MusicPlaysRewindsAndCloses) {
  const std::string music = writeWav("music.wav", 80000);  // ten seconds: still playing below
  const AudioDevices audio = createAudioDevices();
  MusicDevice* const device = audio.music.get();
  std::array<char, kReplyLength> reply;
  const auto send = [&](std::string_view command) {
    device->sendString(command, reply.data(), reply.size());
    return std::string(reply.data(), 7);
  };
  EXPECT_EQ(send("open \"" + music + "\" alias bgm"), "       ");
  EXPECT_EQ(send("status bgm mode"), "stopped");
  send("play bgm");
  EXPECT_EQ(send("status bgm mode"), "playing");
  send("seek bgm to start");
  EXPECT_EQ(send("status bgm mode"), "stopped");
  send("play bgm");
  EXPECT_EQ(send("status bgm mode"), "playing");
  send("close bgm");
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  EXPECT_EQ(send("status bgm mode"), "       ");

  std::ofstream(folder_ / "not-music.wav") << "plain text";
  EXPECT_EQ(send("open \"" + (folder_ / "not-music.wav").string() + "\" alias bgm"), "       ");
  EXPECT_EQ(send("status bgm mode"), "       ");
}

TEST_F(SdlAudio, ANewSoundReplacesThePreviousAndPurgeStopsIt) {
  const std::string first = writeWav("first.wav", 80000);
  const std::string second = writeWav("second.wav", 80000);
  const std::string missing = (folder_ / "missing.wav").string();
  const AudioDevices audio = createAudioDevices();
  SoundPlayer* const player = audio.sounds.get();
  const std::uint32_t async = kSndFilename | kSndNoDefault | kSndAsync;

  player->playSound(&first, async);
  EXPECT_EQ(Mix_Playing(-1), 1);
  player->playSound(&second, async);
  EXPECT_EQ(Mix_Playing(-1), 1);  // the first was cut off, not mixed with the second
  player->playSound(nullptr, kSndPurge);
  EXPECT_EQ(Mix_Playing(-1), 0);

  player->playSound(&first, async);
  player->playSound(&missing, async);  // fails silently; the old sound is replaced all the same
  EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SdlAudio, WithoutASoundDeviceEverythingIsSilent) {
  // The packer's file checks keep a mixer open for the life of the process; ctest runs each test
  // in a process of its own.
  if (Mix_QuerySpec(nullptr, nullptr, nullptr) != 0) GTEST_SKIP() << "a mixer is already open";
  ::setenv("SDL_AUDIODRIVER", "no-such-device", 1);
  const std::string music = writeWav("music.wav", 800);
  const AudioDevices audio = createAudioDevices();
  std::array<char, kReplyLength> reply;
  reply.fill('x');
  audio.music->sendString("open \"" + music + "\" alias bgm", reply.data(), reply.size());
  audio.music->sendString("play bgm", reply.data(), reply.size());
  audio.music->sendString("status bgm mode", reply.data(), reply.size());
  EXPECT_EQ(std::string(reply.data(), reply.size()), kBlank);
  audio.sounds->playSound(&music, kSndFilename | kSndAsync);
  audio.sounds->playSound(nullptr, kSndPurge);
}

TEST_F(SdlAudio, FileChecksNeedNoSoundDevice) {
  ::setenv("SDL_AUDIODRIVER", "no-such-device", 1);
  const std::string wav = writeWav("ding.wav", 800);
  std::ofstream(folder_ / "notes.txt") << "plain text";
  EXPECT_EQ(audioProblem(wav, AudioUse::Music), "");
  EXPECT_EQ(audioProblem(wav, AudioUse::Sound), "");
  EXPECT_NE(audioProblem(folder_ / "notes.txt", AudioUse::Sound), "");
}
}  // namespace
}  // namespace kamishibai
