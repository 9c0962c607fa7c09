// Kamishibai: Form1's load handler (setup, start of show, the slide-show loop, the end sequence
// with the password check), its input handlers and its single error handler.
#include "show/form1.h"

#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/arith.h"
#include "base/file_names.h"
#include "base/short_text.h"
#include "formats/picture_header.h"
#include "formats/stored_name.h"
#include "platform/picture.h"
#include "platform/translate.h"
#include "show/transparent_blt.h"

namespace kamishibai {
namespace {

const char* const kErrorPrompt = N_("不明のエラーが発生しました。");
const char* const kErrorTitle = N_("エラー");
const char* const kLineBreak = "\r\n";

std::string entryName(std::int32_t index) {
  return "picture entry " + std::to_string(index);
}

}  // namespace

Form1::Form1(const ShowInputs& inputs, ShowWindow& window, ShowAudio& audio, RandomSequence& random,
             EffectLookup lookup)
    : inputs_(inputs), window_(window), audio_(audio), random_(random), lookup_(lookup) {
  window_.setInput(this);
  if (kWindowsFileNames) {
    std::vector<std::string> names;
    for (const PictureEntry& e : inputs_.record.Pictures.entries) names.push_back(e.FileName);
    caseVariants_ = caseVariantsOfEarlierNames(names);
  }
}

Form1::~Form1() {
  window_.setInput(nullptr);
}

void Form1::prepare() {
  prepared_ = true;
  try {
    prepareSurfaces();
  } catch (const std::exception&) {
    preparationError_ = std::current_exception();
  }
}

void Form1::load() {
  try {
    if (!prepared_) prepareSurfaces();
    if (preparationError_) std::rethrow_exception(preparationError_);
    setup();
    for (;;) {
      startOfShow();
      while (endFlag_ != kTrue) runIteration();
      if (endSequence() == EndOfShow::Finished) break;
    }
    finish();
  } catch (const std::exception& error) {
    endAfterError(error.what());
  }
}

void Form1::prepareSurfaces() {
  source_ = "Form1: setup";
  const PackageRecord& record = inputs_.record;
  // The bare player, copied away from a saver, carries no package: the user is told what it
  // lacks and how a saver is made, rather than which index was missing.
  if (record.Pictures.entries.empty()) {
    source_ =
        tr("セーバーは kamishibai-pack で作ります: kamishibai-pack init 写真のフォルダー -o "
           "show.toml、続けて kamishibai-pack build show.toml -o show.scr");
    throw std::runtime_error(tr("このプログラムには絵が入っていません。"));
  }
  const ScreenSize screen = window_.screenSize();
  const std::int32_t left = screen.width / 2 - record.AreaWidth / 2;
  const std::int32_t top = screen.height / 2 - record.AreaHeight / 2;
  Picture1.resize(record.AreaWidth, record.AreaHeight);
  window_.placePicture1(Picture1, left, top);
  if (refreshLog_) refreshLog_->watch(Picture1, window_.events());
  Picture1.setBackColour(static_cast<Colour>(record.AreaColor));
  Picture1.clear();
  for (Surface* hidden : {&NowPicture, &NextPicture}) {
    hidden->setBackColour(Picture1.backColour());
    hidden->resize(Picture1.width(), Picture1.height());
  }
  MemPicture.setBackColour(Picture1.backColour());
  // NextPicture is built anew before anything reads it: it may hold the first picture meanwhile.
  loadMemPicture(0, true);
}

void Form1::setup() {
  window_.show();
  window_.events().processPendingEvents();
  window_.makeTopmost();
  running_ = true;
  window_.setScreenSaverRunning(true);
  audio_.startMusic();
}

void Form1::startOfShow() {
  source_ = "Form1: start of show";
  hideCursor();
  endFlag_ = endRequested_ ? kTrue : kFalse;
  CurrentIndex = 0;
  opaqueNextFrameOf_ = -1;
  StartCursorPos = window_.cursorPos();
  const PictureEntry& first = entry(0);
  drawMemPicture(Picture1, first.PosX, first.PosY);
  Picture1.refresh();
}

void Form1::runIteration() {
  const std::int32_t i = CurrentIndex;
  source_ = "Form1: " + entryName(i);
  const PictureEntry& leaving = entry(i);
  EventLoop& events = window_.events();

  const std::int32_t now = events.tickCount();
  std::int32_t deadline = 0;
  try {
    deadline = checkedAdd(now, leaving.ShowTime);
  } catch (const OverflowError&) {
    throw OverflowError("the display deadline of " + entryName(i) + ", tick " +
                        std::to_string(now) + " + ShowTime " + std::to_string(leaving.ShowTime) +
                        ", does not fit in 32 bits");
  }

  buildFrameBeingLeft(i);

  CurrentIndex = i == checkedSub(inputs_.record.PictureCount, 1) ? 0 : checkedAdd(i, 1);
  const std::int32_t n = CurrentIndex;
  const PictureEntry& next = entry(n);
  loadMemPicture(n, next.Overlay == 0);
  buildNextFrame(n);

  waitForDeadline(events, endFlag_, deadline);
  audio_.playSound(next.SoundName);
  const std::int32_t speedFactor = speedFactorOf(leaving, i);
  if (refreshLog_) refreshLog_->transitionStarted(events, leaving.EffectNo, deadline, speedFactor);
  runTransition(leaving, speedFactor);

  Picture1.refresh();
  audio_.keepMusicAlive();
  events.processPendingEvents();
}

const PictureEntry& Form1::entry(std::int32_t index) const {
  return inputs_.record.Pictures.at(index);
}

void Form1::loadMemPicture(std::int32_t index, bool intoNextPicture) {
  const PictureEntry& loaded = entry(index);
  const std::string& name = loaded.FileName;
  // No clear first: loading replaces MemPicture's size and every word, and a picture that
  // cannot be loaded ends the show.
  // Only plain names are read, so a package never reaches outside the work folder.
  if (const std::string_view problem = storedNameProblem(name); !problem.empty()) {
    throw std::runtime_error("cannot read the picture \"" + name + "\" of " + entryName(index) +
                             ": " + std::string(problem));
  }
  // Its file would be the earlier picture's, which the work folder holds under that name.
  if (caseVariants_.contains(name)) {
    throw std::runtime_error("cannot read the picture \"" + name + "\" of " + entryName(index) +
                             ": an earlier picture's name differs from it only in letter case");
  }
  if (inputs_.awaitWorkFile) inputs_.awaitWorkFile(name);
  const std::string path = inputs_.WorkDir + name;
  // A picture too large to hold is refused from its header, before any decoding.
  if (const auto header = readPictureFileHeader(pathFromUtf8(path))) {
    if (const std::string problem = pictureSizeProblem(*header); !problem.empty()) {
      throw std::runtime_error("the picture \"" + name + "\" of " + entryName(index) +
                               " is too large: " + problem);
    }
  }
  memPictureIn_ = nullptr;
  if (!intoNextPicture) {
    loadPicture(path, MemPicture);
    return;
  }
  // MemPicture's own words would only be copied into the frame: they go first, so that the show
  // holds three area-sized images rather than four.
  MemPicture = Surface(0, 0, MemPicture.backColour());
  const PixelRect placed =
      loadPictureInto(path, MemPicture, NextPicture, {loaded.PosX, loaded.PosY});
  if (!placed.empty()) {
    memPictureIn_ = &NextPicture;
    memPictureRect_ = placed;
  }
}

void Form1::drawMemPicture(Surface& target, std::int32_t x, std::int32_t y) {
  if (memPictureIn_ == nullptr) {
    target.clearAndDraw(MemPicture, x, y);
    return;
  }
  const PixelRect& held = memPictureRect_;
  target.clearAndCopy(*memPictureIn_, held.left, held.top, x, y, held.width(), held.height());
}

void Form1::buildFrameBeingLeft(std::int32_t index) {
  const PictureEntry& leaving = entry(index);
  if (leaving.Overlay != 0) {
    NowPicture.clearAndDraw(Picture1, 0, 0);
  } else if (opaqueNextFrameOf_ == index) {
    // The last next frame is this very frame, drawn from the same MemPicture: its words are
    // taken over instead of drawn again, and MemPicture's picture goes with them.
    std::swap(NowPicture, NextPicture);
    if (memPictureIn_ == &NextPicture) memPictureIn_ = &NowPicture;
  } else {
    drawMemPicture(NowPicture, leaving.PosX, leaving.PosY);
  }
  opaqueNextFrameOf_ = -1;
}

void Form1::buildNextFrame(std::int32_t index) {
  const PictureEntry& next = entry(index);
  if (next.Overlay == 0) {
    // Loaded straight into NextPicture, the picture is this frame already.
    if (memPictureIn_ != &NextPicture) NextPicture.clearAndDraw(MemPicture, next.PosX, next.PosY);
    opaqueNextFrameOf_ = index;
    return;
  }
  opaqueNextFrameOf_ = -1;
  NextPicture.clearAndDraw(NowPicture, 0, 0);
  if (next.Transparent != 0) {
    TransparentBltFunc(NextPicture, next.PosX, next.PosY, roundEven(MemPicture.scaleWidth()),
                       roundEven(MemPicture.scaleHeight()), MemPicture, 0, 0,
                       NextPicture.backColour());
  } else {
    NextPicture.drawImage(MemPicture, next.PosX, next.PosY);
  }
}

std::int32_t Form1::speedFactorOf(const PictureEntry& leaving, std::int32_t index) {
  const double factor = std::pow(2.0, leaving.Speed);
  try {
    return roundEven(factor);
  } catch (const OverflowError&) {
    throw OverflowError("the speed factor 2^" + std::to_string(leaving.Speed) + " of " +
                        entryName(index) + " does not fit in 32 bits");
  }
}

void Form1::runTransition(const PictureEntry& leaving, std::int32_t speedFactor) {
  const std::int32_t code = leaving.EffectNo;
  if (code == 0) {
    Picture1.drawImage(NextPicture, 0, 0);
    return;
  }
  const EffectInfo* effect = lookup_(code);
  if (effect == nullptr || effect->run == nullptr) return;
  source_ += ", effect " + std::to_string(code) + " (" + std::string(effect->name) + ")";
  TransitionContext context{Picture1, NowPicture,  NextPicture, window_.events(),
                            endFlag_, speedFactor, random_};
  runEffect(*effect, context);
}

Form1::EndOfShow Form1::endSequence() {
  source_ = "Form1: end of show";
  showCursor();
  if (endRequested_) return EndOfShow::Finished;
  const std::optional<std::int32_t> usePassword = window_.screenSaveUsePassword();
  // An end requested while the password dialog was open finishes the show too.
  if (usePassword.value_or(0) != 0 && !window_.verifyScreenSaverPassword() && !endRequested_) {
    hideCursor();
    return EndOfShow::Restart;
  }
  return EndOfShow::Finished;
}

// Once only, whichever end comes first.
void Form1::finish() {
  if (!running_) return;
  running_ = false;
  window_.setScreenSaverRunning(false);
  audio_.finish();
}

// An error ends the show as any end does before its message appears, the cursor shown for the
// message: otherwise the open music would keep its file, which the removal of the work folder
// then could not delete, and the system would still count a screen saver as running.
void Form1::endAfterError(const std::string& description) {
  if (running_) showCursor();
  finish();
  reportError(description);
}

void Form1::hideCursor() {
  while (window_.showCursor(false) >= 0) {
  }
}

void Form1::showCursor() {
  while (window_.showCursor(true) < 0) {
  }
}

void Form1::keyDown() {
  endFlag_ = kTrue;
}

void Form1::buttonDown() {
  endFlag_ = kTrue;
}

void Form1::mouseMove() {
  if (window_.cursorPos() != StartCursorPos) endFlag_ = kTrue;
}

void Form1::endRequested() {
  endRequested_ = true;
  endFlag_ = kTrue;
}

// The system may stop the process as soon as this returns: everything the end of the show does
// is done now. The loop then ends at its next test of the end flag and finds nothing left to do.
void Form1::sessionEnding() {
  endRequested();
  finish();
  if (inputs_.removeWorkFiles) inputs_.removeWorkFiles();
}

void Form1::reportError(const std::string& description) {
  // Names and values of any length (a stored name may have 65,535 bytes) are shortened, so the
  // box fits on the screen.
  window_.showErrorMessage(std::string(tr(kErrorPrompt)) + kLineBreak +
                               readableMessage(description) + kLineBreak + readableMessage(source_),
                           tr(kErrorTitle));
}

}  // namespace kamishibai
