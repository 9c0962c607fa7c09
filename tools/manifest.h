// Kamishibai: the show manifest of kamishibai-pack: reading and checking it together with every
// file it names, and writing one for a package.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "startup/package.h"

namespace kamishibai {

struct ManifestProblem {
  std::int64_t line = 0;  // 0 when the problem belongs to no line
  std::string message;
};

struct LoadedShow {
  PackageRecord record;  // byte arrays are views on the named files
  std::vector<ManifestProblem> problems;
};

// Reads the manifest and checks everything before anything is written: every picture decodes,
// music and sounds load, stored names are plain and not shared by different files, and every
// number is in range. Relative paths are taken from the manifest's folder.
LoadedShow loadShowManifest(const std::filesystem::path& manifest);

// The manifest text for a package whose files are written under their stored names beside it:
// building it with the same player gives back the same bytes.
std::string manifestFor(const PackageRecord& record);

}  // namespace kamishibai
