// Kamishibai: the show manifest of kamishibai-pack: reading it into a plan of the package and the
// files it is made from, checking everything before anything is written, and writing a manifest
// for a package.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_names.h"
#include "formats/package.h"
#include "platform/mapped_file.h"
#include "platform/picture_convert.h"

namespace kamishibai {

// The largest area a surface can hold, a side.
constexpr std::int64_t kMaxAreaSide = 16384;
// The longest display time, a day: its deadline stays in 32 bits from any tick count but the
// last day's.
constexpr std::int64_t kMaxShowTime = 24 * 60 * 60 * 1000;

struct ManifestProblem {
  std::int64_t line = 0;  // 0 when the problem belongs to no line
  std::string message;
};

enum class FileKind { Picture, Music, Sound };

// A file that one byte array of the package is made from.
struct PlannedFile {
  std::filesystem::path path;
  std::string shownPath;  // as the manifest names it, for messages
  std::int64_t line = 0;
  FileKind kind = FileKind::Picture;
  std::string storedName;
  std::int64_t nameLine = 0;  // of the name key, else of the file's
  bool explicitName = false;  // given by the manifest: never changed to make it unique
  bool rawName = false;       // taken as it is, without the checks for a usable file name
  bool rawContent = false;    // stored as it is, neither decoded nor loaded nor converted
  FitRequest fit;             // with fit None, only pictures no player reads are converted
};

// The package to write: the record without the bytes of its files, and where each byte array
// comes from.
struct ShowPlan {
  PackageRecord record;
  std::vector<PlannedFile> files;
  // Each byte array in the order the package holds them: the music, then each slide's picture
  // and sound.
  struct Array {
    int file = -1;                    // index into files, -1 for an empty array
    std::optional<ArrayShape> shape;  // as the manifest gives it; else from the file's size
    std::int64_t line = 0;            // of the shape key
  };
  std::vector<Array> arrays;
  std::vector<ManifestProblem> problems;
  std::vector<ManifestProblem> notes;  // warnings and what the build chose by itself
  // The seed drawn for the order and the random effects when the manifest gives none; the build
  // names it once the saver is written, so that the user can repeat that build.
  std::optional<std::uint32_t> drawnSeed;
};

// Reads the manifest text and checks everything that needs no file content: keys, numbers,
// stored names, patterns and folders (expanded into slides), shuffling and random effects.
// Relative paths are taken from folder.
ShowPlan planShow(std::string_view text, const std::filesystem::path& folder,
                  const std::string& sourceName);
ShowPlan planShowFile(const std::filesystem::path& manifest);

// Hands the text of the manifest file, its folder (where its relative paths start, "." for a
// manifest named without one) and its name to read(text, folder, name) and returns what that
// gives; a file that cannot be read gives a Result whose one problem says so.
template <class Result, class Read>
Result readManifestFile(const std::filesystem::path& manifest, Read&& read) {
  const auto mapping = MappedFile::open(manifest);
  if (!mapping) {
    Result result;
    result.problems.push_back({0, "the manifest cannot be read"});
    return result;
  }
  const auto bytes = mapping->bytes();
  const std::filesystem::path folder =
      manifest.has_parent_path() ? manifest.parent_path() : std::filesystem::path(".");
  return read(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), folder,
              utf8Of(manifest));
}

// Every key a manifest may hold, in any of its tables.
std::vector<std::string_view> manifestKeys();

// Sorts the problems (and notes) by line.
void sortByLine(std::vector<ManifestProblem>& problems);

// The manifest text for a package whose files are written under their stored names beside it:
// building it with the same player gives back the same bytes. Values that a written manifest may
// not hold are listed under the table's raw key, which build takes as they are.
// unplayable: the stored names of music and sounds that the audio library cannot load.
std::string manifestFor(const PackageRecord& record, const std::set<std::string>& unplayable = {});

// Values as a written manifest gives them: a TOML string; a colour as "#rrggbb" (or the stored
// integer when it holds more than a colour); an effect by its name (or its code when it has
// none).
std::string tomlString(std::string_view text);
std::string colourText(std::int32_t stored);
std::string effectText(std::int32_t code);

// The text between single quotes, as messages name values.
std::string inQuotes(std::string_view text);

// The fit a manifest names "none", "contain", "cover" or "shrink"; nullopt for any other name.
std::optional<PictureFit> fitNamed(std::string_view name);

// The checks build makes of a stored name beyond the rules of the player: empty when usable.
std::string storedNameTrouble(std::string_view name);

// Why build refuses a stored name: the player's rules and, unless the name is raw (taken as it
// is from a package made elsewhere), storedNameTrouble and the Windows rules, so that a saver
// made here is safe there. Empty when the name is usable.
std::string storedNameRefusal(std::string_view name, bool raw);

}  // namespace kamishibai
