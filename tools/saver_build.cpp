// Kamishibai: checking a planned show and writing its saver.
#include "tools/saver_build.h"

#include <map>

#include "base/file_names.h"
#include "platform/output_file.h"
#include "tools/show_files.h"
#include "tools/utf8.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

// Writing over an input would lose it, and writing through a device, a FIFO or a link would
// reach what is not the user's saver: the output may be none of them. True when it is usable.
bool checkOutput(ShowPlan& plan, const fs::path& manifest, const fs::path& output,
                 const fs::path& player) {
  const std::size_t before = plan.problems.size();
  const std::string told = "the output " + utf8Of(output) + " ";
  if (const std::string problem = outputTargetProblem(output); !problem.empty()) {
    plan.problems.push_back({0, told + problem});
  }
  if (sameFile(output, manifest)) plan.problems.push_back({0, told + "is the manifest itself"});
  if (sameFile(output, player)) plan.problems.push_back({0, told + "is the player"});
  for (const PlannedFile& file : plan.files) {
    if (sameFile(output, file.path)) {
      plan.problems.push_back({file.line, told + "is the file " + file.shownPath + " named here"});
    }
  }
  return plan.problems.size() == before;
}

// The player, then the package with each file streamed in as its place comes.
void writeSaver(OutputFile& saver, const fs::path& player, const ShowPlan& plan,
                const std::vector<PreparedFile>& prepared, std::ostream* terminal,
                const ProgressListener& listener) {
  std::ostream& out = saver.stream();
  PreparedFile playerFile;
  playerFile.source = player;
  playerFile.size = fs::file_size(player);
  if (!copyPrepared(playerFile, out)) throw std::runtime_error("the player cannot be read");
  std::uint64_t total = 0;
  for (const PreparedFile& file : prepared) total += file.size;
  Progress progress(terminal, "writing ", prepared.size(), total, listener);
  // Arrays written without elements never reach the writer, so each is found by its place.
  std::map<const ByteArray*, int> fileOf;
  const PackageRecord& r = plan.record;
  fileOf[&r.BgmData] = plan.arrays[0].file;
  for (std::size_t e = 0; e < r.Pictures.entries.size(); ++e) {
    fileOf[&r.Pictures.entries[e].FileData] = plan.arrays[1 + 2 * e].file;
    fileOf[&r.Pictures.entries[e].SoundData] = plan.arrays[2 + 2 * e].file;
  }
  writePackage(r, out, [&](const ByteArray& array, std::ostream& to) {
    const int index = fileOf.at(&array);
    if (index < 0) return;
    if (!copyPrepared(prepared[index], to)) {
      throw std::runtime_error(plan.files[index].shownPath + " changed while the saver was built");
    }
    progress.fileDone(prepared[index].size);
  });
}

}  // namespace

SaverBuild buildSaver(ShowPlan plan, const fs::path& manifest, const fs::path& output,
                      const fs::path& player, std::ostream* terminal,
                      const ProgressListener& listener) {
  std::error_code error;
  if (!fs::is_regular_file(player, error)) {
    plan.problems.push_back({0, "the player " + utf8Of(player) + " cannot be read"});
  }
  // The converted pictures wait beside the output, so nothing is made there before the output
  // is known to be usable.
  Spool spool(output);
  std::vector<PreparedFile> prepared;
  if (checkOutput(plan, manifest, output, player)) {
    prepared = prepareFiles(plan, spool, terminal, listener);
    completePlan(plan, prepared);
  }
  SaverBuild build;
  build.slides = plan.record.Pictures.entries.size();
  build.drawnSeed = plan.drawnSeed;
  if (!plan.problems.empty()) {
    sortByLine(plan.problems);
    build.problems = std::move(plan.problems);
    return build;
  }
  build.notes = std::move(plan.notes);
  try {
    OutputFile saver(output, ExistingTarget::Replace);
    writeSaver(saver, player, plan, prepared, terminal, listener);
    saver.commit(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec);
  } catch (const std::exception& e) {
    build.failure = e.what();
  }
  return build;
}

}  // namespace kamishibai
