// Kamishibai: the show window Form1: loading it runs the whole slide show.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "base/random.h"
#include "effects/transition.h"
#include "formats/package.h"
#include "platform/event_loop.h"
#include "platform/hosted_window.h"
#include "platform/show_window.h"
#include "raster/raster.h"
#include "show/refresh_log.h"
#include "show/show_audio.h"

namespace kamishibai {

// What start-up hands to the show: the package record, the work folder (ending in '/') and the
// two settings switches.
struct ShowInputs {
  const PackageRecord& record;
  std::string WorkDir;
  std::int16_t BgmOn = -1;
  std::int16_t SoundOn = -1;
  // The host's window the show runs inside; none: the show's own full-screen window.
  std::optional<HostWindow> host;
  // Removes the work files and the folder, as start-up does after the show. The show calls it
  // itself only when the session ends, since the system may stop the process before start-up's
  // turn comes.
  std::function<void()> removeWorkFiles = {};
  // Returns once the work file of that name is complete, for a show made ready while the files
  // are unpacked; none: every file is in place.
  std::function<void(const std::string& name)> awaitWorkFile = {};
};

// Form1 on the display: its window, the machine's sound output and Form1 itself, made ready
// without showing anything, so that this may happen while the work files are unpacked.
class PreparedForm1 {
 public:
  explicit PreparedForm1(const ShowInputs& inputs);
  ~PreparedForm1();
  PreparedForm1(const PreparedForm1&) = delete;
  PreparedForm1& operator=(const PreparedForm1&) = delete;

  // Runs the load handler: the slide show, the end sequence with the password check, and the
  // error message when something fails. Returns when the show has ended; the caller then removes
  // the work folder. False, with the cause on standard error, when no window could be had for the
  // show (no display, a host window that is gone).
  bool load();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Creates the show window on the display and runs its load handler (PreparedForm1, then load).
bool loadForm1(const ShowInputs& inputs);

// The transition of an effect code; nullptr when that code draws nothing.
using EffectLookup = const EffectInfo* (*)(std::int32_t code);

// The show window's behaviour on any ShowWindow: its four surfaces, the load handler with the
// slide-show loop and the end sequence, and the input handlers.
class Form1 : public ShowInput {
 public:
  Form1(const ShowInputs& inputs, ShowWindow& window, ShowAudio& audio,
        RandomSequence& random = RandomSequence::process(), EffectLookup lookup = &findEffect);
  ~Form1() override;

  // The steps of the setup that show nothing: the surfaces, their places and the first picture.
  // A failure is reported when the load handler runs.
  void prepare();
  // The load handler: returns when the show has finished or an error has been reported.
  void load();

  void keyDown() override;
  void buttonDown() override;
  void mouseMove() override;
  void endRequested() override;
  void sessionEnding() override;

  const Surface& picture1() const { return Picture1; }
  const Surface& nowPicture() const { return NowPicture; }
  const Surface& nextPicture() const { return NextPicture; }
  std::int32_t currentIndex() const { return CurrentIndex; }
  EndFlag endFlag() const { return endFlag_; }

 private:
  enum class EndOfShow { Finished, Restart };

  void prepareSurfaces();
  void setup();
  void startOfShow();
  void runIteration();
  EndOfShow endSequence();
  void finish();
  void endAfterError(const std::string& description);
  void reportError(const std::string& description);

  const PictureEntry& entry(std::int32_t index) const;
  // Loads the entry's picture as MemPicture; into NextPicture's own words, cleared around it, when
  // asked and it lies wholly inside (an opaque next frame).
  void loadMemPicture(std::int32_t index, bool intoNextPicture);
  // clearAndDraw of MemPicture onto the target, wherever MemPicture's words are.
  void drawMemPicture(Surface& target, std::int32_t x, std::int32_t y);
  void buildFrameBeingLeft(std::int32_t index);
  void buildNextFrame(std::int32_t index);
  std::int32_t speedFactorOf(const PictureEntry& leaving, std::int32_t index);
  void runTransition(const PictureEntry& leaving, std::int32_t speedFactor);
  void hideCursor();
  void showCursor();

  const ShowInputs& inputs_;
  ShowWindow& window_;
  ShowAudio& audio_;
  RandomSequence& random_;
  EffectLookup lookup_;
  // On Windows: the picture names that differ only in letter case from an earlier one's.
  std::set<std::string> caseVariants_;
  // Only when the environment asks for it; declared before the surfaces whose Refresh it logs.
  std::unique_ptr<RefreshLog> refreshLog_ = RefreshLog::fromEnvironment();

  Surface Picture1;
  Surface NowPicture;
  Surface NextPicture;
  Surface MemPicture;
  std::int32_t CurrentIndex = 0;
  // The entry whose picture NextPicture holds alone on the back colour, drawn from the
  // MemPicture of now, or -1.
  std::int32_t opaqueNextFrameOf_ = -1;
  // The surface whose rectangle holds MemPicture's picture while MemPicture itself holds no words
  // (the picture was loaded straight into its frame), or null when MemPicture holds it.
  const Surface* memPictureIn_ = nullptr;
  PixelRect memPictureRect_;
  Point StartCursorPos;
  EndFlag endFlag_ = kFalse;
  // Set once the system asked for the end; the show then finishes without the password.
  bool endRequested_ = false;
  // From the grab and the music of the setup until the finish steps have undone them.
  bool running_ = false;
  // Where the show stands, named in the error message as its source.
  std::string source_;
  bool prepared_ = false;
  std::exception_ptr preparationError_;
};

}  // namespace kamishibai
