// Kamishibai: `kamishibai-pack render`, which runs one transition headlessly on a virtual clock
// and writes every Refresh of the display as a PNG frame, and `kamishibai-pack effects`.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/file_names.h"
#include "effects/transition.h"
#include "platform/headless/event_loop_headless.h"
#include "platform/headless/frame_recorder_headless.h"
#include "platform/output_file.h"
#include "platform/picture.h"
#include "platform/png_file.h"
#include "tools/commands.h"
#include "tools/gif_writer.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

struct RenderOptions {
  std::string effect;
  std::string from;
  std::string to;
  std::string out;
  int speed = 0;
  std::string gif;
};

// An effect given by its code or its name.
const EffectInfo& effectNamed(const std::string& text) {
  std::int32_t code = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, code);
  const EffectInfo* effect =
      error == std::errc{} && at == end ? findEffect(code) : findEffect(std::string_view(text));
  if (!effect) {
    throw std::runtime_error("unknown effect \"" + text + "\": give a code from 0 to " +
                             std::to_string(kLastEffectCode) +
                             " or a name that `kamishibai-pack effects` lists");
  }
  return *effect;
}

// A picture drawn at (0, 0) on a black surface of the given size, as the show composes a frame.
Surface frameOf(const Surface& picture, std::int32_t width, std::int32_t height) {
  Surface frame(width, height, makeColour(0, 0, 0));
  frame.drawImage(picture, 0, 0);
  return frame;
}

// Frames of an earlier, longer render would pass for frames of this one: remove those that
// continue the numbering.
void removeStaleFrames(const fs::path& dir, int firstStale) {
  std::error_code error;
  for (int i = firstStale; fs::remove(dir / frameFileName(i), error); ++i) {
  }
}

// A frame, written whole under its name or not at all.
void writeFrame(const Surface& frame, const fs::path& path) {
  OutputFile file(path, ExistingTarget::Replace);
  file.write(encodePng(frame));
  file.commit();
}

// The names a render gives the files in its folder, and removes when stale.
bool isFrameName(const std::string& name) {
  constexpr std::string_view kStart = "frame-", kEnd = ".png";
  if (name == "final.png") return true;
  if (name.size() <= kStart.size() + kEnd.size() || !name.starts_with(kStart) ||
      !name.ends_with(kEnd))
    return false;
  const std::string digits = name.substr(kStart.size(), name.size() - kStart.size() - kEnd.size());
  return digits.find_first_not_of("0123456789") == std::string::npos;
}

// True when the file lies in the frames folder under a name the frames take.
bool amongFrames(const fs::path& file, const fs::path& dir) {
  std::error_code error;
  const fs::path real = fs::weakly_canonical(file, error);
  return !error && isFrameName(utf8Of(real.filename())) &&
         fs::equivalent(real.parent_path(), dir, error);
}

// An output that is an input would lose the picture, and a GIF among the frames would be
// overwritten by one: such a render is refused before anything is written.
void checkOutputs(const RenderOptions& options, const fs::path& dir) {
  const fs::path gif = pathFromUtf8(options.gif);
  for (const std::string& input : {options.from, options.to}) {
    if (amongFrames(pathFromUtf8(input), dir)) {
      throw std::runtime_error("the picture " + input + " lies in " + options.out +
                               " under a name the frames take; give another --out folder");
    }
    if (!options.gif.empty() && sameFile(gif, pathFromUtf8(input))) {
      throw std::runtime_error("the GIF " + options.gif + " is the picture " + input);
    }
  }
  if (!options.gif.empty() && amongFrames(gif, dir)) {
    throw std::runtime_error("the GIF " + options.gif + " lies in " + options.out +
                             " under a name the frames take");
  }
}

void render(const RenderOptions& options, std::ostream& out) {
  const EffectInfo& effect = effectNamed(options.effect);
  Surface pictureA, pictureB;
  loadPicture(options.from, pictureA);
  loadPicture(options.to, pictureB);
  const std::int32_t width = pictureA.width(), height = pictureA.height();
  const Surface current = frameOf(pictureA, width, height);
  const Surface next = frameOf(pictureB, width, height);
  Surface display = frameOf(current, width, height);

  const fs::path dir = pathFromUtf8(options.out);
  checkOutputs(options, dir);
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) {
    throw std::runtime_error("the folder " + options.out + " cannot be made: " + error.message());
  }
  const std::int32_t speedFactor = 1 << options.speed;
  const double frameMs = static_cast<double>(effect.frameMs) / speedFactor;
  std::unique_ptr<GifWriter> gif;
  if (!options.gif.empty())
    gif = std::make_unique<GifWriter>(pathFromUtf8(options.gif), width, height);

  int frames = 0;
  if (effect.run) {
    FrameRecorder recorder(display, [&](const Surface& frame, int index) {
      writeFrame(frame, dir / frameFileName(index));
      if (gif) gif->addFrame(frame, index * frameMs);
    });
    VirtualEventLoop events;
    const EndFlag endFlag = kFalse;
    TransitionContext context{
        display, current, next, events, endFlag, speedFactor, RandomSequence::process()};
    runEffect(effect, context);
    frames = recorder.frameCount();
  } else {
    display.copyFrom(next, 0, 0, 0, 0, width, height);
  }
  removeStaleFrames(dir, frames);
  writeFrame(display, dir / "final.png");
  if (gif) {
    gif->addFrame(display, frames * frameMs);
    gif->finish(1000);
  }
  out << "effect " << effect.code << " (" << effect.name << "): " << frames
      << " frames and final.png in " << options.out << "\n";
}

// A failure (an unreadable picture, an unknown effect, a folder that cannot be written) is
// reported on err with status 1.
int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  try {
    render(options, out);
    return 0;
  } catch (const std::exception& e) {
    err << "kamishibai-pack render: " << terminalText(e.what(), Backslashes::Kept) << "\n";
    return 1;
  }
}

void listEffects(std::ostream& out) {
  for (const EffectInfo& effect : effectTable()) {
    char line[64];
    std::snprintf(line, sizeof line, "%2d  %-26s %3d ms\n", effect.code,
                  std::string(effect.name).c_str(), effect.frameMs);
    out << line;
  }
}

}  // namespace

void addRenderCommands(CLI::App& app) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* render = app.add_subcommand(
      "render", "Run one transition from picture A to picture B and write each frame as a PNG");
  render
      ->add_option("--effect", options->effect,
                   "Effect code (0 to " + std::to_string(kLastEffectCode) + ") or name")
      ->required();
  // The pictures are checked as they load: the option checks would read the names in the
  // system's code page, which cannot hold every name on Windows.
  render->add_option("--from", options->from, "Picture A, the picture being left")->required();
  render->add_option("--to", options->to, "Picture B, the next picture")->required();
  render->add_option("--out", options->out, "Folder for frame-0000.png ... and final.png")
      ->required();
  render
      ->add_option("--speed", options->speed,
                   "Speed exponent as in a manifest: every step lasts frame time / 2^K")
      ->check(CLI::Range(0, 30));
  render->add_option("--gif", options->gif, "Also write the frames as an animated GIF");
  render->callback([options] { finishCommand(runRender(*options, std::cout, std::cerr)); });

  app.add_subcommand("effects", "List the transitions: code, name and frame time")->callback([] {
    listEffects(std::cout);
  });
}

}  // namespace kamishibai
