// Kamishibai Studio: making savers of the show being edited, with the checks of
// `kamishibai-pack build`, each problem tied to the slide it concerns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "studio/show_document.h"

namespace kamishibai {

// One saver to write: where, and the bare player it is made from (the Linux player, or the
// Windows player for a Windows saver).
struct SaverTarget {
  std::filesystem::path saver;
  std::filesystem::path player;
};

struct BuildProblem {
  std::optional<std::size_t> slide;  // nullopt for a problem of the show or the output
  std::string message;
};

struct BuildProgress {
  std::size_t target = 0;  // which of the targets
  std::string stage;       // "checking" the files, then "writing" the saver
  std::size_t filesDone = 0;
  std::size_t files = 0;
  std::uint64_t bytesDone = 0;
  std::uint64_t bytes = 0;
};
// Called from the build's worker threads.
using BuildProgressSink = std::function<void(const BuildProgress&)>;

struct BuildReport {
  std::vector<BuildProblem> problems;  // none when every saver was written
  std::vector<BuildProblem> notes;     // warnings and what the build chose by itself
  std::vector<std::filesystem::path> written;
};

// Checks the show and writes each target's saver, as build does: with any problem nothing is
// written for that target, and no saver is ever left half-written. Targets are written in turn;
// the first with problems ends the build.
BuildReport buildSavers(const ShowDocument& document, const std::vector<SaverTarget>& targets,
                        const BuildProgressSink& progress);

}  // namespace kamishibai
