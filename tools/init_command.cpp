// Kamishibai: kamishibai-pack init: a starting manifest for a folder of pictures, so that a
// folder of photos becomes a saver with init and build.
#include <iostream>
#include <regex>
#include <sstream>

#include "base/file_names.h"
#include "formats/picture_header.h"
#include "platform/display.h"
#include "platform/output_file.h"
#include "platform/picture_convert.h"
#include "tools/commands.h"
#include "tools/manifest.h"
#include "tools/picture_patterns.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

std::string starterManifest(const std::string& pictures, int width, int height, std::size_t count) {
  std::ostringstream out;
  out << "# A show of the " << count << " pictures in " << pictures
      << ", made by kamishibai-pack init.\n"
      << "# Make the saver with: kamishibai-pack build THIS.toml -o show.scr\n"
      << "shuffle = true          # a new order each build; add seed = N to keep one\n"
      << "\n[area]\n"
      << "width = " << width << "\nheight = " << height << "\n"
      << "colour = \"#000000\"\n"
      << "fit = \"contain\"         # whole, upright and centred; \"cover\" fills the area\n"
      << "\n[defaults]\n"
      << "time = 5000             # milliseconds each picture stays\n"
      << "effect = \"random\"       # a transition picked for each slide\n"
      << "\n[[slide]]\n"
      << "pictures = "
      << quotedText(pictures, [](unsigned char c) { return c < 0x20 || c == 0x7F; }) << "\n";
  return out.str();
}

// The pictures' folder as the manifest names it: relative to the manifest's folder when it lies
// inside it, so that the two move together; else absolute, so that moving the manifest alone
// keeps it.
fs::path folderAsNamed(const fs::path& pictures, const fs::path& manifest) {
  const fs::path folder = fs::absolute(pictures).lexically_normal();
  std::error_code error;
  const fs::path named = fs::relative(folder, fs::absolute(manifest).parent_path(), error);
  if (error || named.empty() || *named.begin() == "..") return folder;
  return named;
}

}  // namespace

std::optional<ScreenSize> parseAreaSize(const std::string& text) {
  static const std::regex form("([0-9]{1,5})x([0-9]{1,5})");
  std::smatch match;
  if (!std::regex_match(text, match, form)) return std::nullopt;
  const ScreenSize size{std::stoi(match[1]), std::stoi(match[2])};
  if (size.width < 1 || size.height < 1 || !pictureSizeProblem({size.width, size.height}).empty())
    return std::nullopt;
  return size;
}

int runInit(const fs::path& pictures, const fs::path& output, const std::string& size,
            std::ostream& out, std::ostream& err) {
  const std::optional<ScreenSize> area = size.empty() ? primaryScreenSize() : parseAreaSize(size);
  if (!area) {
    err << (size.empty() ? "no screen to take the size from; give one with --size WIDTHxHEIGHT\n"
                         : "--size must be WIDTHxHEIGHT, each 1 to 16384, at most 100 "
                           "megapixels\n");
    return 1;
  }
  const PatternMatch found =
      matchPictures(fs::current_path(), utf8Of(pictures), pictureFileEndings());
  if (!found.problem.empty()) {
    err << terminalText(utf8Of(pictures) + ": " + found.problem, Backslashes::Kept) << "\n";
    return 1;
  }
  const std::string text = starterManifest(utf8Of(folderAsNamed(pictures, output)), area->width,
                                           area->height, found.files.size());
  try {
    OutputFile manifest(output, ExistingTarget::Refuse);
    manifest.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    manifest.commit();
  } catch (const std::exception& e) {
    err << terminalText(e.what(), Backslashes::Kept) << "\n";
    return 1;
  }
  out << terminalText(utf8Of(output), Backslashes::Kept) << ": " << found.files.size()
      << " pictures, fitted to an area of " << area->width << " x " << area->height
      << (size.empty() ? " (this screen)" : "") << "\n"
      << "A smaller screen shows the middle of the area and cuts its edges; give --size for the "
         "smallest screen the saver is for.\n";
  return 0;
}

void addInitCommand(CLI::App& app) {
  auto* command = app.add_subcommand("init", "Write a starting manifest for a folder of pictures");
  auto pictures = std::make_shared<std::string>();
  auto output = std::make_shared<std::string>();
  auto size = std::make_shared<std::string>();
  command->add_option("pictures", *pictures, "The folder of pictures")->required();
  command->add_option("-o,--output", *output, "The manifest to write, e.g. show.toml")->required();
  command->add_option("--size", *size,
                      "The picture area, WIDTHxHEIGHT (default: this screen's). A smaller screen "
                      "cuts the area's edges: give the smallest screen the saver is for");
  command->callback([=] {
    finishCommand(
        runInit(pathFromUtf8(*pictures), pathFromUtf8(*output), *size, std::cout, std::cerr));
  });
}

}  // namespace kamishibai
