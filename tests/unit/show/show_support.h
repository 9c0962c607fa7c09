// Kamishibai: test support for the show: a package of small solid pictures in a work folder of
// its own, Form1 on the headless window and the virtual clock, and one log in which the sound
// steps, the music commands, the transitions and the refreshes of Picture1 appear in order.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/headless/event_loop_headless.h"
#include "platform/headless/frame_recorder_headless.h"
#include "platform/headless/show_window_headless.h"
#include "show/form1.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai::testing {

constexpr Colour kAreaColour = makeColour(0, 0, 255);
constexpr Colour kRed = makeColour(255, 0, 0);
constexpr Colour kGreen = makeColour(0, 255, 0);
constexpr Colour kWhite = makeColour(255, 255, 255);
constexpr Colour kGrey = makeColour(128, 128, 128);
constexpr std::int32_t kStartTick = 1000;

// The code the probe transition answers to; it stands for any transition from 1 to 35.
constexpr std::int32_t kProbeCode = 7;

// What the probe transition saw when the show called it.
struct ProbeCall {
  std::int32_t tick;
  std::int32_t speedFactor;
  Colour displayAt00;
  Colour currentAt00;
  Colour nextAt00;
  Surface current;  // the frame being left, as the transition received it
};

// The transitions as the show sees them in these tests: the probe for kProbeCode (it records its
// call and copies the next frame onto the display), the real table for every other code.
const EffectInfo* probeLookup(std::int32_t code);
std::vector<ProbeCall>& probeCalls();
// Set by each test fixture: the log and the clock the probe writes to.
void attachProbe(std::vector<std::string>* log, VirtualEventLoop* events);

class LoggingMusic final : public MusicDevice {
 public:
  explicit LoggingMusic(std::vector<std::string>& log) : log_(log) {}
  void sendString(std::string_view command, char* reply, std::size_t length) override;

 private:
  std::vector<std::string>& log_;
};

class LoggingSounds final : public SoundPlayer {
 public:
  explicit LoggingSounds(std::vector<std::string>& log) : log_(log) {}
  void playSound(const std::string* file, std::uint32_t flags) override;

 private:
  std::vector<std::string>& log_;
};

// One picture file of the package: a solid picture with an optional different top-left pixel.
struct PictureFile {
  std::string name;
  std::int32_t width;
  std::int32_t height;
  Colour colour;
  std::optional<Colour> corner;
};

class ShowTest : public ::testing::Test {
 protected:
  ShowTest();
  ~ShowTest() override;

  // Writes the picture into the work folder.
  void writePicture(const PictureFile& picture);
  // Adds an entry showing a picture written before; returns it for further settings.
  PictureEntry& addEntry(const std::string& fileName, std::int32_t showTime = 100,
                         std::int32_t effectNo = 0);
  // Runs the load handler to its end.
  void runShow();
  // Ends the show by a key press at the tick.
  void keyAt(std::int32_t tick);
  std::string workFile(const std::string& name) const { return workDir.string() + "/" + name; }

  ScratchFolder scratch;
  std::filesystem::path workDir = scratch.path();
  PackageRecord record;
  VirtualEventLoop events{kStartTick};
  HeadlessShowWindow window{events, {20, 16}};
  std::vector<std::string> log;
  LoggingMusic music{log};
  LoggingSounds sounds{log};
  std::unique_ptr<ShowInputs> inputs;
  std::unique_ptr<ShowAudio> audio;
  std::unique_ptr<Form1> form;
};

}  // namespace kamishibai::testing
