// Kamishibai: writing the manifest that rebuilds a package. Keys that only keep stored details
// (lower bounds, empty arrays with dimensions, a PictureCount that differs from the slides,
// switches other than true and false) are written only when the package needs them.
#include <cstdio>
#include <sstream>

#include "effects/transition.h"
#include "tools/manifest.h"

namespace kamishibai {
namespace {

std::string tomlString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string switchText(std::int16_t value) {
  if (value == 0) return "false";
  if (value == -1) return "true";
  return std::to_string(value);
}

std::string colourText(std::int32_t stored) {
  const auto value = static_cast<std::uint32_t>(stored);
  if (value > 0xFFFFFF) return std::to_string(value);
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", value & 0xFF, (value >> 8) & 0xFF,
                (value >> 16) & 0xFF);
  return tomlString(text);
}

std::string effectText(std::int32_t code) {
  const EffectInfo* info = findEffect(code);
  return info ? tomlString(info->name) : std::to_string(code);
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

void writeSlide(std::ostream& out, const PictureEntry& e) {
  out << "\n[[slide]]\npicture = " << tomlString(e.FileName) << "\n";
  if (!e.SoundName.empty()) out << "sound = " << tomlString(e.SoundName) << "\n";
  out << "time = " << e.ShowTime << "\nx = " << e.PosX << "\ny = " << e.PosY
      << "\neffect = " << effectText(e.EffectNo) << "\nspeed = " << e.Speed
      << "\noverlay = " << switchText(e.Overlay) << "\ntransparent = " << switchText(e.Transparent)
      << "\n";
  writeShape(out, "picture_array", e.FileData.shape, !e.FileData.data.empty());
  writeShape(out, "sound_array", e.SoundData.shape, !e.SoundData.data.empty());
}

}  // namespace

std::string manifestFor(const PackageRecord& r) {
  std::ostringstream out;
  out << "# Show manifest for kamishibai-pack build; files are named as stored in the package.\n";
  out << "settings = " << switchText(r.HasSettings) << "\n";
  if (r.PictureCount != static_cast<std::int64_t>(r.Pictures.entries.size())) {
    out << "picture_count = " << r.PictureCount << "\n";
  }
  writeShape(out, "pictures_array", r.Pictures.shape, !r.Pictures.entries.empty());
  out << "\n[area]\nwidth = " << r.AreaWidth << "\nheight = " << r.AreaHeight
      << "\ncolour = " << colourText(r.AreaColor) << "\n";
  const bool usualMusicShape = r.BgmData.shape.lowerBound == 0 &&
                               r.BgmData.shape.dimensions == (r.BgmData.data.empty() ? 0 : 1);
  if (!r.BgmName.empty() || !usualMusicShape) {
    out << "\n[music]\n";
    if (!r.BgmName.empty()) out << "file = " << tomlString(r.BgmName) << "\n";
    writeShape(out, "array", r.BgmData.shape, !r.BgmData.data.empty());
  }
  for (const PictureEntry& e : r.Pictures.entries) writeSlide(out, e);
  return out.str();
}

}  // namespace kamishibai
