// Kamishibai: the show's test support.
#include "tests/unit/show/show_support.h"

#include "platform/headless/frame_recorder_headless.h"
#include "platform/png_file.h"

namespace kamishibai::testing {
namespace {

std::vector<std::string>* probeLog = nullptr;
VirtualEventLoop* probeEvents = nullptr;

void probeTransition(TransitionContext& context, std::int32_t) {
  probeCalls().push_back({probeEvents->now(), context.speedFactor, context.display.pixel(0, 0),
                          context.current.pixel(0, 0), context.next.pixel(0, 0), context.current});
  probeLog->push_back("transition S=" + std::to_string(context.speedFactor));
  context.display.drawImage(context.next, 0, 0);
}

constexpr EffectInfo kProbe{kProbeCode, "probe", 50, &probeTransition};

}  // namespace

const EffectInfo* probeLookup(std::int32_t code) {
  return code == kProbeCode ? &kProbe : findEffect(code);
}

std::vector<ProbeCall>& probeCalls() {
  static std::vector<ProbeCall> calls;
  return calls;
}

void attachProbe(std::vector<std::string>* log, VirtualEventLoop* events) {
  probeLog = log;
  probeEvents = events;
  probeCalls().clear();
}

void LoggingMusic::sendString(std::string_view command, char* reply, std::size_t length) {
  log_.push_back("music: " + std::string(command));
  std::fill(reply, reply + length, ' ');
}

void LoggingSounds::playSound(const std::string* file, std::uint32_t flags) {
  log_.push_back(file ? "sound: " + *file : "sound purge " + std::to_string(flags));
}

ShowTest::ShowTest() {
  record.AreaWidth = 8;
  record.AreaHeight = 6;
  record.AreaColor = static_cast<std::int32_t>(kAreaColour);
  attachProbe(&log, &events);
  window.onRefresh([this] { log.push_back("refresh"); });
}

ShowTest::~ShowTest() {
  attachProbe(nullptr, nullptr);
}

void ShowTest::writePicture(const PictureFile& picture) {
  Surface surface(picture.width, picture.height, picture.colour);
  if (picture.corner) surface.setPixel(0, 0, *picture.corner);
  writeBytes(workDir / picture.name, encodePng(surface));
}

PictureEntry& ShowTest::addEntry(const std::string& fileName, std::int32_t showTime,
                                 std::int32_t effectNo) {
  PictureEntry entry;
  entry.FileName = fileName;
  entry.ShowTime = showTime;
  entry.EffectNo = effectNo;
  record.Pictures.shape.dimensions = 1;
  record.Pictures.entries.push_back(entry);
  record.PictureCount = static_cast<std::int32_t>(record.Pictures.entries.size());
  return record.Pictures.entries.back();
}

void ShowTest::runShow() {
  const std::u8string folder = workDir.u8string() + u8"/";
  inputs = std::make_unique<ShowInputs>(
      ShowInputs{record, {folder.begin(), folder.end()}, -1, -1, std::nullopt, [this] {
                   log.push_back("work files removed");
                 }});
  audio = std::make_unique<ShowAudio>(music, sounds, record.BgmName, inputs->WorkDir, inputs->BgmOn,
                                      inputs->SoundOn);
  form.reset();  // its destructor detaches it from the window
  form = std::make_unique<Form1>(*inputs, window, *audio, RandomSequence::process(), &probeLookup);
  form->load();
}

void ShowTest::keyAt(std::int32_t tick) {
  events.at(tick, [this] { window.pressKey(); });
}

}  // namespace kamishibai::testing
