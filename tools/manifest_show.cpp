// Kamishibai: a manifest read into editable values and written back with the same meaning.
#include "tools/manifest_show.h"

#include <toml++/toml.h>

#include <algorithm>
#include <limits>
#include <sstream>

#include "base/file_names.h"
#include "effects/transition.h"
#include "raster/raster.h"
#include "tools/picture_patterns.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// The value as TOML text; a table is written inline, so that it stays one key's value.
std::string valueText(const toml::node& node) {
  std::ostringstream out;
  if (const toml::table* table = node.as_table()) {
    toml::table copy = *table;
    copy.for_each([](auto& value) {
      if constexpr (toml::is_table<decltype(value)>) value.is_inline(true);
    });
    copy.is_inline(true);
    out << toml::toml_formatter{copy};
  } else {
    out << toml::toml_formatter{node};
  }
  return out.str();
}

std::optional<std::int32_t> int32Of(const toml::node& node) {
  const auto value = node.value_exact<std::int64_t>();
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

std::optional<std::int32_t> effectOf(const toml::node& node) {
  if (const auto code = node.value_exact<std::int64_t>()) {
    if (*code >= 0 && *code <= kLastEffectCode) return static_cast<std::int32_t>(*code);
    return std::nullopt;
  }
  const auto name = node.value_exact<std::string>();
  if (!name) return std::nullopt;
  if (*name == "random") return kRandomEffect;
  const EffectInfo* info = findEffect(std::string_view(*name));
  return info ? std::optional<std::int32_t>(info->code) : std::nullopt;
}

std::optional<PictureFit> fitOf(const toml::node& node) {
  const auto name = node.value_exact<std::string>();
  return name ? fitNamed(*name) : std::nullopt;
}

std::optional<std::int32_t> colourOf(const toml::node& node) {
  if (const auto value = node.value_exact<std::int64_t>()) {
    if (*value < 0 || *value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
  }
  const auto text = node.value_exact<std::string>();
  if (!text || text->size() != 7 || (*text)[0] != '#' ||
      text->find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
    return std::nullopt;
  const auto rgb = static_cast<PixelWord>(std::stoul(text->substr(1), nullptr, 16));
  return static_cast<std::int32_t>(fromPixelWord(rgb));
}

std::optional<std::vector<std::int32_t>> codesOf(const toml::node& node) {
  const toml::array* list = node.as_array();
  if (list == nullptr) return std::nullopt;
  std::vector<std::int32_t> codes;
  for (const toml::node& item : *list) {
    const auto code = effectOf(item);
    if (!code || *code < 1) return std::nullopt;
    codes.push_back(*code);
  }
  return codes;
}

// Takes each key of a table that a reader understands; keeps the others as they are.
class TableReader {
 public:
  TableReader(const toml::table& table, KeptKeys& kept) : table_(table), kept_(kept) {}

  // Calls read(node) for the key; a false return keeps the key.
  template <typename Read>
  TableReader& key(std::string_view name, Read read) {
    understood_.push_back(name);
    if (const toml::node* node = table_.get(name); node != nullptr && !read(*node)) {
      kept_.emplace_back(name, valueText(*node));
    }
    return *this;
  }

  // Keeps every key no reader took.
  void keepTheRest() {
    for (auto&& [name, node] : table_) {
      if (std::find(understood_.begin(), understood_.end(), name.str()) == understood_.end())
        kept_.emplace_back(std::string(name.str()), valueText(node));
    }
  }

 private:
  const toml::table& table_;
  KeptKeys& kept_;
  std::vector<std::string_view> understood_;
};

// Reads the keys of a table value with `readKeys` (TableReader::key calls) and keeps the rest;
// false, so that the key is kept as it stands, when the value is not a table.
template <typename ReadKeys>
bool readTable(const toml::node& node, KeptKeys& kept, ReadKeys readKeys) {
  const toml::table* table = node.as_table();
  if (table == nullptr) return false;
  TableReader reader(*table, kept);
  readKeys(reader);
  reader.keepTheRest();
  return true;
}

// Readers that store a converted value into target, or refuse it.
template <typename T, typename Convert>
auto into(std::optional<T>& target, Convert convert) {
  return [&target, convert](const toml::node& node) {
    target = convert(node);
    return target.has_value();
  };
}
template <typename T, typename Convert>
auto intoValue(T& target, Convert convert) {
  return [&target, convert](const toml::node& node) {
    const auto value = convert(node);
    if (value) target = *value;
    return value.has_value();
  };
}
const auto kText = [](const toml::node& node) { return node.value_exact<std::string>(); };
// A switch as true or false, or as the stored values -1 and 0; any other value is kept as it is.
const auto kFlag = [](const toml::node& node) -> std::optional<bool> {
  if (const auto value = node.value_exact<bool>()) return value;
  const auto stored = node.value_exact<std::int64_t>();
  if (stored == 0 || stored == -1) return *stored != 0;
  return std::nullopt;
};

class ShowReader {
 public:
  explicit ShowReader(fs::path folder) : folder_(fs::absolute(std::move(folder))) {}

  ManifestShowReading read(const toml::table& root) {
    ManifestSettings& s = reading_.show.settings;
    TableReader(root, s.keptShowKeys)
        .key("settings", intoValue(s.settings, kFlag))
        .key("shuffle", intoValue(s.shuffle, kFlag))
        .key("seed",
             into(s.seed,
                  [](const toml::node& node) -> std::optional<std::uint32_t> {
                    const auto value = node.value_exact<std::int64_t>();
                    if (!value || *value < 0 || *value > std::numeric_limits<std::uint32_t>::max())
                      return std::nullopt;
                    return static_cast<std::uint32_t>(*value);
                  }))
        .key("area", [&](const toml::node& node) { return readArea(node); })
        .key("defaults", [&](const toml::node& node) { return readDefaults(node); })
        .key("music", [&](const toml::node& node) { return readMusic(node); })
        .key("slide", [&](const toml::node& node) { return readSlides(node); })
        .keepTheRest();
    return std::move(reading_);
  }

 private:
  fs::path pathOf(const toml::node& node) const {
    return (folder_ / pathFromUtf8(*node.value_exact<std::string>())).lexically_normal();
  }
  auto intoPath(std::optional<fs::path>& target) const {
    return into(target, [this](const toml::node& node) -> std::optional<fs::path> {
      if (!node.is_string()) return std::nullopt;
      return pathOf(node);
    });
  }

  bool readArea(const toml::node& node) {
    ManifestSettings& s = reading_.show.settings;
    return readTable(node, s.keptAreaKeys, [&](TableReader& area) {
      area.key("width", intoValue(s.areaWidth, int32Of))
          .key("height", intoValue(s.areaHeight, int32Of))
          .key("colour", intoValue(s.colour, colourOf))
          .key("fit", into(s.areaFit, fitOf));
    });
  }

  bool readDefaults(const toml::node& node) {
    ManifestDefaults& d = reading_.show.settings.defaults;
    return readTable(node, d.keptKeys, [&](TableReader& defaults) {
      defaults.key("time", into(d.time, int32Of))
          .key("effect", into(d.effect, effectOf))
          .key("speed", into(d.speed, int32Of))
          .key("fit", into(d.fit, fitOf))
          .key("quality", into(d.quality, int32Of))
          .key("random_except", intoValue(d.randomExcept, codesOf));
    });
  }

  bool readMusic(const toml::node& node) {
    ManifestSettings& s = reading_.show.settings;
    return readTable(node, s.keptMusicKeys, [&](TableReader& music) {
      music.key("file", intoPath(s.music)).key("name", into(s.musicName, kText));
    });
  }

  bool readSlides(const toml::node& node) {
    if (!node.is_array_of_tables()) {
      problem(node, "'slide' must be a list of [[slide]] tables");
      return false;
    }
    for (const toml::node& table : *node.as_array()) readSlide(*table.as_table());
    return true;
  }

  void readSlide(const toml::table& table) {
    ManifestSlide slide;
    std::optional<std::string> pattern;
    std::optional<fs::path> picture;
    TableReader(table, slide.keptKeys)
        .key("picture", intoPath(picture))
        .key("pictures", into(pattern, kText))
        .key("name", into(slide.name, kText))
        .key("sound", intoPath(slide.sound))
        .key("sound_name", into(slide.soundName, kText))
        .key("time", into(slide.time, int32Of))
        .key("effect", into(slide.effect, effectOf))
        .key("speed", into(slide.speed, int32Of))
        .key("fit", into(slide.fit, fitOf))
        .key("x", into(slide.x, int32Of))
        .key("y", into(slide.y, int32Of))
        .key("quality", into(slide.quality, int32Of))
        .key("overlay", intoValue(slide.overlay, kFlag))
        .key("transparent", intoValue(slide.transparent, kFlag))
        .keepTheRest();
    if (picture.has_value() == pattern.has_value()) {
      problem(table, "a slide needs either 'picture' or 'pictures'");
      return;
    }
    if (picture) {
      slide.picture = *picture;
      reading_.show.slides.push_back(std::move(slide));
      return;
    }
    if (endings_.empty()) endings_ = pictureFileEndings();
    const PatternMatch match = matchPictures(folder_, *pattern, endings_);
    if (!match.problem.empty()) problem(table, inQuotes(*pattern) + " " + match.problem);
    for (const fs::path& file : match.files) {
      ManifestSlide copy = slide;
      copy.picture = file.lexically_normal();
      reading_.show.slides.push_back(std::move(copy));
    }
  }

  void problem(const toml::node& node, std::string message) {
    reading_.problems.push_back({node.source().begin.line, std::move(message)});
  }

  fs::path folder_;
  ManifestShowReading reading_;
  std::vector<std::string> endings_;
};

// Writes the keys of one table: each value the show gives, then the kept keys it does not.
class TableWriter {
 public:
  TableWriter(std::ostream& out, const KeptKeys& kept) : out_(out), kept_(kept) {}

  template <typename T, typename Text>
  TableWriter& key(std::string_view name, const std::optional<T>& value, Text text) {
    if (value) write(name, text(*value));
    return *this;
  }
  TableWriter& flag(std::string_view name, bool value) {
    if (value) write(name, "true");
    return *this;
  }
  void finish() {
    for (const auto& [name, value] : kept_) {
      if (std::find(written_.begin(), written_.end(), name) == written_.end())
        out_ << name << " = " << value << "\n";
    }
  }

 private:
  void write(std::string_view name, const std::string& text) {
    out_ << name << " = " << text << "\n";
    written_.emplace_back(name);
  }

  std::ostream& out_;
  const KeptKeys& kept_;
  std::vector<std::string> written_;
};

const auto kNumber = [](auto value) { return std::to_string(value); };
const auto kEffect = [](std::int32_t code) {
  return code == kRandomEffect ? tomlString("random") : effectText(code);
};
const auto kFit = [](PictureFit fit) {
  constexpr std::string_view kNames[] = {"none", "contain", "cover", "shrink"};
  return tomlString(kNames[static_cast<int>(fit)]);
};

std::string codesText(const std::vector<std::int32_t>& codes) {
  std::string text = "[";
  for (std::size_t i = 0; i < codes.size(); ++i) text += (i ? ", " : "") + std::to_string(codes[i]);
  return text + "]";
}

// The lines of written text, so that problems of build can be traced back to their slides.
std::int64_t linesIn(const std::string& text) {
  return static_cast<std::int64_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

std::int32_t slideTime(const ManifestSettings& show, const ManifestSlide& slide) {
  return slide.time.value_or(show.defaults.time.value_or(kDefaultSlideTime));
}
std::int32_t slideEffect(const ManifestSettings& show, const ManifestSlide& slide) {
  return slide.effect.value_or(show.defaults.effect.value_or(0));
}
std::int32_t slideSpeed(const ManifestSettings& show, const ManifestSlide& slide) {
  return slide.speed.value_or(show.defaults.speed.value_or(0));
}
PictureFit slideFit(const ManifestSettings& show, const ManifestSlide& slide) {
  return slide.fit.value_or(show.defaults.fit.value_or(show.areaFit.value_or(PictureFit::None)));
}

ManifestShowReading readManifestShow(std::string_view text, const fs::path& folder,
                                     const std::string& sourceName) {
  try {
    return ShowReader(folder).read(toml::parse(text, sourceName));
  } catch (const toml::parse_error& error) {
    ManifestShowReading reading;
    reading.problems.push_back({error.source().begin.line, std::string(error.description())});
    return reading;
  }
}

ManifestShowReading readManifestShowFile(const fs::path& manifest) {
  return readManifestFile<ManifestShowReading>(manifest, readManifestShow);
}

ManifestShowText writeManifestShow(const ManifestShow& show, const fs::path& folder) {
  const fs::path base = fs::absolute(folder).lexically_normal();
  // Relative where the file lies in the manifest's folder, so that the two can move together.
  const auto named = [&base](const fs::path& path) {
    const fs::path relative = path.lexically_relative(base);
    const bool inside = !relative.empty() && *relative.begin() != "..";
    return tomlString(utf8Of(inside ? relative : path));
  };
  const ManifestSettings& s = show.settings;
  std::ostringstream out;
  out << "# Show manifest for kamishibai-pack build, written by Kamishibai Studio.\n";
  TableWriter(out, s.keptShowKeys)
      .flag("settings", s.settings)
      .flag("shuffle", s.shuffle)
      .key("seed", s.seed, kNumber)
      .finish();
  out << "\n[area]\n";
  TableWriter(out, s.keptAreaKeys)
      .key("width", std::optional(s.areaWidth), kNumber)
      .key("height", std::optional(s.areaHeight), kNumber)
      .key("colour", std::optional(s.colour), colourText)
      .key("fit", s.areaFit, kFit)
      .finish();
  const ManifestDefaults& d = s.defaults;
  if (d != ManifestDefaults{}) {
    out << "\n[defaults]\n";
    TableWriter(out, d.keptKeys)
        .key("time", d.time, kNumber)
        .key("effect", d.effect, kEffect)
        .key("speed", d.speed, kNumber)
        .key("fit", d.fit, kFit)
        .key("quality", d.quality, kNumber)
        .key("random_except", d.randomExcept.empty() ? std::nullopt : std::optional(d.randomExcept),
             codesText)
        .finish();
  }
  if (s.music || s.musicName || !s.keptMusicKeys.empty()) {
    out << "\n[music]\n";
    TableWriter(out, s.keptMusicKeys)
        .key("file", s.music, named)
        .key("name", s.musicName, tomlString)
        .finish();
  }
  ManifestShowText result;
  result.text = out.str();
  std::int64_t lines = linesIn(result.text);
  for (const ManifestSlide& slide : show.slides) {
    std::ostringstream table;
    table << "\n[[slide]]\n";
    result.slideLines.push_back(lines + 2);
    TableWriter(table, slide.keptKeys)
        .key("picture", std::optional(slide.picture), named)
        .key("name", slide.name, tomlString)
        .key("sound", slide.sound, named)
        .key("sound_name", slide.soundName, tomlString)
        .key("time", slide.time, kNumber)
        .key("effect", slide.effect, kEffect)
        .key("speed", slide.speed, kNumber)
        .key("fit", slide.fit, kFit)
        .key("x", slide.x, kNumber)
        .key("y", slide.y, kNumber)
        .key("quality", slide.quality, kNumber)
        .flag("overlay", slide.overlay)
        .flag("transparent", slide.transparent)
        .finish();
    const std::string text = table.str();
    result.text += text;
    lines += linesIn(text);
  }
  return result;
}

std::optional<std::size_t> slideOfLine(const ManifestShowText& text, std::int64_t line) {
  const auto after = std::upper_bound(text.slideLines.begin(), text.slideLines.end(), line);
  if (after == text.slideLines.begin()) return std::nullopt;
  return static_cast<std::size_t>(after - text.slideLines.begin() - 1);
}

void placeSlide(ManifestSlide& slide, PictureFit fit) {
  slide.fit = fit;
  slide.x.reset();
  slide.y.reset();
}

void placeSlide(ManifestSlide& slide, std::int32_t x, std::int32_t y) {
  slide.fit = PictureFit::None;
  slide.x = x;
  slide.y = y;
}

std::vector<ManifestSlide> slidesForPaths(const std::vector<fs::path>& paths,
                                          std::vector<std::string>& problems) {
  const std::vector<std::string> endings = pictureFileEndings();
  std::vector<ManifestSlide> slides;
  const auto add = [&slides](const fs::path& picture) {
    ManifestSlide slide;
    slide.picture = fs::absolute(picture).lexically_normal();
    slides.push_back(std::move(slide));
  };
  for (const fs::path& path : paths) {
    std::error_code error;
    if (fs::is_regular_file(path, error) && hasPictureEnding(path, endings)) {
      add(path);
    } else if (fs::is_directory(path, error)) {
      // The folder is the base, so that characters of its name are never read as a pattern.
      const PatternMatch match = matchPictures(fs::absolute(path), ".", endings);
      if (!match.problem.empty()) problems.push_back(utf8Of(path) + " " + match.problem);
      std::for_each(match.files.begin(), match.files.end(), add);
    } else {
      problems.push_back(utf8Of(path) + " is neither a picture nor a folder of pictures");
    }
  }
  return slides;
}

}  // namespace kamishibai
