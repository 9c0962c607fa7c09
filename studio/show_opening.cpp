// Kamishibai Studio: opening manifests, folders and savers, and saving shows that name files the
// Studio unpacked.
#include "studio/show_opening.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "base/file_names.h"
#include "formats/package.h"
#include "platform/source_file.h"
#include "tools/commands.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// The folder a show opened from a saver lives in: a new folder of scratch, into which extract
// writes the files and show.toml.
constexpr const char* kExtractedManifest = "show.toml";
// A new show of a folder: each picture upright and whole, 5 s, a random transition.
constexpr std::int32_t kFolderSlideTime = 5000;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

bool sameBytes(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::file_size(a, error) != fs::file_size(b, error) || error) return false;
  std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(first), std::istreambuf_iterator<char>(),
                    std::istreambuf_iterator<char>(second));
}

// Where a file of the scratch goes beside the manifest: under its own name, or numbered
// (name-2.jpg, ...) when another file has that name; the same bytes are used where they are.
fs::path besideManifest(const fs::path& file, const fs::path& folder) {
  const std::string stem = utf8Of(file.stem());
  const std::string ending = utf8Of(file.extension());
  for (int n = 1;; ++n) {
    const fs::path target =
        folder / pathFromUtf8(n == 1 ? stem + ending : stem + "-" + std::to_string(n) + ending);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(target, error))) {
      fs::copy_file(file, target, error);
      if (error) {
        throw std::runtime_error(utf8Of(target) + " cannot be written: " + error.message());
      }
      return target;
    }
    if (fs::is_regular_file(fs::symlink_status(target, error)) && sameBytes(file, target))
      return target;
  }
}

}  // namespace

StudioScratch::StudioScratch() {
  std::random_device random;
  root_ = fs::temp_directory_path() / ("kamishibai-studio-" + std::to_string(random()));
}

StudioScratch::~StudioScratch() {
  std::error_code error;
  if (count_ > 0) fs::remove_all(root_, error);
}

fs::path StudioScratch::newFolder() {
  std::error_code error;
  if (count_ == 0 && !fs::create_directory(root_, error)) {
    throw std::runtime_error("the Studio's folder " + utf8Of(root_) + " cannot be made" +
                             (error ? ": " + error.message() : ""));
  }
  const fs::path folder = root_ / std::to_string(++count_);
  fs::create_directory(folder, error);
  if (error) throw std::runtime_error(utf8Of(folder) + " cannot be made: " + error.message());
  return folder;
}

bool StudioScratch::holds(const fs::path& path) const {
  const fs::path inside = path.lexically_normal().lexically_relative(root_);
  return !inside.empty() && *inside.begin() != "..";
}

OpenedShow openManifest(const fs::path& manifest) {
  OpenedShow opened;
  const ManifestShowReading reading = readManifestShowFile(manifest);
  // A show read only in part would lose the rest when saved.
  for (const ManifestProblem& problem : reading.problems) {
    opened.problems.push_back(utf8Of(manifest) +
                              (problem.line > 0 ? ":" + std::to_string(problem.line) : "") + ": " +
                              problem.message);
  }
  if (opened.problems.empty())
    opened.document.emplace(reading.show, fs::absolute(manifest).lexically_normal());
  return opened;
}

OpenedShow openPictureFolder(const fs::path& folder, std::int32_t areaWidth,
                             std::int32_t areaHeight) {
  OpenedShow opened;
  ManifestShow show;
  show.settings.areaWidth = areaWidth;
  show.settings.areaHeight = areaHeight;
  show.settings.areaFit = PictureFit::Contain;
  show.settings.defaults.time = kFolderSlideTime;
  show.settings.defaults.effect = kRandomEffect;
  show.slides = slidesForPaths({folder}, opened.problems);
  ShowDocument document(areaWidth, areaHeight);
  document.editableShow() = std::move(show);
  opened.document = std::move(document);
  return opened;
}

OpenedShow openSaver(const fs::path& saver, StudioScratch& scratch) {
  OpenedShow opened;
  try {
    const fs::path folder = scratch.newFolder();
    std::ostringstream out, err;
    const int status = runExtract(saver, folder, out, err);
    opened.problems = linesOf(err.str());
    if (status != 0) return opened;
    OpenedShow read = openManifest(folder / kExtractedManifest);
    if (!read.document) return read;
    // The unpacked manifest lies in the scratch: the show is saved elsewhere.
    opened.document.emplace(read.document->show(), fs::path());
  } catch (const std::exception& e) {
    opened.problems.push_back(e.what());
  }
  return opened;
}

OpenedShow openPath(const fs::path& path, std::int32_t areaWidth, std::int32_t areaHeight,
                    StudioScratch& scratch) {
  std::error_code error;
  if (fs::is_directory(path, error)) return openPictureFolder(path, areaWidth, areaHeight);
  if (path.extension() != ".toml" && inspectPackage(openSourceFile(path)).found)
    return openSaver(path, scratch);
  return openManifest(path);
}

void saveShow(ShowDocument& document, const fs::path& manifest, const StudioScratch& scratch) {
  const fs::path folder = fs::absolute(manifest).parent_path();
  ManifestShow show = document.show();
  // A file given a numbered name keeps its stored name through the manifest's name key.
  const auto relocate = [&](fs::path& file, std::optional<std::string>& name) {
    if (!scratch.holds(file)) return;
    const fs::path copy = besideManifest(file, folder);
    if (!name && copy.filename() != file.filename()) name = utf8Of(file.filename());
    file = copy;
  };
  ManifestSettings& s = show.settings;
  if (s.music) relocate(*s.music, s.musicName);
  for (ManifestSlide& slide : show.slides) {
    relocate(slide.picture, slide.name);
    if (slide.sound) relocate(*slide.sound, slide.soundName);
  }
  if (show != document.show()) document.editableShow() = std::move(show);
  document.saveAs(manifest);
}

}  // namespace kamishibai
