// Kamishibai: the music command strings, the show's music and sound steps, and the SDL2_mixer
// players on SDL's dummy and missing sound devices.
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
#include "platform/linux/sdl_audio.h"
#include "platform/music_commands.h"
#include "show/show_audio.h"
#include "tests/unit/wav_file.h"

namespace kamishibai {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Plays nothing; logs what it is asked and stops "playing" when the test says the file ended.
class FakeMusicBackend final : public MusicBackend {
 public:
  struct State {
    std::vector<std::string> calls;
    bool loadable = true;
    bool playing = false;
  };
  explicit FakeMusicBackend(State& state) : state_(state) {}

  bool load(const std::string& path) override {
    state_.calls.push_back("load " + path);
    return state_.loadable;
  }
  void play() override {
    state_.calls.push_back("play");
    state_.playing = true;
  }
  bool isPlaying() const override { return state_.playing; }
  void rewind() override {
    state_.calls.push_back("rewind");
    state_.playing = false;
  }
  void close() override {
    state_.calls.push_back("close");
    state_.playing = false;
  }

 private:
  State& state_;
};

struct Interpreter {
  FakeMusicBackend::State backend;
  MusicCommandInterpreter device{std::make_unique<FakeMusicBackend>(backend)};

  // The reply of one command, as the caller's buffer holds it.
  std::string send(std::string_view command, std::size_t length = kReplyLength) {
    std::string reply(length, 'x');
    device.sendString(command, reply.data(), length);
    return reply;
  }
};

std::string padded(std::string_view answer) {
  std::string reply(answer);
  reply.resize(kReplyLength, ' ');
  return reply;
}

const std::string kBlank = padded("");

TEST(MusicCommands, OpenPlayStatusSeekClose) {
  Interpreter mci;
  EXPECT_EQ(mci.send("open \"/run/work temp1/music one.wav\" alias bgm"), kBlank);
  EXPECT_EQ(mci.send("status bgm mode"), padded("stopped"));
  EXPECT_EQ(mci.send("play bgm"), kBlank);
  EXPECT_EQ(mci.send("status bgm mode"), padded("playing"));
  mci.backend.playing = false;  // the file played to its end
  EXPECT_EQ(mci.send("status bgm mode"), padded("stopped"));
  EXPECT_EQ(mci.send("seek bgm to start"), kBlank);
  EXPECT_EQ(mci.send("PLAY BGM"), kBlank);
  EXPECT_EQ(mci.send("close bgm"), kBlank);
  EXPECT_THAT(mci.backend.calls,
              ElementsAre("load /run/work temp1/music one.wav", "play", "rewind", "play", "close"));
  // Closed: the alias is gone.
  EXPECT_EQ(mci.send("status bgm mode"), kBlank);
}

TEST(MusicCommands, ReplyFillsExactlyTheGivenLength) {
  Interpreter mci;
  mci.send("open \"a.wav\" alias bgm");
  std::array<char, 10> buffer;
  buffer.fill('x');
  mci.device.sendString("status bgm mode", buffer.data(), 8);
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), "stopped xx");
  buffer.fill('x');
  mci.device.sendString("status bgm mode", buffer.data(), 3);
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), "stoxxxxxxx");
  mci.device.sendString("play bgm", nullptr, 0);
  EXPECT_TRUE(mci.backend.playing);
}

TEST(MusicCommands, CommandsThatFailLeaveABlankReplyAndTouchNothing) {
  Interpreter mci;
  // Nothing open yet.
  for (const char* command : {"play bgm", "status bgm mode", "seek bgm to start", "close bgm"})
    EXPECT_EQ(mci.send(command), kBlank) << command;
  EXPECT_THAT(mci.backend.calls, IsEmpty());

  // A file that cannot be played leaves no device under the alias.
  mci.backend.loadable = false;
  EXPECT_EQ(mci.send("open \"broken.mid\" alias bgm"), kBlank);
  EXPECT_EQ(mci.send("play bgm"), kBlank);
  EXPECT_THAT(mci.backend.calls, ElementsAre("load broken.mid"));

  mci.backend.loadable = true;
  mci.backend.calls.clear();
  for (const char* command :
       {"open \"a.wav alias bgm", "open a.wav", "open \"a.wav\" as bgm", "", "   ", "stop bgm"})
    EXPECT_EQ(mci.send(command), kBlank) << command;
  EXPECT_THAT(mci.backend.calls, IsEmpty());

  mci.send("open \"a.wav\" alias bgm");
  mci.backend.calls.clear();
  for (const char* command :
       {"open \"b.wav\" alias bgm", "play other", "status bgm", "status other mode",
        "status bgm position", "seek bgm to end", "play bgm now", "close"})
    EXPECT_EQ(mci.send(command), kBlank) << command;
  EXPECT_THAT(mci.backend.calls, IsEmpty());
}

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

constexpr std::int16_t kOn = -1;
constexpr std::int16_t kOff = 0;

TEST(ShowAudio, MusicRestartsAtTheFirstKeepAliveAfterItStopped) {
  FakeMusicBackend::State backend;
  MusicCommandInterpreter device(std::make_unique<FakeMusicBackend>(backend));
  RecordingSoundPlayer sounds;
  ShowAudio audio(device, sounds, "bgm.mid", "/run/k/temp0/", kOn, kOn);

  audio.startMusic();
  EXPECT_THAT(backend.calls, ElementsAre("load /run/k/temp0/bgm.mid", "play"));
  backend.calls.clear();
  audio.keepMusicAlive();
  EXPECT_THAT(backend.calls, IsEmpty());
  backend.playing = false;
  audio.keepMusicAlive();
  EXPECT_THAT(backend.calls, ElementsAre("rewind", "play"));
  EXPECT_TRUE(backend.playing);
  backend.calls.clear();
  audio.finish();
  EXPECT_THAT(backend.calls, ElementsAre("close"));
  EXPECT_THAT(sounds.calls, ElementsAre("(none) 64"));
}

TEST(ShowAudio, MusicThatCannotBeOpenedIsNeverPlayed) {
  FakeMusicBackend::State backend;
  backend.loadable = false;
  MusicCommandInterpreter device(std::make_unique<FakeMusicBackend>(backend));
  RecordingSoundPlayer sounds;
  ShowAudio audio(device, sounds, "bgm.xyz", "/w/", kOn, kOn);
  audio.startMusic();
  audio.keepMusicAlive();
  audio.keepMusicAlive();
  audio.finish();
  EXPECT_THAT(backend.calls, ElementsAre("load /w/bgm.xyz"));
}

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
