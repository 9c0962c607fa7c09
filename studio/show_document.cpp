// Kamishibai Studio: the show being edited.
#include "studio/show_document.h"

#include "platform/output_file.h"

namespace kamishibai {

namespace fs = std::filesystem;

ShowDocument::ShowDocument(std::int32_t areaWidth, std::int32_t areaHeight) {
  show_.settings.areaWidth = areaWidth;
  show_.settings.areaHeight = areaHeight;
  saved_ = show_;
}

ShowDocument::ShowDocument(ManifestShow show, fs::path manifest)
    : show_(std::move(show)), saved_(show_), manifest_(std::move(manifest)) {}

fs::path ShowDocument::folder() const {
  return manifest_.empty() ? fs::current_path() : fs::absolute(manifest_).parent_path();
}

ManifestShowText ShowDocument::manifestText() const {
  return writeManifestShow(show_, folder());
}

void ShowDocument::saveAs(const fs::path& path) {
  const std::string text = writeManifestShow(show_, fs::absolute(path).parent_path()).text;
  OutputFile file(path, ExistingTarget::Replace);
  file.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  file.commit();
  manifest_ = fs::absolute(path);
  saved_ = show_;
}

}  // namespace kamishibai
