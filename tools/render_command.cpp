// Kamishibai: `kamishibai-pack render`, which runs one transition headlessly on a virtual clock
// and writes every Refresh of the display as a PNG frame, or every transition's middle frame on
// a contact sheet, and `kamishibai-pack effects`.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/file_names.h"
#include "effects/transition.h"
#include "platform/headless/event_loop_headless.h"
#include "platform/headless/frame_recorder_headless.h"
#include "platform/output_file.h"
#include "platform/picture.h"
#include "platform/picture_convert.h"
#include "platform/png_file.h"
#include "tools/commands.h"
#include "tools/contact_sheet.h"
#include "tools/gif_writer.h"
#include "tools/manifest.h"
#include "tools/transition_render.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// GIFs wider than this are large files that show little more in a preview.
constexpr std::int32_t kGifWidth = 640;
// Past this many bytes of frames and GIF a render is warned to choose a smaller area.
constexpr std::uint64_t kLargeOutput = 100'000'000;

struct RenderOptions {
  std::string effect;
  std::string from;
  std::string to;
  std::string out;
  int speed = 0;
  std::string gif;
  std::int32_t gifWidth = kGifWidth;
  std::string area;  // "WIDTHxHEIGHT", or empty for the first picture's size
  std::string fit = "none";
  std::string sheet;  // the contact sheet to write instead of one transition's frames
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

// A picture drawn at the corner of a black surface of the given size, as the show composes a
// frame.
Surface frameOf(const Surface& picture, std::int32_t width, std::int32_t height) {
  Surface frame(width, height, makeColour(0, 0, 0));
  frame.drawImage(picture, 0, 0);
  return frame;
}

// The two pictures as the transition starts from and ends on: on the area when one is given,
// else each at (0, 0) on a surface of the first picture's size.
std::pair<Surface, Surface> startAndEnd(const RenderOptions& options) {
  if (!options.area.empty()) {
    const std::optional<ScreenSize> area = parseAreaSize(options.area);
    if (!area) {
      throw std::runtime_error(
          "--area must be WIDTHxHEIGHT, each 1 to 16384, at most 100 "
          "megapixels");
    }
    const PictureFit fit = fitNamed(options.fit).value_or(PictureFit::None);
    const Colour black = makeColour(0, 0, 0);
    return {pictureOnArea(options.from, fit, *area, black),
            pictureOnArea(options.to, fit, *area, black)};
  }
  Surface pictureA, pictureB;
  loadPicture(options.from, pictureA);
  loadPicture(options.to, pictureB);
  const std::int32_t width = pictureA.width(), height = pictureA.height();
  return {frameOf(pictureA, width, height), frameOf(pictureB, width, height)};
}

// Counts what a render writes, and warns once before it writes more than kLargeOutput bytes.
class OutputSize {
 public:
  explicit OutputSize(std::ostream& err) : err_(err) {}

  void comingBytes(std::uint64_t bytes) {
    written_ += bytes;
    if (written_ <= kLargeOutput || warned_) return;
    warned_ = true;
    err_ << "kamishibai-pack render: warning: the frames and GIF come to more than "
         << kLargeOutput / 1'000'000 << " MB; --area WIDTHxHEIGHT renders smaller frames\n";
  }

 private:
  std::ostream& err_;
  std::uint64_t written_ = 0;
  bool warned_ = false;
};

// Frames of an earlier, longer render would pass for frames of this one: remove those that
// continue the numbering.
void removeStaleFrames(const fs::path& dir, int firstStale) {
  std::error_code error;
  for (int i = firstStale; fs::remove(dir / frameFileName(i), error); ++i) {
  }
}

// A frame, written whole under its name or not at all.
void writeFrame(const Surface& frame, const fs::path& path, OutputSize& size) {
  const std::vector<std::uint8_t> png = encodePng(frame);
  size.comingBytes(png.size());
  OutputFile file(path, ExistingTarget::Replace);
  file.write(png);
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

void render(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  const EffectInfo& effect = effectNamed(options.effect);
  const auto [current, next] = startAndEnd(options);
  const std::int32_t width = current.width(), height = current.height();

  const fs::path dir = pathFromUtf8(options.out);
  checkOutputs(options, dir);
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) {
    throw std::runtime_error("the folder " + options.out + " cannot be made: " + error.message());
  }
  const double frameMs = static_cast<double>(effect.frameMs) / (1 << options.speed);
  std::unique_ptr<GifWriter> gif;
  if (!options.gif.empty()) {
    gif = std::make_unique<GifWriter>(pathFromUtf8(options.gif), width, height, options.gifWidth);
  }
  OutputSize size(err);
  // The GIF's frames reach the file one frame late; each is counted as it is compressed.
  const auto addToGif = [&](const Surface& frame, double atMs) {
    const std::uint64_t before = gif->imageBytes();
    gif->addFrame(frame, atMs);
    size.comingBytes(gif->imageBytes() - before);
  };

  Surface display;
  const int frames = renderTransition(
                         effect, options.speed, current, next, display,
                         [&](const Surface& frame, int index, std::int32_t) {
                           writeFrame(frame, dir / frameFileName(index), size);
                           if (gif) addToGif(frame, index * frameMs);
                         },
                         kFalse)
                         .frames;
  removeStaleFrames(dir, frames);
  writeFrame(display, dir / "final.png", size);
  if (gif) {
    addToGif(display, frames * frameMs);
    gif->finish(1000);
  }
  out << "effect " << effect.code << " (" << effect.name << "): " << frames
      << " frames and final.png in " << options.out << "\n";
}

// Every transition's middle frame on one picture; a sheet that is one of the pictures would lose
// it, so it is refused.
void renderSheet(const RenderOptions& options, std::ostream& out) {
  const fs::path sheetPath = pathFromUtf8(options.sheet);
  for (const std::string& input : {options.from, options.to}) {
    if (sameFile(sheetPath, pathFromUtf8(input))) {
      throw std::runtime_error("the sheet " + options.sheet + " is the picture " + input);
    }
  }
  const auto [current, next] = startAndEnd(options);
  const Surface sheet = contactSheet(options.speed, current, next);
  OutputFile file(sheetPath, ExistingTarget::Replace);
  file.write(encodePng(sheet));
  file.commit();
  out << "codes 1 to " << kLastEffectCode << " on " << options.sheet << " (" << sheet.width()
      << " x " << sheet.height() << ")\n";
}

// A failure (an unreadable picture, an unknown effect, a folder that cannot be written) is
// reported on err with status 1.
int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  try {
    if (!options.sheet.empty()) {
      renderSheet(options, out);
    } else {
      render(options, out, err);
    }
    return 0;
  } catch (const std::exception& e) {
    err << "kamishibai-pack render: " << terminalText(e.what(), Backslashes::Kept) << "\n";
    return 1;
  }
}

// A full-HD area, for which the lengths are given: a few transitions take a step more or less on
// other sizes.
constexpr std::int32_t kListWidth = 1920, kListHeight = 1080;

// How long the transition runs at speed 0 on the list's area, from a run on the virtual clock:
// its steps, each of the frame time and the first tick after it.
std::int32_t totalMs(const EffectInfo& effect) {
  if (!effect.run) return 0;
  Surface display(kListWidth, kListHeight), current(kListWidth, kListHeight),
      next(kListWidth, kListHeight);
  VirtualEventLoop events;
  const EndFlag endFlag = kFalse;
  RandomSequence random;
  TransitionContext context{display, current, next, events, endFlag, 1, random};
  runEffect(effect, context);
  return events.now();
}

void listEffects(std::ostream& out) {
  out << "code name                  frame time  total at speed 0, " << kListWidth << " x "
      << kListHeight << "\n";
  for (const EffectInfo& effect : effectTable()) {
    char line[80];
    std::snprintf(line, sizeof line, "%2d  %-26s %3d ms %8.2f s\n", effect.code,
                  std::string(effect.name).c_str(), effect.frameMs, totalMs(effect) / 1000.0);
    out << line;
  }
}

}  // namespace

void addRenderCommands(CLI::App& app) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* render = app.add_subcommand(
      "render",
      "Run one transition from picture A to picture B and write each frame as a PNG, or write a "
      "contact sheet of every transition");
  CLI::Option* effect =
      render->add_option("--effect", options->effect,
                         "Effect code (0 to " + std::to_string(kLastEffectCode) + ") or name");
  // The pictures are checked as they load: the option checks would read the names in the
  // system's code page, which cannot hold every name on Windows.
  render->add_option("--from", options->from, "Picture A, the picture being left")->required();
  render->add_option("--to", options->to, "Picture B, the next picture")->required();
  CLI::Option* out =
      render->add_option("--out", options->out, "Folder for frame-0000.png ... and final.png");
  render
      ->add_option("--speed", options->speed,
                   "Speed exponent as in a manifest: every step lasts frame time / 2^K")
      ->check(CLI::Range(0, 30));
  CLI::Option* area = render->add_option(
      "--area", options->area,
      "Picture area WIDTHxHEIGHT as in a manifest: both pictures on it, placed as --fit says "
      "(default: the size of picture A, each picture at its corner)");
  render
      ->add_option("--fit", options->fit,
                   "With --area, as a manifest's fit: none, contain (whole, upright and centred), "
                   "cover or shrink (default: none)")
      ->check([](const std::string& text) {
        return fitNamed(text) ? std::string() : "must be none, contain, cover or shrink";
      })
      ->needs(area);
  CLI::Option* gif =
      render->add_option("--gif", options->gif, "Also write the frames as an animated GIF");
  render
      ->add_option("--gif-width", options->gifWidth,
                   "The GIF's largest width; wider frames are scaled down (default: " +
                       std::to_string(kGifWidth) + ")")
      ->check(CLI::Range(1, 65535));
  render
      ->add_option("--sheet", options->sheet,
                   "Instead of --effect and --out: write one PNG with the middle frame of every "
                   "transition, each labelled with its code and name")
      ->excludes(effect)
      ->excludes(out)
      ->excludes(gif);
  render->callback([options] {
    if (options->sheet.empty() && (options->effect.empty() || options->out.empty())) {
      throw CLI::RequiredError("render needs --effect and --out, or --sheet",
                               CLI::ExitCodes::RequiredError);
    }
    finishCommand(runRender(*options, std::cout, std::cerr));
  });

  app.add_subcommand("effects",
                     "List the transitions: code, name, frame time and total length at speed 0")
      ->callback([] { listEffects(std::cout); });
}

}  // namespace kamishibai
