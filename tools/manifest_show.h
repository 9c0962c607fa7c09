// Kamishibai: a show manifest as values that can be edited and written back: what the Studio
// holds in memory. Reading keeps the manifest's meaning (defaults stay defaults, "random" stays
// random); a slide table with 'pictures' becomes one slide per picture it names. Keys the show
// does not edit (raw keys, array shapes, values of another type) are kept as their TOML text and
// written back as they were, so build still sees them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/picture_convert.h"
#include "tools/manifest.h"

namespace kamishibai {

// Keys of a table the show does not edit, each with its value as TOML text, in the table's
// order. A kept key is written back unless the show now gives that key a value of its own.
using KeptKeys = std::vector<std::pair<std::string, std::string>>;

// The effect value "random": a code from 1 to 35 picked for the slide when the saver is built.
inline constexpr std::int32_t kRandomEffect = -1;
// The display time of a slide whose manifest gives none.
inline constexpr std::int32_t kDefaultSlideTime = 1000;

struct ManifestSlide {
  std::filesystem::path picture;  // absolute
  std::optional<std::string> name;
  std::optional<std::filesystem::path> sound;  // absolute
  std::optional<std::string> soundName;
  // Unset values come from [defaults] (and the fit from [area]).
  std::optional<std::int32_t> time;
  std::optional<std::int32_t> effect;  // 0 to 35, or kRandomEffect
  std::optional<std::int32_t> speed;
  std::optional<PictureFit> fit;
  std::optional<std::int32_t> x;  // a position, for pictures that are not fitted
  std::optional<std::int32_t> y;
  std::optional<std::int32_t> quality;
  bool overlay = false;
  bool transparent = false;
  KeptKeys keptKeys;

  bool operator==(const ManifestSlide&) const = default;
};

struct ManifestDefaults {
  std::optional<std::int32_t> time;
  std::optional<std::int32_t> effect;  // 0 to 35, or kRandomEffect
  std::optional<std::int32_t> speed;
  std::optional<PictureFit> fit;
  std::optional<std::int32_t> quality;
  std::vector<std::int32_t> randomExcept;  // codes "random" never picks
  KeptKeys keptKeys;

  bool operator==(const ManifestDefaults&) const = default;
};

// Everything of a show but its slides.
struct ManifestSettings {
  std::int32_t areaWidth = 1920;
  std::int32_t areaHeight = 1080;
  std::int32_t colour = 0;  // the stored form 0x00BBGGRR
  std::optional<PictureFit> areaFit;
  bool settings = false;  // the saver lets its user switch music and sounds off
  bool shuffle = false;
  std::optional<std::uint32_t> seed;
  ManifestDefaults defaults;
  std::optional<std::filesystem::path> music;  // absolute
  std::optional<std::string> musicName;
  KeptKeys keptShowKeys;
  KeptKeys keptAreaKeys;
  KeptKeys keptMusicKeys;

  bool operator==(const ManifestSettings&) const = default;
};

struct ManifestShow {
  ManifestSettings settings;
  std::vector<ManifestSlide> slides;

  bool operator==(const ManifestShow&) const = default;
};

// The values a slide is built with, its own or the show's.
std::int32_t slideTime(const ManifestSettings& show, const ManifestSlide& slide);
std::int32_t slideEffect(const ManifestSettings& show, const ManifestSlide& slide);
std::int32_t slideSpeed(const ManifestSettings& show, const ManifestSlide& slide);
PictureFit slideFit(const ManifestSettings& show, const ManifestSlide& slide);

struct ManifestShowReading {
  ManifestShow show;
  // Only what keeps the text from being read as a show (TOML syntax, a 'slide' that is not a
  // list of tables, a pattern that cannot be followed); build checks everything else.
  std::vector<ManifestProblem> problems;
};

// Reads manifest text whose relative paths start at folder.
ManifestShowReading readManifestShow(std::string_view text, const std::filesystem::path& folder,
                                     const std::string& sourceName);
ManifestShowReading readManifestShowFile(const std::filesystem::path& manifest);

struct ManifestShowText {
  std::string text;
  std::vector<std::int64_t> slideLines;  // the line of each slide's [[slide]], from 1
};

// The manifest text for the show, naming files relative to folder where they lie inside it and
// by their absolute paths otherwise.
ManifestShowText writeManifestShow(const ManifestShow& show, const std::filesystem::path& folder);

// The slide a problem on that line of the written text belongs to; nullopt for the show's own.
std::optional<std::size_t> slideOfLine(const ManifestShowText& text, std::int64_t line);

// A fitted picture is centred on the area, so a fit and a position exclude each other: each sets
// one and clears the other.
void placeSlide(ManifestSlide& slide, PictureFit fit);
void placeSlide(ManifestSlide& slide, std::int32_t x, std::int32_t y);

// One slide for each picture path, and for each picture in and below each folder path (walked as
// a manifest's folder is, in name order). Paths that are neither give a problem.
std::vector<ManifestSlide> slidesForPaths(const std::vector<std::filesystem::path>& paths,
                                          std::vector<std::string>& problems);

}  // namespace kamishibai
