// Kamishibai: reading and checking a show manifest. Every problem is collected with its line so
// that the user can mend them all in one go.
#include <toml++/toml.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

#include "effects/transition.h"
#include "platform/audio_probe.h"
#include "platform/mapped_file.h"
#include "platform/picture_probe.h"
#include "startup/stored_name.h"
#include "tools/manifest.h"

namespace kamishibai {
namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::int64_t lineOf(const toml::node& node) {
  return node.source().begin.line;
}

std::string inQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('\'');
  out.append(text);
  out.push_back('\'');
  return out;
}

bool sameBytes(const ByteBuffer& a, const ByteBuffer& b) {
  return a.size() == b.size() && (a.size() == 0 || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

enum class FileKind { Picture, Music, Sound };

std::string_view kindName(FileKind kind) {
  switch (kind) {
    case FileKind::Picture:
      return "picture";
    case FileKind::Music:
      return "music";
    case FileKind::Sound:
      return "sound";
  }
  return {};
}

// Why the file cannot be shown or played, or empty: pictures must decode, music and sounds must
// load in the audio library the show uses.
std::string contentProblem(FileKind kind, const std::filesystem::path& path,
                           const ByteBuffer& bytes) {
  if (kind == FileKind::Picture) return pictureProblem(bytes.bytes());
  if (bytes.empty()) return "the file is empty";
  return audioProblem(path, kind == FileKind::Music ? AudioUse::Music : AudioUse::Sound);
}

// A file named by the manifest, loaded, with the stored name it is written under.
struct NamedFile {
  std::string storedName;
  ByteBuffer bytes;
};

class ManifestReader {
 public:
  explicit ManifestReader(std::filesystem::path folder) : folder_(std::move(folder)) {}

  LoadedShow read(const toml::table& root) {
    LoadedShow show;
    PackageRecord& r = show.record;
    allowOnly(root, {"settings", "picture_count", "pictures_array", "area", "music", "slide"});
    r.HasSettings = switchValue(root, "settings");
    readArea(root, r);
    readMusic(root, r);
    readSlides(root, r.Pictures);
    r.PictureCount = static_cast<std::int32_t>(
        integer(root, "picture_count", kInt32Min, kInt32Max)
            .value_or(static_cast<std::int64_t>(r.Pictures.entries.size())));
    show.problems = std::move(problems_);
    std::stable_sort(
        show.problems.begin(), show.problems.end(),
        [](const ManifestProblem& a, const ManifestProblem& b) { return a.line < b.line; });
    return show;
  }

 private:
  void problem(std::int64_t line, std::string message) {
    problems_.push_back({line, std::move(message)});
  }

  void allowOnly(const toml::table& table, std::initializer_list<std::string_view> keys) {
    for (auto&& [key, node] : table) {
      if (std::find(keys.begin(), keys.end(), key.str()) == keys.end()) {
        problem(lineOf(node), "unknown key " + inQuotes(key.str()));
      }
    }
  }

  // The integer under key, checked against [min, max]; nullopt when absent or wrong.
  std::optional<std::int64_t> integer(const toml::table& table, std::string_view key,
                                      std::int64_t min, std::int64_t max) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    const auto value = node->value_exact<std::int64_t>();
    if (!value) {
      problem(lineOf(*node), inQuotes(key) + " must be an integer");
    } else if (*value < min || *value > max) {
      problem(lineOf(*node), inQuotes(key) + " is " + std::to_string(*value) + ", outside " +
                                 std::to_string(min) + " to " + std::to_string(max));
    } else {
      return value;
    }
    return std::nullopt;
  }

  std::int32_t integer32(const toml::table& table, std::string_view key, std::int64_t min,
                         std::int64_t max, std::int32_t fallback) {
    return static_cast<std::int32_t>(integer(table, key, min, max).value_or(fallback));
  }

  // A switch: true is stored as -1 and false as 0; an integer is stored as it is.
  std::int16_t switchValue(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return 0;
    if (const auto flag = node->value_exact<bool>()) return *flag ? -1 : 0;
    if (node->is_integer()) {
      return static_cast<std::int16_t>(integer(table, key, std::numeric_limits<std::int16_t>::min(),
                                               std::numeric_limits<std::int16_t>::max())
                                           .value_or(0));
    }
    problem(lineOf(*node), inQuotes(key) + " must be true, false or an integer");
    return 0;
  }

  std::optional<std::string> text(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    if (const auto value = node->value_exact<std::string>()) return value;
    problem(lineOf(*node), inQuotes(key) + " must be a string");
    return std::nullopt;
  }

  const toml::table* subtable(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return nullptr;
    if (const toml::table* sub = node->as_table()) return sub;
    problem(lineOf(*node), inQuotes(key) + " must be a table");
    return nullptr;
  }

  // The colour as "#RRGGBB" or as the stored value 0x00BBGGRR.
  std::int32_t colour(const toml::table& table) {
    const toml::node* node = table.get("colour");
    if (node == nullptr) return 0;
    if (node->is_integer()) {
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(
          integer(table, "colour", kInt32Min, std::numeric_limits<std::uint32_t>::max())
              .value_or(0)));
    }
    const auto value = node->value_exact<std::string>();
    unsigned rgb = 0;
    if (value && value->size() == 7 && (*value)[0] == '#' &&
        value->find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos) {
      rgb = static_cast<unsigned>(std::stoul(value->substr(1), nullptr, 16));
      return static_cast<std::int32_t>((rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
    }
    problem(lineOf(*node), "'colour' must be \"#RRGGBB\" or an integer 0x00BBGGRR");
    return 0;
  }

  void readArea(const toml::table& root, PackageRecord& r) {
    const toml::table* area = subtable(root, "area");
    if (area == nullptr) {
      if (root.get("area") == nullptr) problem(0, "the [area] table is missing");
      return;
    }
    allowOnly(*area, {"width", "height", "colour"});
    for (const char* key : {"width", "height"}) {
      if (area->get(key) == nullptr) problem(lineOf(*area), "[area] needs " + inQuotes(key));
    }
    r.AreaWidth = integer32(*area, "width", 1, kInt32Max, 0);
    r.AreaHeight = integer32(*area, "height", 1, kInt32Max, 0);
    r.AreaColor = colour(*area);
  }

  // The shape of an array as stored: { dimensions = 0 } or { dimensions = 1, lower_bound = N }.
  // By default an array with elements has lower bound 0 and an empty one has no dimensions.
  ArrayShape shape(const toml::table& table, std::string_view key, bool hasElements) {
    ArrayShape result{static_cast<std::int16_t>(hasElements ? 1 : 0), 0};
    const toml::table* sub = subtable(table, key);
    if (sub == nullptr) return result;
    allowOnly(*sub, {"dimensions", "lower_bound"});
    result.dimensions = static_cast<std::int16_t>(integer(*sub, "dimensions", 0, 1).value_or(1));
    result.lowerBound = integer32(*sub, "lower_bound", kInt32Min, kInt32Max, 0);
    if (result.dimensions == 0 && (hasElements || result.lowerBound != 0)) {
      problem(lineOf(*sub), inQuotes(key) +
                                ": only an empty array without a lower bound can have "
                                "no dimensions");
    }
    return result;
  }

  // Loads the file under key and registers its stored name (nameKey, else the file's name).
  std::optional<NamedFile> namedFile(const toml::table& table, std::string_view key,
                                     std::string_view nameKey, FileKind kind) {
    const auto path = text(table, key);
    if (!path) return std::nullopt;
    const std::int64_t line = lineOf(*table.get(key));
    const toml::node* nameNode = table.get(nameKey);
    const std::int64_t nameLine = nameNode ? lineOf(*nameNode) : line;
    NamedFile file;
    file.storedName =
        text(table, nameKey).value_or(std::filesystem::path(*path).filename().string());
    checkStoredName(file.storedName, nameLine);
    const std::filesystem::path full = folder_ / *path;
    const auto mapping = MappedFile::open(full);
    const std::string what = std::string(kindName(kind)) + " " + inQuotes(*path);
    if (!mapping) {
      problem(line, what + " cannot be read");
      return std::nullopt;
    }
    file.bytes = ByteBuffer(mapping, mapping->bytes().data(), mapping->bytes().size());
    if (const std::string trouble = contentProblem(kind, full, file.bytes); !trouble.empty()) {
      problem(line, what + " cannot be loaded: " + trouble);
      return std::nullopt;
    }
    claimName(file, nameLine);
    return file;
  }

  void checkStoredName(const std::string& name, std::int64_t line) {
    const std::string_view trouble = portableNameProblem(name);
    if (!trouble.empty())
      problem(line, "stored name " + inQuotes(name) + ": " + std::string(trouble));
  }

  // All files share one folder when unpacked, so a name may be used again only for the same
  // bytes.
  void claimName(const NamedFile& file, std::int64_t line) {
    const auto [it, inserted] = claimed_.try_emplace(file.storedName, file.bytes, line);
    if (!inserted && !sameBytes(it->second.first, file.bytes)) {
      problem(line, "stored name " + inQuotes(file.storedName) +
                        " is already used for a different file on line " +
                        std::to_string(it->second.second));
    }
  }

  void readMusic(const toml::table& root, PackageRecord& r) {
    const toml::table* music = subtable(root, "music");
    if (music == nullptr) return;
    allowOnly(*music, {"file", "name", "array"});
    if (music->get("file") == nullptr && music->get("array") == nullptr) {
      problem(lineOf(*music), "[music] needs 'file'");
    }
    if (auto file = namedFile(*music, "file", "name", FileKind::Music)) {
      r.BgmName = file->storedName;
      r.BgmData.data = file->bytes;
    }
    r.BgmData.shape = shape(*music, "array", !r.BgmData.data.empty());
  }

  std::int32_t effect(const toml::table& slide) {
    const toml::node* node = slide.get("effect");
    if (node == nullptr) return 0;
    if (node->is_integer()) return integer32(slide, "effect", 0, 35, 0);
    if (const auto name = node->value_exact<std::string>()) {
      if (const EffectInfo* info = findEffect(std::string_view(*name))) return info->code;
      problem(lineOf(*node), "unknown effect " + inQuotes(*name));
    } else {
      problem(lineOf(*node), "'effect' must be a code 0 to 35 or an effect name");
    }
    return 0;
  }

  PictureEntry readSlide(const toml::table& slide) {
    allowOnly(slide, {"picture", "name", "sound", "sound_name", "time", "x", "y", "effect", "speed",
                      "overlay", "transparent", "picture_array", "sound_array"});
    PictureEntry e;
    if (slide.get("picture") == nullptr) problem(lineOf(slide), "the slide needs 'picture'");
    if (auto file = namedFile(slide, "picture", "name", FileKind::Picture)) {
      e.FileName = file->storedName;
      e.FileData.data = file->bytes;
    }
    if (auto file = namedFile(slide, "sound", "sound_name", FileKind::Sound)) {
      e.SoundName = file->storedName;
      e.SoundData.data = file->bytes;
    }
    e.ShowTime = integer32(slide, "time", 0, kInt32Max, 1000);
    e.PosX = integer32(slide, "x", kInt32Min, kInt32Max, 0);
    e.PosY = integer32(slide, "y", kInt32Min, kInt32Max, 0);
    e.EffectNo = effect(slide);
    e.Speed = integer32(slide, "speed", 0, 30, 0);
    e.Overlay = switchValue(slide, "overlay");
    e.Transparent = switchValue(slide, "transparent");
    e.FileData.shape = shape(slide, "picture_array", !e.FileData.data.empty());
    e.SoundData.shape = shape(slide, "sound_array", !e.SoundData.data.empty());
    return e;
  }

  void readSlides(const toml::table& root, PictureArray& pictures) {
    const toml::node* node = root.get("slide");
    if (node != nullptr && !node->is_array_of_tables()) {
      problem(lineOf(*node), "'slide' must be a list of [[slide]] tables");
    } else if (node != nullptr) {
      for (const toml::node& slide : *node->as_array()) {
        pictures.entries.push_back(readSlide(*slide.as_table()));
      }
    }
    pictures.shape = shape(root, "pictures_array", !pictures.entries.empty());
  }

  std::filesystem::path folder_;
  std::vector<ManifestProblem> problems_;
  std::map<std::string, std::pair<ByteBuffer, std::int64_t>> claimed_;
};

}  // namespace

LoadedShow loadShowManifest(const std::filesystem::path& manifest) {
  const auto mapping = MappedFile::open(manifest);
  if (!mapping) return {{}, {{0, "the manifest cannot be read"}}};
  const auto bytes = mapping->bytes();
  try {
    const toml::table root =
        toml::parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                    manifest.string());
    return ManifestReader(manifest.parent_path()).read(root);
  } catch (const toml::parse_error& error) {
    return {{}, {{error.source().begin.line, std::string(error.description())}}};
  }
}

}  // namespace kamishibai
