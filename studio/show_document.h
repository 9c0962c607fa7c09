// Kamishibai Studio: the show being edited: its manifest values, where it is saved, and whether
// it changed since.
#pragma once

#include <filesystem>
#include <string>

#include "tools/manifest_show.h"

namespace kamishibai {

class ShowDocument {
 public:
  // A new, empty show on an area of the given size, not yet saved anywhere.
  explicit ShowDocument(std::int32_t areaWidth = 1920, std::int32_t areaHeight = 1080);
  ShowDocument(ManifestShow show, std::filesystem::path manifest);

  const ManifestShow& show() const { return show_; }
  // Edits go through EditHistory, which keeps them undoable.
  ManifestShow& editableShow() { return show_; }

  // The manifest it was opened from or saved to; empty for a show never saved.
  const std::filesystem::path& manifestPath() const { return manifest_; }
  // True when the show differs from what was last opened or saved (an undo back to it is clean).
  bool dirty() const { return show_ != saved_; }

  // Writes the manifest under a temporary name and renames it over path; the document then
  // belongs to path. Throws std::runtime_error naming the cause; the document is left unsaved.
  void saveAs(const std::filesystem::path& path);
  // The text save would write, for building without saving.
  ManifestShowText manifestText() const;
  // The folder relative paths of the text start from: the manifest's, or the working folder's.
  std::filesystem::path folder() const;

 private:
  ManifestShow show_;
  ManifestShow saved_;
  std::filesystem::path manifest_;
};

}  // namespace kamishibai
