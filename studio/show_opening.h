// Kamishibai Studio: opening what the Studio is given: a manifest, a folder of pictures (a new
// show of them) or a saver (through extract, into a folder the Studio owns).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "studio/show_document.h"

namespace kamishibai {

// The folders the Studio unpacks savers into: made under the temporary folder on first use,
// removed with everything in them when this goes.
class StudioScratch {
 public:
  StudioScratch();
  ~StudioScratch();
  StudioScratch(const StudioScratch&) = delete;
  StudioScratch& operator=(const StudioScratch&) = delete;

  // A new empty folder; throws std::runtime_error naming the cause.
  std::filesystem::path newFolder();
  // True when path lies in one of its folders: a show saved elsewhere must not name such files.
  bool holds(const std::filesystem::path& path) const;

 private:
  std::filesystem::path root_;
  int count_ = 0;
};

struct OpenedShow {
  std::optional<ShowDocument> document;  // nullopt when nothing could be opened
  std::vector<std::string> problems;     // why not, or what was left out
};

OpenedShow openManifest(const std::filesystem::path& manifest);
// A new show of the pictures in and below the folder, on an area of the given size, each fitted
// with "contain", shown 5 s and left through a random transition as init starts a show, but in
// name order, for the user to arrange. Never saved, it counts as changed.
OpenedShow openPictureFolder(const std::filesystem::path& folder, std::int32_t areaWidth,
                             std::int32_t areaHeight);
// Extracts the saver into a new folder of scratch and opens its manifest. The show has no
// manifest path: saving asks where, and copies the unpacked files beside the new manifest.
OpenedShow openSaver(const std::filesystem::path& saver, StudioScratch& scratch);
// Any of the three, told apart by what path is: a folder, a file holding a package, else a
// manifest.
OpenedShow openPath(const std::filesystem::path& path, std::int32_t areaWidth,
                    std::int32_t areaHeight, StudioScratch& scratch);

// Saves the document at manifest; files it names inside scratch are first copied beside the
// manifest (never over a different file), so the saved show outlives the Studio. Throws
// std::runtime_error naming the cause.
void saveShow(ShowDocument& document, const std::filesystem::path& manifest,
              const StudioScratch& scratch);

}  // namespace kamishibai
