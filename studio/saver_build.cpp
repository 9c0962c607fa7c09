// Kamishibai Studio: building savers through the packer's own build.
#include "studio/saver_build.h"

#include <random>

#include "base/file_names.h"
#include "platform/output_file.h"
#include "tools/saver_build.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

bool needsSeed(const ManifestShow& show) {
  if (show.settings.seed) return false;
  if (show.settings.shuffle) return true;
  for (const ManifestSlide& slide : show.slides) {
    if (slideEffect(show.settings, slide) == kRandomEffect) return true;
  }
  return false;
}

}  // namespace

BuildReport buildSavers(const ShowDocument& document, const std::vector<SaverTarget>& targets,
                        const BuildProgressSink& progress) {
  BuildReport report;
  // Every target is one show: a random order or random effects are drawn once for all of them.
  ManifestShow show = document.show();
  if (needsSeed(show)) {
    show.settings.seed = std::random_device{}();
    report.notes.push_back({std::nullopt, "the random order and effects came from seed = " +
                                              std::to_string(*show.settings.seed)});
  }
  const ManifestShowText text = writeManifestShow(show, document.folder());
  const auto tied = [&text](const ManifestProblem& problem) {
    return BuildProblem{slideOfLine(text, problem.line), problem.message};
  };
  for (std::size_t t = 0; t < targets.size(); ++t) {
    const SaverTarget& target = targets[t];
    for (std::size_t earlier = 0; earlier < t; ++earlier) {
      if (sameFile(targets[earlier].saver, target.saver) ||
          targets[earlier].saver == target.saver) {
        report.problems.push_back({std::nullopt, "the savers for two systems would be one file, " +
                                                     utf8Of(target.saver)});
        return report;
      }
    }
    const auto listener = [&](const ProgressCounts& counts) {
      if (progress) {
        std::string stage(counts.what);
        stage.erase(stage.find_last_not_of(' ') + 1);
        progress(
            {t, std::move(stage), counts.filesDone, counts.files, counts.bytesDone, counts.bytes});
      }
    };
    const SaverBuild build =
        buildSaver(planShow(text.text, document.folder(), "show"), document.manifestPath(),
                   target.saver, target.player, nullptr, listener);
    for (const ManifestProblem& problem : build.problems) report.problems.push_back(tied(problem));
    if (!build.failure.empty()) report.problems.push_back({std::nullopt, build.failure});
    if (!build.written()) return report;
    for (const ManifestProblem& note : build.notes) report.notes.push_back(tied(note));
    report.written.push_back(target.saver);
  }
  return report;
}

}  // namespace kamishibai
