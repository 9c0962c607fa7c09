// Kamishibai: reading and checking a show manifest. Every problem is collected with its line so
// that the user can mend them all in one go.
#include "tools/manifest.h"

#include <toml++/toml.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <span>

#include "base/file_names.h"
#include "effects/transition.h"
#include "formats/stored_name.h"
#include "raster/raster.h"
#include "tools/picture_patterns.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kMaxStoredNameBytes = 255;
constexpr std::int32_t kDefaultShowTime = 1000;
constexpr std::int64_t kDefaultQuality = 90;

// The keys each table of a manifest may hold.
constexpr std::string_view kShowKeys[] = {
    "settings", "picture_count", "pictures_array", "area", "music",
    "slide",    "defaults",      "shuffle",        "seed", "raw"};
constexpr std::string_view kAreaKeys[] = {"width", "height", "colour", "fit", "raw"};
constexpr std::string_view kDefaultsKeys[] = {"time", "effect",  "speed",
                                              "fit",  "quality", "random_except"};
constexpr std::string_view kMusicKeys[] = {"file", "name", "array", "raw"};
constexpr std::string_view kSlideKeys[] = {
    "picture", "pictures", "name",          "sound",       "sound_name", "time",
    "x",       "y",        "effect",        "speed",       "overlay",    "transparent",
    "fit",     "quality",  "picture_array", "sound_array", "raw"};
constexpr std::string_view kArrayShapeKeys[] = {"dimensions", "lower_bound"};
const std::string kLastEffect = std::to_string(kLastEffectCode);

std::int64_t lineOf(const toml::node& node) {
  return node.source().begin.line;
}

bool hasSlideTables(const toml::table& root) {
  const toml::array* slides = root.get_as<toml::array>("slide");
  return slides != nullptr && !slides->empty();
}

// What keeps a named file from being read, in the words a user needs.
std::string unreadable(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (fs::is_directory(status)) return "is a folder, not a file";
  if (fs::exists(status)) return "is not a regular file";
  return "cannot be read";
}

// A slide before shuffling, with the keys that are settled only once the order is known.
struct SlideDraft {
  PictureEntry entry;
  PlannedFile picture;
  std::optional<PlannedFile> sound;
  bool randomEffect = false;
  std::optional<ArrayShape> pictureShape, soundShape;
  std::int64_t pictureShapeLine = 0, soundShapeLine = 0;
};

// The values of a table that fall back on [defaults] and then on [area].
struct Defaults {
  std::optional<std::int64_t> time;
  const toml::node* effect = nullptr;
  std::optional<std::int64_t> speed;
  PictureFit fit = PictureFit::None;
  std::int64_t quality = kDefaultQuality;
  std::set<std::int32_t> randomExcept;
};

class ManifestReader {
 public:
  ManifestReader(fs::path folder) : folder_(std::move(folder)) {}

  ShowPlan read(const toml::table& root) {
    PackageRecord& r = plan_.record;
    allowOnly(root, kShowKeys);
    const std::set<std::string> raw = rawKeys(root, {"slide"});
    r.HasSettings = switchValue(root, "settings");
    readArea(root, r);
    readDefaults(root);
    readMusic(root, r);
    std::vector<SlideDraft> slides = readSlides(root);
    // Slides that were given but cannot be made have problems of their own.
    if (slides.empty() && !raw.contains("slide") && !hasSlideTables(root)) {
      problem(0, "the manifest has no slides: add a [[slide]] with 'picture' or 'pictures'");
    }
    settleOrder(root, slides);
    for (SlideDraft& slide : slides) addSlide(std::move(slide));
    r.Pictures.shape =
        shape(root, "pictures_array")
            .value_or(ArrayShape{static_cast<std::int16_t>(slides.empty() ? 0 : 1), 0});
    if (r.Pictures.shape.dimensions == 0 && (!slides.empty() || r.Pictures.shape.lowerBound != 0)) {
      problem(lineOf(*root.get("pictures_array")),
              "'pictures_array': only an empty array without a lower bound can have no dimensions");
    }
    r.PictureCount = static_cast<std::int32_t>(
        integer(root, "picture_count", kInt32Min, kInt32Max)
            .value_or(static_cast<std::int64_t>(r.Pictures.entries.size())));
    sortByLine(plan_.problems);
    return std::move(plan_);
  }

 private:
  void problem(std::int64_t line, std::string message) {
    plan_.problems.push_back({line, std::move(message)});
  }

  void allowOnly(const toml::table& table, std::span<const std::string_view> keys) {
    for (auto&& [key, node] : table) {
      if (std::find(keys.begin(), keys.end(), key.str()) == keys.end()) {
        problem(lineOf(node), "unknown key " + inQuotes(key.str()));
      }
    }
  }

  // The keys listed under "raw": their values are taken as they are, without the checks a
  // written manifest gets (extract writes them for packages made elsewhere).
  std::set<std::string> rawKeys(const toml::table& table,
                                std::initializer_list<std::string_view> allowed) {
    std::set<std::string> keys;
    const toml::node* node = table.get("raw");
    if (node == nullptr) return keys;
    const toml::array* list = node->as_array();
    if (list == nullptr) {
      problem(lineOf(*node), "'raw' must be a list of key names");
      return keys;
    }
    for (const toml::node& item : *list) {
      const auto name = item.value_exact<std::string>();
      if (!name || std::find(allowed.begin(), allowed.end(), *name) == allowed.end()) {
        problem(lineOf(*node), "'raw' may list only the keys that can be raw here");
      } else {
        keys.insert(*name);
      }
    }
    return keys;
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

  // A checked integer, or any int32 when the table lists the key as raw.
  std::optional<std::int64_t> checkedOrRaw(const toml::table& table, std::string_view key,
                                           const std::set<std::string>& raw, std::int64_t min,
                                           std::int64_t max) {
    if (raw.contains(std::string(key))) return integer(table, key, kInt32Min, kInt32Max);
    return integer(table, key, min, max);
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

  std::optional<bool> flag(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    if (const auto value = node->value_exact<bool>()) return value;
    problem(lineOf(*node), inQuotes(key) + " must be true or false");
    return std::nullopt;
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

  std::optional<PictureFit> fit(const toml::table& table) {
    const auto name = text(table, "fit");
    if (!name) return std::nullopt;
    if (const auto value = fitNamed(*name)) return value;
    problem(lineOf(*table.get("fit")),
            "'fit' must be \"none\", \"contain\", \"cover\" or \"shrink\"");
    return std::nullopt;
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
    if (value && value->size() == 7 && (*value)[0] == '#' &&
        value->find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos) {
      const auto rgb = static_cast<unsigned>(std::stoul(value->substr(1), nullptr, 16));
      return static_cast<std::int32_t>(fromPixelWord(rgb));
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
    allowOnly(*area, kAreaKeys);
    const std::set<std::string> raw = rawKeys(*area, {"width", "height"});
    for (const char* key : {"width", "height"}) {
      if (area->get(key) == nullptr) problem(lineOf(*area), "[area] needs " + inQuotes(key));
    }
    r.AreaWidth =
        static_cast<std::int32_t>(checkedOrRaw(*area, "width", raw, 1, kMaxAreaSide).value_or(0));
    r.AreaHeight =
        static_cast<std::int32_t>(checkedOrRaw(*area, "height", raw, 1, kMaxAreaSide).value_or(0));
    r.AreaColor = colour(*area);
    defaults_.fit = fit(*area).value_or(PictureFit::None);
  }

  void readDefaults(const toml::table& root) {
    const toml::table* table = subtable(root, "defaults");
    if (table == nullptr) return;
    allowOnly(*table, kDefaultsKeys);
    defaults_.time = integer(*table, "time", 0, kMaxShowTime);
    defaults_.effect = table->get("effect");
    if (defaults_.effect != nullptr) effectOf(*defaults_.effect, {}, nullptr, true);
    defaults_.speed = integer(*table, "speed", 0, 30);
    defaults_.fit = fit(*table).value_or(defaults_.fit);
    defaults_.quality = integer(*table, "quality", 1, 100).value_or(kDefaultQuality);
    if (const toml::node* node = table->get("random_except")) {
      const toml::array* list = node->as_array();
      if (list == nullptr) problem(lineOf(*node), "'random_except' must be a list of effects");
      for (std::size_t i = 0; list != nullptr && i < list->size(); ++i) {
        const toml::node& item = *list->get(i);
        const auto code = item.value_exact<std::int64_t>();
        const auto name = item.value_exact<std::string>();
        const EffectInfo* info = code   ? findEffect(static_cast<std::int32_t>(*code))
                                 : name ? findEffect(std::string_view(*name))
                                        : nullptr;
        if (info == nullptr || info->code == 0) {
          problem(lineOf(*node), "'random_except' holds something that is no transition");
        } else {
          defaults_.randomExcept.insert(info->code);
        }
      }
      if (defaults_.randomExcept.size() >= static_cast<std::size_t>(kLastEffectCode)) {
        problem(lineOf(*node), "'random_except' leaves no transition to pick");
      }
    }
  }

  // The shape of an array as stored: { dimensions = 0 } or { dimensions = 1, lower_bound = N };
  // nullopt when the manifest leaves it to the file's size.
  std::optional<ArrayShape> shape(const toml::table& table, std::string_view key,
                                  std::int64_t* line = nullptr) {
    const toml::table* sub = subtable(table, key);
    if (sub == nullptr) return std::nullopt;
    if (line != nullptr) *line = lineOf(*sub);
    allowOnly(*sub, kArrayShapeKeys);
    ArrayShape result;
    result.dimensions = static_cast<std::int16_t>(integer(*sub, "dimensions", 0, 1).value_or(1));
    result.lowerBound =
        static_cast<std::int32_t>(integer(*sub, "lower_bound", kInt32Min, kInt32Max).value_or(0));
    return result;
  }

  void addArray(int file, const toml::table& table, std::string_view key) {
    ShowPlan::Array array;
    array.file = file;
    array.shape = shape(table, key, &array.line);
    plan_.arrays.push_back(array);
  }

  void checkName(const PlannedFile& file, std::int64_t line) {
    if (const std::string trouble = storedNameRefusal(file.storedName, file.rawName);
        !trouble.empty()) {
      problem(line, "stored name " + inQuotes(file.storedName) + ": " + trouble);
    }
  }

  // The file under key with its stored name (nameKey, else the file's name); nullopt when the
  // key is absent or wrong. Only its existence is checked here.
  std::optional<PlannedFile> plannedFile(const toml::table& table, std::string_view key,
                                         std::string_view nameKey, FileKind kind,
                                         const std::set<std::string>& raw) {
    const auto path = text(table, key);
    if (!path) return std::nullopt;
    PlannedFile file;
    file.line = lineOf(*table.get(key));
    const auto name = text(table, nameKey);
    file.explicitName = name.has_value();
    file.rawName = raw.contains(std::string(nameKey));
    return describe(std::move(file), *path, name, kind,
                    table.get(nameKey) ? lineOf(*table.get(nameKey)) : file.line);
  }

  std::optional<PlannedFile> describe(PlannedFile file, const std::string& path,
                                      const std::optional<std::string>& name, FileKind kind,
                                      std::int64_t nameLine) {
    file.kind = kind;
    file.path = folder_ / pathFromUtf8(path);
    file.shownPath = path;
    file.storedName = name.value_or(utf8Of(pathFromUtf8(path).filename()));
    file.nameLine = nameLine;
    checkName(file, nameLine);
    std::error_code error;
    if (!fs::is_regular_file(file.path, error)) {
      problem(file.line, std::string(kind == FileKind::Picture ? "picture"
                                     : kind == FileKind::Music ? "music"
                                                               : "sound") +
                             " " + inQuotes(path) + " " + unreadable(file.path));
      return std::nullopt;
    }
    return file;
  }

  void readMusic(const toml::table& root, PackageRecord& r) {
    const toml::table* music = subtable(root, "music");
    if (music == nullptr) {
      plan_.arrays.emplace_back();
      return;
    }
    allowOnly(*music, kMusicKeys);
    const std::set<std::string> raw = rawKeys(*music, {"name", "file"});
    if (music->get("file") == nullptr && music->get("array") == nullptr) {
      problem(lineOf(*music), "[music] needs 'file'");
    }
    int index = -1;
    if (auto file = plannedFile(*music, "file", "name", FileKind::Music, raw)) {
      file->rawContent = raw.contains("file");
      r.BgmName = file->storedName;
      index = static_cast<int>(plan_.files.size());
      plan_.files.push_back(std::move(*file));
    }
    addArray(index, *music, "array");
  }

  // The effect of the slide, else of [defaults]; "random" sets *random. A wrong value in
  // [defaults] was reported when it was read.
  std::int32_t effect(const toml::table& slide, const std::set<std::string>& raw, bool* random) {
    if (const toml::node* node = slide.get("effect")) return effectOf(*node, raw, random, true);
    if (defaults_.effect != nullptr) return effectOf(*defaults_.effect, {}, random, false);
    return 0;
  }

  std::int32_t effectOf(const toml::node& node, const std::set<std::string>& raw, bool* random,
                        bool report) {
    const std::int64_t line = report ? lineOf(node) : -1;
    const auto complain = [&](std::string message) {
      if (report) problem(line, std::move(message));
      return 0;
    };
    if (node.is_integer()) {
      const std::int64_t code = node.value_exact<std::int64_t>().value_or(0);
      const bool allowed = raw.contains("effect") ? code >= kInt32Min && code <= kInt32Max
                                                  : code >= 0 && code <= kLastEffectCode;
      if (allowed) return static_cast<std::int32_t>(code);
      return complain("'effect' is " + std::to_string(code) + ", outside 0 to " + kLastEffect);
    }
    if (const auto name = node.value_exact<std::string>()) {
      if (*name == "random") {
        if (random != nullptr) *random = true;
        return 0;
      }
      if (const EffectInfo* info = findEffect(std::string_view(*name))) return info->code;
      return complain("unknown effect " + inQuotes(*name) +
                      "; `kamishibai-pack effects` lists every name and code");
    }
    return complain("'effect' must be a code 0 to " + kLastEffect +
                    ", an effect name or \"random\"");
  }

  // The keys every slide made from the table shares.
  SlideDraft slideValues(const toml::table& slide, const std::set<std::string>& raw) {
    SlideDraft draft;
    PictureEntry& e = draft.entry;
    if (auto sound = plannedFile(slide, "sound", "sound_name", FileKind::Sound, raw)) {
      sound->rawContent = raw.contains("sound");
      e.SoundName = sound->storedName;
      draft.sound = std::move(*sound);
    }
    e.ShowTime =
        static_cast<std::int32_t>(checkedOrRaw(slide, "time", raw, 0, kMaxShowTime)
                                      .value_or(defaults_.time.value_or(kDefaultShowTime)));
    e.PosX = static_cast<std::int32_t>(integer(slide, "x", kInt32Min, kInt32Max).value_or(0));
    e.PosY = static_cast<std::int32_t>(integer(slide, "y", kInt32Min, kInt32Max).value_or(0));
    e.EffectNo = effect(slide, raw, &draft.randomEffect);
    e.Speed = static_cast<std::int32_t>(
        checkedOrRaw(slide, "speed", raw, 0, 30).value_or(defaults_.speed.value_or(0)));
    e.Overlay = switchValue(slide, "overlay");
    e.Transparent = switchValue(slide, "transparent");
    draft.pictureShape = shape(slide, "picture_array", &draft.pictureShapeLine);
    draft.soundShape = shape(slide, "sound_array", &draft.soundShapeLine);

    FitRequest& request = draft.picture.fit;
    request.fit = fit(slide).value_or(defaults_.fit);
    request.jpegQuality =
        static_cast<int>(integer(slide, "quality", 1, 100).value_or(defaults_.quality));
    // Colour-keyed pictures need their exact colours.
    request.png = e.Transparent != 0;
    request.areaWidth = plan_.record.AreaWidth;
    request.areaHeight = plan_.record.AreaHeight;
    if (request.fit != PictureFit::None) {
      for (const char* key : {"x", "y"}) {
        if (const toml::node* node = slide.get(key)) {
          problem(lineOf(*node),
                  inQuotes(key) + " cannot be used with 'fit': fitting centres the picture");
        }
      }
    }
    draft.picture.rawContent = raw.contains("picture");
    return draft;
  }

  void readSlide(const toml::table& slide, std::vector<SlideDraft>& slides) {
    allowOnly(slide, kSlideKeys);
    const std::set<std::string> raw =
        rawKeys(slide, {"time", "effect", "speed", "name", "sound_name", "picture", "sound"});
    const bool one = slide.get("picture") != nullptr;
    const bool many = slide.get("pictures") != nullptr;
    SlideDraft draft = slideValues(slide, raw);
    if (one == many) {
      problem(lineOf(slide), one ? "a slide has either 'picture' or 'pictures', not both"
                                 : "the slide needs 'picture' (or 'pictures' for many)");
      checkOnly(std::move(draft));
      return;
    }
    if (one) {
      PlannedFile& picture = draft.picture;
      picture.line = lineOf(*slide.get("picture"));
      const auto path = text(slide, "picture");
      const auto name = text(slide, "name");
      picture.explicitName = name.has_value();
      picture.rawName = raw.contains("name");
      const std::int64_t nameLine = slide.get("name") ? lineOf(*slide.get("name")) : picture.line;
      auto file = path ? describe(picture, *path, name, FileKind::Picture, nameLine) : std::nullopt;
      if (!file) {
        checkOnly(std::move(draft));
        return;
      }
      draft.picture = std::move(*file);
      draft.entry.FileName = draft.picture.storedName;
      slides.push_back(std::move(draft));
      return;
    }
    if (const toml::node* name = slide.get("name")) {
      problem(lineOf(*name),
              "'name' names one picture; with 'pictures' each keeps its file's name");
    }
    const auto pattern = text(slide, "pictures");
    if (!pattern) return;
    const std::int64_t line = lineOf(*slide.get("pictures"));
    if (endings_.empty()) endings_ = pictureFileEndings();
    const PatternMatch match = matchPictures(folder_, *pattern, endings_);
    if (!match.problem.empty())
      problem(line, "'pictures' " + inQuotes(*pattern) + " " + match.problem);
    for (const fs::path& file : match.files) {
      SlideDraft copy = draft;
      copy.picture.line = line;
      copy.picture.kind = FileKind::Picture;
      copy.picture.path = file;
      copy.picture.shownPath = utf8Of(file.lexically_relative(folder_));
      copy.picture.storedName = utf8Of(file.filename());
      copy.picture.nameLine = line;
      checkName(copy.picture, line);
      copy.entry.FileName = copy.picture.storedName;
      slides.push_back(std::move(copy));
    }
  }

  std::vector<SlideDraft> readSlides(const toml::table& root) {
    std::vector<SlideDraft> slides;
    const toml::node* node = root.get("slide");
    if (node != nullptr && !node->is_array_of_tables()) {
      problem(lineOf(*node), "'slide' must be a list of [[slide]] tables");
    } else if (node != nullptr) {
      for (const toml::node& slide : *node->as_array()) readSlide(*slide.as_table(), slides);
    }
    return slides;
  }

  // Shuffles the slides and picks the random effects, from the manifest's seed when it has
  // one, so that a build can be repeated.
  void settleOrder(const toml::table& root, std::vector<SlideDraft>& slides) {
    const bool shuffle = flag(root, "shuffle").value_or(false);
    const bool anyRandom = std::any_of(slides.begin(), slides.end(),
                                       [](const SlideDraft& s) { return s.randomEffect; });
    const auto seed = integer(root, "seed", 0, std::numeric_limits<std::uint32_t>::max());
    if (!shuffle && !anyRandom) return;
    const auto used = static_cast<std::uint32_t>(seed.value_or(std::random_device{}()));
    if (!seed) plan_.drawnSeed = used;
    std::mt19937 random(used);
    if (shuffle) {
      for (std::size_t i = slides.size(); i > 1; --i)
        std::swap(slides[i - 1], slides[random() % i]);
    }
    std::vector<std::int32_t> codes;
    for (std::int32_t code = 1; code <= kLastEffectCode; ++code) {
      if (!defaults_.randomExcept.contains(code)) codes.push_back(code);
    }
    for (SlideDraft& slide : slides) {
      if (slide.randomEffect && !codes.empty())
        slide.entry.EffectNo = codes[random() % codes.size()];
    }
  }

  // A slide that cannot be made still has its sound checked, so that one build lists every
  // problem; it goes into no array.
  void checkOnly(SlideDraft slide) {
    if (slide.sound) plan_.files.push_back(std::move(*slide.sound));
  }

  void addSlide(SlideDraft slide) {
    plan_.arrays.push_back(
        {static_cast<int>(plan_.files.size()), slide.pictureShape, slide.pictureShapeLine});
    plan_.files.push_back(std::move(slide.picture));
    int sound = -1;
    if (slide.sound) {
      sound = static_cast<int>(plan_.files.size());
      plan_.files.push_back(std::move(*slide.sound));
    }
    plan_.arrays.push_back({sound, slide.soundShape, slide.soundShapeLine});
    plan_.record.Pictures.entries.push_back(std::move(slide.entry));
  }

  fs::path folder_;
  ShowPlan plan_;
  Defaults defaults_;
  std::vector<std::string> endings_;
};

}  // namespace

std::optional<PictureFit> fitNamed(std::string_view name) {
  if (name == "none") return PictureFit::None;
  if (name == "contain") return PictureFit::Contain;
  if (name == "cover") return PictureFit::Cover;
  if (name == "shrink") return PictureFit::Shrink;
  return std::nullopt;
}

std::string inQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('\'');
  out.append(text);
  out.push_back('\'');
  return out;
}

std::string storedNameTrouble(std::string_view name) {
  if (name == ".") return "the name is \".\"";
  if (name.size() > kMaxStoredNameBytes) {
    return "the name is " + std::to_string(name.size()) + " bytes long, more than " +
           std::to_string(kMaxStoredNameBytes);
  }
  if (std::any_of(name.begin(), name.end(),
                  [](unsigned char c) { return c < 0x20 || c == 0x7F; })) {
    return "the name holds a control character";
  }
  // extract could not write it back, as a manifest names files in UTF-8.
  if (!isValidUtf8(name)) return "the name is not UTF-8";
  return {};
}

std::string storedNameRefusal(std::string_view name, bool raw) {
  std::string trouble(storedNameProblem(name));
  if (trouble.empty() && !raw) trouble = storedNameTrouble(name);
  if (trouble.empty() && !raw) trouble = windowsNameProblem(name);
  return trouble;
}

void sortByLine(std::vector<ManifestProblem>& problems) {
  std::stable_sort(
      problems.begin(), problems.end(),
      [](const ManifestProblem& a, const ManifestProblem& b) { return a.line < b.line; });
}

ShowPlan planShow(std::string_view text, const fs::path& folder, const std::string& sourceName) {
  try {
    const toml::table root = toml::parse(text, sourceName);
    return ManifestReader(folder).read(root);
  } catch (const toml::parse_error& error) {
    ShowPlan plan;
    plan.problems.push_back({error.source().begin.line, std::string(error.description())});
    return plan;
  }
}

ShowPlan planShowFile(const fs::path& manifest) {
  return readManifestFile<ShowPlan>(manifest, planShow);
}

std::vector<std::string_view> manifestKeys() {
  using Keys = std::span<const std::string_view>;
  std::vector<std::string_view> keys;
  for (const Keys table : {Keys(kShowKeys), Keys(kAreaKeys), Keys(kDefaultsKeys), Keys(kMusicKeys),
                           Keys(kSlideKeys), Keys(kArrayShapeKeys)}) {
    for (const std::string_view key : table) {
      if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    }
  }
  return keys;
}

}  // namespace kamishibai
