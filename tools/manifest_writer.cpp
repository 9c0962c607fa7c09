// Kamishibai: writing the manifest that rebuilds a package. Keys that only keep stored details
// (lower bounds, empty arrays with dimensions, a PictureCount that differs from the slides,
// switches other than true and false, raw values) are written only when the package needs them.
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "effects/transition.h"
#include "formats/picture_header.h"
#include "formats/stored_name.h"
#include "raster/raster.h"
#include "tools/manifest.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

std::string switchText(std::int16_t value) {
  if (value == 0) return "false";
  if (value == -1) return "true";
  return std::to_string(value);
}

// The shape key, when the stored shape is not the one a manifest gives by default.
void writeShape(std::ostream& out, std::string_view key, const ArrayShape& shape,
                bool hasElements) {
  const ArrayShape usual{static_cast<std::int16_t>(hasElements ? 1 : 0), 0};
  if (shape.dimensions == usual.dimensions && shape.lowerBound == usual.lowerBound) return;
  out << key << " = { dimensions = " << shape.dimensions;
  if (shape.dimensions == 1) out << ", lower_bound = " << shape.lowerBound;
  out << " }\n";
}

// The raw key listing the values that build would refuse in a written manifest, so that it
// takes them as they are.
void writeRaw(std::ostream& out, const std::vector<std::string_view>& keys) {
  if (keys.empty()) return;
  out << "raw = [";
  const char* separator = "";
  for (std::string_view key : keys) {
    out << separator << tomlString(key);
    separator = ", ";
  }
  out << "]\n";
}

bool outside(std::int64_t value, std::int64_t min, std::int64_t max) {
  return value < min || value > max;
}

// The picture's header, read from the saver where the bytes still lie there, so that the
// picture itself is never brought into memory.
std::optional<PictureHeader> headerOf(const ByteBuffer& bytes) {
  const SourceFile* file = bytes.sourceFile();
  if (file == nullptr) return readPictureHeader(bytes.bytes());
  const std::uint64_t start = bytes.sourceOffset();
  const std::uint64_t size = bytes.size();
  return readPictureHeader([&](std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset >= size) return std::size_t{0};
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), size - offset));
    return file->readAt(start + offset, out.first(count)) ? count : std::size_t{0};
  });
}

// A picture that build would refuse or convert: stored as it is instead.
bool rawPicture(const ByteBuffer& bytes) {
  const auto header = headerOf(bytes);
  return !header || !header->everyPlayerReads() || !pictureSizeProblem(*header).empty();
}

// The names build would refuse or change: those with trouble of their own, and those that differ
// only in letter case from an earlier one (which build would number).
class RawNames {
 public:
  explicit RawNames(const PackageRecord& r) {
    std::vector<std::string> names{r.BgmName};
    for (const PictureEntry& e : r.Pictures.entries) {
      names.push_back(e.FileName);
      names.push_back(e.SoundName);
    }
    caseVariants_ = caseVariantsOfEarlierNames(names);
  }

  bool contains(const std::string& name) const {
    return !name.empty() && (!storedNameTrouble(name).empty() || caseVariants_.contains(name));
  }

 private:
  std::set<std::string> caseVariants_;
};

void writeSlide(std::ostream& out, const PictureEntry& e, const std::set<std::string>& unplayable,
                const RawNames& rawNames) {
  out << "\n[[slide]]\npicture = " << tomlString(e.FileName) << "\n";
  std::vector<std::string_view> raw;
  if (rawPicture(e.FileData.data)) raw.push_back("picture");
  if (!e.SoundName.empty() && unplayable.contains(e.SoundName)) raw.push_back("sound");
  if (rawNames.contains(e.FileName)) raw.push_back("name");
  if (rawNames.contains(e.SoundName)) raw.push_back("sound_name");
  if (outside(e.ShowTime, 0, kMaxShowTime)) raw.push_back("time");
  if (outside(e.EffectNo, 0, kLastEffectCode)) raw.push_back("effect");
  if (outside(e.Speed, 0, 30)) raw.push_back("speed");
  writeRaw(out, raw);
  if (rawNames.contains(e.FileName)) out << "name = " << tomlString(e.FileName) << "\n";
  if (rawNames.contains(e.SoundName)) out << "sound_name = " << tomlString(e.SoundName) << "\n";
  if (!e.SoundName.empty()) out << "sound = " << tomlString(e.SoundName) << "\n";
  out << "time = " << e.ShowTime << "\nx = " << e.PosX << "\ny = " << e.PosY
      << "\neffect = " << effectText(e.EffectNo) << "\nspeed = " << e.Speed
      << "\noverlay = " << switchText(e.Overlay) << "\ntransparent = " << switchText(e.Transparent)
      << "\n";
  writeShape(out, "picture_array", e.FileData.shape, !e.FileData.data.empty());
  writeShape(out, "sound_array", e.SoundData.shape, !e.SoundData.data.empty());
}

}  // namespace

std::string tomlString(std::string_view text) {
  return quotedText(text, [](unsigned char byte) { return byte < 0x20 || byte == 0x7F; });
}

std::string colourText(std::int32_t stored) {
  const auto value = static_cast<std::uint32_t>(stored);
  if (value > 0xFFFFFF) return std::to_string(value);
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(toPixelWord(value)));
  return tomlString(text);
}

std::string effectText(std::int32_t code) {
  const EffectInfo* info = findEffect(code);
  return info ? tomlString(info->name) : std::to_string(code);
}

std::string manifestFor(const PackageRecord& r, const std::set<std::string>& unplayable) {
  const RawNames rawNames(r);
  std::ostringstream out;
  out << "# Show manifest for kamishibai-pack build; files are named as stored in the package.\n";
  out << "settings = " << switchText(r.HasSettings) << "\n";
  if (r.PictureCount != static_cast<std::int64_t>(r.Pictures.entries.size())) {
    out << "picture_count = " << r.PictureCount << "\n";
  }
  writeShape(out, "pictures_array", r.Pictures.shape, !r.Pictures.entries.empty());
  if (r.Pictures.entries.empty()) writeRaw(out, {"slide"});
  out << "\n[area]\n";
  std::vector<std::string_view> rawArea;
  if (outside(r.AreaWidth, 1, kMaxAreaSide)) rawArea.push_back("width");
  if (outside(r.AreaHeight, 1, kMaxAreaSide)) rawArea.push_back("height");
  writeRaw(out, rawArea);
  out << "width = " << r.AreaWidth << "\nheight = " << r.AreaHeight
      << "\ncolour = " << colourText(r.AreaColor) << "\n";
  const bool usualMusicShape = r.BgmData.shape.lowerBound == 0 &&
                               r.BgmData.shape.dimensions == (r.BgmData.data.empty() ? 0 : 1);
  if (!r.BgmName.empty() || !usualMusicShape) {
    out << "\n[music]\n";
    std::vector<std::string_view> raw;
    if (rawNames.contains(r.BgmName)) raw.push_back("name");
    if (!r.BgmName.empty() && unplayable.contains(r.BgmName)) raw.push_back("file");
    writeRaw(out, raw);
    if (rawNames.contains(r.BgmName)) out << "name = " << tomlString(r.BgmName) << "\n";
    if (!r.BgmName.empty()) out << "file = " << tomlString(r.BgmName) << "\n";
    writeShape(out, "array", r.BgmData.shape, !r.BgmData.data.empty());
  }
  for (const PictureEntry& e : r.Pictures.entries) writeSlide(out, e, unplayable, rawNames);
  return out.str();
}

}  // namespace kamishibai
