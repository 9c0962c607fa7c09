// Kamishibai: the music command strings as the interpreter carries them out over its backend,
// and the show's music steps through it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/linux/music_commands.h"
#include "show/show_audio.h"
#include "tests/unit/audio_fakes.h"

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
}  // namespace
}  // namespace kamishibai
