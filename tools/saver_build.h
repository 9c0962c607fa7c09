// Kamishibai: the work of `kamishibai-pack build` as a function, for the command line and the
// Studio alike: every check of a planned show, then the saver written whole or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/manifest.h"
#include "tools/progress.h"

namespace kamishibai {

struct SaverBuild {
  std::vector<ManifestProblem> problems;  // sorted by line; with any, nothing was written
  std::vector<ManifestProblem> notes;     // warnings, given only when the saver was written
  std::string failure;  // why writing failed after the checks passed; nothing was written
  std::optional<std::uint32_t> drawnSeed;
  std::size_t slides = 0;

  bool written() const { return problems.empty() && failure.empty(); }
};

// Checks the plan, its files and the output (which may be none of the inputs: manifest, files,
// player), then writes the player and the package at output and makes it executable. Progress
// is drawn on terminal when one is given and told to listener.
SaverBuild buildSaver(ShowPlan plan, const std::filesystem::path& manifest,
                      const std::filesystem::path& output, const std::filesystem::path& player,
                      std::ostream* terminal, const ProgressListener& listener = {});

}  // namespace kamishibai
