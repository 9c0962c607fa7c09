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

#include "effects/transition.h"
#include "platform/headless/event_loop_headless.h"
#include "platform/headless/frame_recorder_headless.h"
#include "platform/picture.h"
#include "tools/commands.h"
#include "tools/gif_writer.h"

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
  for (int i = firstStale; fs::remove(dir / frameFileName(i)); ++i) {
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

  const fs::path dir(options.out);
  fs::create_directories(dir);
  const std::int32_t speedFactor = 1 << options.speed;
  const double frameMs = static_cast<double>(effect.frameMs) / speedFactor;
  std::unique_ptr<GifWriter> gif;
  if (!options.gif.empty()) gif = std::make_unique<GifWriter>(options.gif, width, height);

  int frames = 0;
  if (effect.run) {
    FrameRecorder recorder(display, [&](const Surface& frame, int index) {
      writePng(frame, dir / frameFileName(index));
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
  writePng(display, dir / "final.png");
  if (gif) {
    gif->addFrame(display, frames * frameMs);
    gif->finish(1000);
  }
  out << "effect " << effect.code << " (" << effect.name << "): " << frames
      << " frames and final.png in " << dir.string() << "\n";
}

// A failure (an unreadable picture, an unknown effect, a folder that cannot be written) is
// reported on err with status 1.
int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  try {
    render(options, out);
    return 0;
  } catch (const std::exception& e) {
    err << "kamishibai-pack render: " << e.what() << "\n";
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
  render->add_option("--from", options->from, "Picture A, the picture being left")
      ->required()
      ->check(CLI::ExistingFile);
  render->add_option("--to", options->to, "Picture B, the next picture")
      ->required()
      ->check(CLI::ExistingFile);
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
